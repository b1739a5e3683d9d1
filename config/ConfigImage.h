#pragma once

// Coding between the values of the parameter tree and the controller's
// 256-byte configuration memory. Multi-byte numbers are stored high byte first.

#include "config/MemoryMap.h"
#include "config/ParamValue.h"
#include "link/Commands.h"

#include <QString>
#include <array>
#include <optional>

namespace gencfg {

class ParamModel;

// Index = device memory address 0..255.
using ConfigImageBytes = std::array<quint8, MemoryMap::Size>;

struct EncodeResult
{
    bool ok = true;
    int failedNode = -1; // absolute index of the node that could not be coded
    QString error;       // names the node by its tree path and the value
};

// Fills the image with 0xFF and codes every node into it. On failure the image
// is only partly rebuilt and must not be used until it is rebuilt or reloaded.
EncodeResult EncodeConfigImage(const ParamModel &tree, ConfigImageBytes &image);

// Sets the value field of every coded node from the image; touches no other field.
void DecodeConfigImage(const ConfigImageBytes &image, ParamModel &tree);

// The bytes of the image a node's value is coded into; none for headings and
// read-only rows, which are never coded.
struct ByteSpan
{
    int start = 0;
    int width = 0;
};
std::optional<ByteSpan> CodedSpan(const ParamModel &tree, int node);

// Codes one node's value into its bytes of the image and touches no other byte.
EncodeResult EncodeNode(const ParamModel &tree, int node, ConfigImageBytes &image);

// The value the image gives a node; nothing for a node decoding leaves alone.
std::optional<ParamValue> DecodedValue(const ConfigImageBytes &image, const ParamModel &tree, int node);

struct UpsScale
{
    double minimum = 0;
    double maximum = 0;
};

// The alarm thresholds of an image as the measurement gauges show them.
struct GaugeThresholds
{
    double generatorLow = 0;          // generatorGauge lowAlarm
    double generatorHigh = 0;         // generatorGauge highAlarm
    double mainsLow = 0;              // phaseAGauge/B/C lowAlarm
    double mainsHigh = 0;             // phaseAGauge/B/C highAlarm
    double temperatureLow = 0;        // temperature1Gauge lowAlarm
    double starterBatteryLow = 0;     // starterBatteryGauge lowAlarm, volts with the fraction
    double upsLow = 0;                // upsBatteryGauge lowAlarm, whole volts
    double upsHigh = 0;               // upsBatteryGauge highAlarm, whole volts
    std::optional<UpsScale> upsScale; // empty: leave the UPS gauge's scale as it is
};

GaugeThresholds ThresholdsFromImage(const ConfigImageBytes &image);

// The image of a variant's catalogue defaults.
ConfigImageBytes DefaultConfigImage(DeviceVariant variant);

} // namespace gencfg
