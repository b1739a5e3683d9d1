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

using TransferPlan = std::array<MemoryBlock, 4>;

// The write leaves out the engine-hour counter (0-3) and the read-only fields (180-191).
const TransferPlan &WritePlan();
const TransferPlan &ReadPlan();

// "Прочитать": the four blocks of the read plan into a copy of the image it
// was given. Progress counts the blocks attempted, the failed one included;
// the first block that fails ends it.
class ConfigReadOperation : public DeviceOperation
{
    Q_OBJECT
public:
    explicit ConfigReadOperation(const ConfigImageBytes &image, QObject *parent = nullptr);

    // The image given, with every block read so far.
    const ConfigImageBytes &image() const { return m_image; }
    int blocksRead() const { return m_blocksRead; }

protected:
    std::optional<OperationStep> nextStep() override;
    std::optional<OperationStatus> stepEnded(StepOutcome outcome, const QByteArray &replyData) override;

private:
    ConfigImageBytes m_image;
    int m_blocksRead = 0;
};

// "Записать": the four blocks of the write plan; the first block that fails ends it.
class ConfigWriteOperation : public DeviceOperation
{
    Q_OBJECT
public:
    explicit ConfigWriteOperation(const ConfigImageBytes &image, QObject *parent = nullptr);

    int blocksWritten() const { return m_blocksWritten; }

protected:
    std::optional<OperationStep> nextStep() override;
    std::optional<OperationStatus> stepEnded(StepOutcome outcome, const QByteArray &replyData) override;

private:
    ConfigImageBytes m_image;
    int m_blocksWritten = 0;
};

// What a transfer tells while it runs and once it has succeeded.
QString ReadProgressText();
QString ReadDoneText();
QString WriteProgressText();
QString WriteDoneText();
// What a write stopped by the user tells: which blocks reached the controller.
QString InterruptedWriteText(int blocksWritten, int blockCount);

// The addresses the write plan covers where the two images differ, in order.
QVector<int> WrittenAddressesThatDiffer(const ConfigImageBytes &written, const ConfigImageBytes &readBack);

// An image put into a variant's parameter tree and coded back, as the window
// does between reading a controller or a file and saving or writing.
EncodeResult RecodeConfigImage(const ConfigImageBytes &image, DeviceVariant variant,
                               ConfigImageBytes &recoded);

} // namespace gencfg
