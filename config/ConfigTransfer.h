#pragma once

// The parameter set between the controller, the catalogue and parameter
// files, block by block as the window's "Прочитать" and "Записать" move it.

#include "config/ConfigImage.h"

#include <QVector>
#include <array>
#include <functional>

namespace gencfg {

class DeviceLink;

struct MemoryBlock
{
    quint16 address;
    quint8 length;
};

using TransferPlan = std::array<MemoryBlock, 4>;

// The write leaves out the engine-hour counter (0-3) and the read-only fields (180-191).
const TransferPlan &WritePlan();
const TransferPlan &ReadPlan();

// Told the percentage after each block attempted, the failed one included: 25, 50, 75, 100.
using ProgressCallback = std::function<void(int percent)>;

// Both stop at the first block that fails and return false.
bool ReadConfigMemory(DeviceLink &link, ConfigImageBytes &image, const ProgressCallback &progress);
bool WriteConfigMemory(DeviceLink &link, const ConfigImageBytes &image, const ProgressCallback &progress);

// The addresses the write plan covers where the two images differ, in order.
QVector<int> WrittenAddressesThatDiffer(const ConfigImageBytes &written, const ConfigImageBytes &readBack);

// An image put into a variant's parameter tree and coded back, as the window
// does between reading a controller or a file and saving or writing.
EncodeResult RecodeConfigImage(const ConfigImageBytes &image, DeviceVariant variant,
                               ConfigImageBytes &recoded);

} // namespace gencfg
