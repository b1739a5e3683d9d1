#include "config/ConfigTransfer.h"

#include "config/Catalogue.h"
#include "config/ParamModel.h"

#include <algorithm>

namespace gencfg {

namespace {

constexpr int BlockCount = 4;

} // namespace

const TransferPlan &WritePlan()
{
    static const TransferPlan plan = {{{4, 60}, {64, 64}, {128, 52}, {192, 64}}};
    return plan;
}

const TransferPlan &ReadPlan()
{
    static const TransferPlan plan = {{{0, 64}, {64, 64}, {128, 64}, {192, 64}}};
    return plan;
}

ConfigReadOperation::ConfigReadOperation(const ConfigImageBytes &image, QObject *parent)
    : DeviceOperation(BlockCount, parent), m_image(image)
{}

std::optional<OperationStep> ConfigReadOperation::nextStep()
{
    if (m_blocksRead >= BlockCount)
        return std::nullopt;
    const MemoryBlock &block = ReadPlan()[size_t(m_blocksRead)];
    return ReadBlockStep(block.address, block.length);
}

std::optional<OperationStatus> ConfigReadOperation::stepEnded(StepOutcome outcome,
                                                              const QByteArray &replyData)
{
    const int attempted = m_blocksRead;
    setProgress(attempted + 1, BlockCount);
    if (outcome != StepOutcome::Replied)
        return FailureStatus(outcome);
    const MemoryBlock &block = ReadPlan()[size_t(attempted)];
    std::copy_n(replyData.cbegin(), block.length, m_image.begin() + block.address);
    ++m_blocksRead;
    return std::nullopt;
}

ConfigWriteOperation::ConfigWriteOperation(const ConfigImageBytes &image, QObject *parent)
    : DeviceOperation(BlockCount, parent), m_image(image)
{}

std::optional<OperationStep> ConfigWriteOperation::nextStep()
{
    if (m_blocksWritten >= BlockCount)
        return std::nullopt;
    const MemoryBlock &block = WritePlan()[size_t(m_blocksWritten)];
    return WriteBlockStep(
        block.address,
        QByteArray(reinterpret_cast<const char *>(m_image.data()) + block.address, block.length));
}

std::optional<OperationStatus> ConfigWriteOperation::stepEnded(StepOutcome outcome, const QByteArray &)
{
    setProgress(m_blocksWritten + 1, BlockCount);
    if (outcome != StepOutcome::Sent)
        return FailureStatus(outcome);
    ++m_blocksWritten;
    return std::nullopt;
}

QString ReadProgressText()
{
    return QStringLiteral("Чтение параметров из устройства...");
}

QString ReadDoneText()
{
    return QStringLiteral("Параметры успешно прочитаны из устройства.");
}

QString WriteProgressText()
{
    return QStringLiteral("Запись параметров в устройство...");
}

QString WriteDoneText()
{
    return QStringLiteral("Параметры успешно записаны в устройство.");
}

QString InterruptedWriteText(int blocksWritten, int blockCount)
{
    if (blocksWritten <= 0)
        return QStringLiteral("Запись прервана: ни один блок не записан");
    if (blocksWritten == 1)
        return QStringLiteral("Запись прервана: записан блок 1 из %1").arg(blockCount);
    return QStringLiteral("Запись прервана: записаны блоки 1-%1 из %2").arg(blocksWritten).arg(blockCount);
}

QVector<int> WrittenAddressesThatDiffer(const ConfigImageBytes &written, const ConfigImageBytes &readBack)
{
    QVector<int> differing;
    for (const MemoryBlock &block : WritePlan()) {
        for (int address = block.address; address < block.address + block.length; ++address) {
            if (written[size_t(address)] != readBack[size_t(address)])
                differing.append(address);
        }
    }
    return differing;
}

EncodeResult RecodeConfigImage(const ConfigImageBytes &image, DeviceVariant variant,
                               ConfigImageBytes &recoded)
{
    ParamModel tree;
    LoadParamTree(CatalogueFor(variant), HighestIndexFor(variant), tree);
    DecodeConfigImage(image, tree);
    return EncodeConfigImage(tree, recoded);
}

} // namespace gencfg
