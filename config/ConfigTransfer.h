#pragma once

// The parameter set between the controller, the catalogue and parameter
// files, block by block as the window's "Прочитать" and "Записать" move it.

#include "config/ConfigImage.h"
#include "link/DeviceOperation.h"

#include <QVector>
#include <array>

namespace gencfg {

struct MemoryBlock
{
    quint16 address;
    quint8 length;
};

using TransferPlan = std::array<MemoryBlock, MemoryMap::BlockCount>;
// Which blocks of a plan a transfer moves.
using BlockSelection = std::array<bool, MemoryMap::BlockCount>;
constexpr BlockSelection AllBlocks = {true, true, true, true};

// The write leaves out the engine-hour counter (0-3) and the read-only fields (180-191).
const TransferPlan &WritePlan();
const TransferPlan &ReadPlan();

// An image of 0xFF bytes, as the window starts and as a short file leaves the rest.
ConfigImageBytes BlankImage();

// Whether the controller went on reporting the variant a transfer began with:
// memory coded for one catalogue means something else in another.
class VariantWatch
{
public:
    // Without a variant given, the first status frame's counts.
    void setVariantAtStart(quint8 code) { m_atStart = code; }
    void report(quint8 code);
    bool changed() const { return m_changed; }

private:
    std::optional<quint8> m_atStart;
    bool m_changed = false;
};

// The four blocks of the read plan into an image, one step at a time.
class BlockReader
{
public:
    explicit BlockReader(const ConfigImageBytes &image) : m_image(image) {}

    std::optional<OperationStep> nextStep() const;
    // Takes a block's reply; a failure status when the block was not read.
    std::optional<OperationStatus> stepEnded(StepOutcome outcome, const QByteArray &replyData);

    // The image given, with every block read so far.
    const ConfigImageBytes &image() const { return m_image; }
    int blocksRead() const { return m_blocksRead; }

private:
    ConfigImageBytes m_image;
    int m_blocksRead = 0;
};

// "Прочитать": the four blocks of the read plan into a copy of the image it
// was given. Progress counts the blocks attempted, the failed one included;
// the first block that fails ends it.
class ConfigReadOperation : public DeviceOperation
{
    Q_OBJECT
public:
    explicit ConfigReadOperation(const ConfigImageBytes &image, QObject *parent = nullptr);

    const ConfigImageBytes &image() const { return m_reader.image(); }
    int blocksRead() const { return m_reader.blocksRead(); }
    // The variant whose catalogue the image is for; any other reported ends the read.
    void setVariantAtStart(quint8 code) { m_variant.setVariantAtStart(code); }

protected:
    std::optional<OperationStep> nextStep() override;
    std::optional<OperationStatus> stepEnded(StepOutcome outcome, const QByteArray &replyData) override;
    void variantReported(quint8 code) override { m_variant.report(code); }

private:
    BlockReader m_reader;
    VariantWatch m_variant;
};

// "Записать": the four blocks of the write plan, or those of them selected;
// the first block that fails ends it. The write command has no reply, so with
// ReadBack::Yes the four blocks of the read plan follow, and the caller
// compares what came back.
class ConfigWriteOperation : public DeviceOperation
{
    Q_OBJECT
public:
    enum class ReadBack { No, Yes };

    ConfigWriteOperation(const ConfigImageBytes &image, ReadBack readBack, QObject *parent = nullptr);
    ConfigWriteOperation(const ConfigImageBytes &image, ReadBack readBack, const BlockSelection &blocks,
                         QObject *parent = nullptr);

    const ConfigImageBytes &written() const { return m_image; }
    int blocksWritten() const { return m_blocksWritten; }
    int blocksToWrite() const { return m_blockCount; }
    // The controller's memory after the write; meaningful once the operation succeeded with ReadBack::Yes.
    const ConfigImageBytes &readBack() const { return m_readBack.image(); }
    // The variant whose catalogue the image was coded for; any other reported ends the write.
    void setVariantAtStart(quint8 code) { m_variant.setVariantAtStart(code); }

protected:
    std::optional<OperationStep> nextStep() override;
    std::optional<OperationStatus> stepEnded(StepOutcome outcome, const QByteArray &replyData) override;
    void variantReported(quint8 code) override { m_variant.report(code); }

private:
    VariantWatch m_variant;
    ConfigImageBytes m_image;
    BlockReader m_readBack;
    ReadBack m_mode;
    BlockSelection m_blocks;
    int m_blockCount = 0;
    int m_blocksWritten = 0;
    size_t m_nextBlock = 0; // in the write plan
};

// What a transfer tells while it runs and once it has succeeded.
QString ReadProgressText();
QString ReadDoneText();
QString WriteProgressText();
QString WriteDoneText();
// Why a tree that is not one variant's whole catalogue is neither saved nor written.
QString IncompleteTreeText();
// Why a tree holding neither this controller's values nor a file's is not written.
QString UnreadTreeWriteText();
// What a transfer tells when the controller reported another variant meanwhile.
QString VariantChangedReadText();
QString VariantChangedWriteText();
// What a write stopped by the user tells: which blocks reached the controller.
QString InterruptedWriteText(int blocksWritten, int blockCount);

// An image put into a variant's parameter tree and coded back, as the window
// does between reading a controller or a file and saving or writing.
EncodeResult RecodeConfigImage(const ConfigImageBytes &image, DeviceVariant variant,
                               ConfigImageBytes &recoded);

} // namespace gencfg
