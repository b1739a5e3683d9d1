#include "config/ConfigTransfer.h"

#include "config/Catalogue.h"
#include "config/ParamModel.h"

#include <QCoreApplication>
#include <algorithm>

namespace gencfg {

namespace {

using MemoryMap::BlockCount;
using MemoryMap::BlockSize;

int WriteSteps(int blocks, ConfigWriteOperation::ReadBack readBack)
{
    return readBack == ConfigWriteOperation::ReadBack::Yes ? blocks + BlockCount : blocks;
}

int Selected(const BlockSelection &blocks)
{
    return int(std::count(blocks.cbegin(), blocks.cend(), true));
}

} // namespace

const TransferPlan &WritePlan()
{
    static const TransferPlan plan = {
        {{MemoryMap::EngineMinutesSize, BlockSize - MemoryMap::EngineMinutesSize},
         {BlockSize, BlockSize},
         {2 * BlockSize, MemoryMap::SuccessfulSends - 2 * BlockSize},
         {MemoryMap::ReadOnlyEnd, MemoryMap::Size - MemoryMap::ReadOnlyEnd}}};
    return plan;
}

const TransferPlan &ReadPlan()
{
    static const TransferPlan plan = {
        {{0, BlockSize}, {BlockSize, BlockSize}, {2 * BlockSize, BlockSize}, {3 * BlockSize, BlockSize}}};
    return plan;
}

ConfigImageBytes BlankImage()
{
    ConfigImageBytes image;
    image.fill(0xFF);
    return image;
}

void VariantWatch::report(quint8 code)
{
    if (!m_atStart)
        m_atStart = code;
    else if (code != *m_atStart)
        m_changed = true;
}

std::optional<OperationStep> BlockReader::nextStep() const
{
    if (m_blocksRead >= BlockCount)
        return std::nullopt;
    const MemoryBlock &block = ReadPlan()[size_t(m_blocksRead)];
    return ReadBlockStep(block.address, block.length);
}

std::optional<OperationStatus> BlockReader::stepEnded(StepOutcome outcome, const QByteArray &replyData)
{
    if (outcome != StepOutcome::Replied)
        return FailureStatus(outcome);
    const MemoryBlock &block = ReadPlan()[size_t(m_blocksRead)];
    std::copy_n(replyData.cbegin(), block.length, m_image.begin() + block.address);
    ++m_blocksRead;
    return std::nullopt;
}

ConfigReadOperation::ConfigReadOperation(const ConfigImageBytes &image, QObject *parent)
    : DeviceOperation(BlockCount, parent), m_reader(image)
{}

std::optional<OperationStep> ConfigReadOperation::nextStep()
{
    return m_reader.nextStep();
}

std::optional<OperationStatus> ConfigReadOperation::stepEnded(StepOutcome outcome,
                                                              const QByteArray &replyData)
{
    setProgress(m_reader.blocksRead() + 1, BlockCount);
    const std::optional<OperationStatus> verdict = m_reader.stepEnded(outcome, replyData);
    return m_variant.changed() ? OperationStatus::VariantChanged : verdict;
}

ConfigWriteOperation::ConfigWriteOperation(const ConfigImageBytes &image, ReadBack readBack, QObject *parent)
    : ConfigWriteOperation(image, readBack, AllBlocks, parent)
{}

ConfigWriteOperation::ConfigWriteOperation(const ConfigImageBytes &image, ReadBack readBack,
                                           const BlockSelection &blocks, QObject *parent)
    : DeviceOperation(WriteSteps(Selected(blocks), readBack), parent), m_image(image),
      m_readBack(BlankImage()), m_mode(readBack), m_blocks(blocks), m_blockCount(Selected(blocks))
{
    while (m_nextBlock < m_blocks.size() && !m_blocks[m_nextBlock])
        ++m_nextBlock;
}

std::optional<OperationStep> ConfigWriteOperation::nextStep()
{
    if (m_blocksWritten < m_blockCount) {
        const MemoryBlock &block = WritePlan()[m_nextBlock];
        return WriteBlockStep(
            block.address,
            QByteArray(reinterpret_cast<const char *>(m_image.data()) + block.address, block.length));
    }
    return m_mode == ReadBack::Yes ? m_readBack.nextStep() : std::nullopt;
}

std::optional<OperationStatus> ConfigWriteOperation::stepEnded(StepOutcome outcome,
                                                               const QByteArray &replyData)
{
    if (m_blocksWritten < m_blockCount) {
        setProgress(m_blocksWritten + 1, WriteSteps(m_blockCount, m_mode));
        if (outcome != StepOutcome::Sent)
            return FailureStatus(outcome);
        ++m_blocksWritten;
        do
            ++m_nextBlock;
        while (m_nextBlock < m_blocks.size() && !m_blocks[m_nextBlock]);
        return m_variant.changed() ? std::optional(OperationStatus::VariantChanged) : std::nullopt;
    }
    setProgress(m_blockCount + m_readBack.blocksRead() + 1, WriteSteps(m_blockCount, m_mode));
    const std::optional<OperationStatus> verdict = m_readBack.stepEnded(outcome, replyData);
    return m_variant.changed() ? OperationStatus::VariantChanged : verdict;
}

QString ReadProgressText()
{
    return QCoreApplication::translate("ConfigTransfer", "Чтение параметров из устройства...");
}

QString ReadDoneText()
{
    return QCoreApplication::translate("ConfigTransfer", "Параметры успешно прочитаны из устройства.");
}

QString WriteProgressText()
{
    return QCoreApplication::translate("ConfigTransfer", "Запись параметров в устройство...");
}

QString WriteDoneText()
{
    return QCoreApplication::translate("ConfigTransfer", "Параметры успешно записаны в устройство.");
}

QString IncompleteTreeText()
{
    return QCoreApplication::translate(
        "ConfigTransfer", "В дереве нет полного набора параметров: выберите вариант устройства в списке");
}

QString UnreadTreeWriteText()
{
    return QCoreApplication::translate("ConfigTransfer",
                                       "Параметры в дереве не прочитаны из этого устройства и не открыты из "
                                       "файла: запись отменена. Нажмите «Прочитать» или «Открыть».");
}

QString VariantChangedReadText()
{
    return QCoreApplication::translate("ConfigTransfer",
                                       "Вариант устройства сменился во время обмена: параметры не прочитаны");
}

QString VariantChangedWriteText()
{
    return QCoreApplication::translate("ConfigTransfer",
                                       "Вариант устройства сменился во время обмена: параметры не записаны");
}

QString InterruptedWriteText(int blocksWritten, int blockCount)
{
    if (blocksWritten <= 0)
        return QCoreApplication::translate("ConfigTransfer", "Запись прервана: ни один блок не записан");
    if (blocksWritten == 1)
        return QCoreApplication::translate("ConfigTransfer", "Запись прервана: записан блок 1 из %1")
            .arg(blockCount);
    return QCoreApplication::translate("ConfigTransfer", "Запись прервана: записаны блоки 1-%1 из %2")
        .arg(blocksWritten)
        .arg(blockCount);
}

EncodeResult RecodeConfigImage(const ConfigImageBytes &image, DeviceVariant variant,
                               ConfigImageBytes &recoded)
{
    ParamModel tree;
    LoadVariantTree(variant, tree);
    DecodeConfigImage(image, tree);
    return EncodeConfigImage(tree, recoded);
}

} // namespace gencfg
