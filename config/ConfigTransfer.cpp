#include "config/ConfigTransfer.h"

#include "config/Catalogue.h"
#include "config/ParamModel.h"
#include "link/DeviceLink.h"

#include <algorithm>

namespace gencfg {

namespace {

constexpr int BlockCount = 4;

int percentAfter(int block)
{
    return 100 * (block + 1) / BlockCount;
}

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

bool ReadConfigMemory(DeviceLink &link, ConfigImageBytes &image, const ProgressCallback &progress)
{
    for (int i = 0; i < BlockCount; ++i) {
        const MemoryBlock &block = ReadPlan()[size_t(i)];
        QByteArray bytes;
        const bool ok = link.ReadBlock(block.address, block.length, bytes) && bytes.size() >= block.length;
        if (ok)
            std::copy_n(bytes.cbegin(), block.length, image.begin() + block.address);
        if (progress)
            progress(percentAfter(i));
        if (!ok)
            return false;
    }
    return true;
}

bool WriteConfigMemory(DeviceLink &link, const ConfigImageBytes &image, const ProgressCallback &progress)
{
    for (int i = 0; i < BlockCount; ++i) {
        const MemoryBlock &block = WritePlan()[size_t(i)];
        const QByteArray bytes(reinterpret_cast<const char *>(image.data()) + block.address, block.length);
        const bool ok = link.WriteBlock(block.address, block.length, bytes);
        if (progress)
            progress(percentAfter(i));
        if (!ok)
            return false;
    }
    return true;
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
