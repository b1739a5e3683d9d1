#include "sim/FactoryMemory.h"

#include "config/MemoryMap.h"
#include "link/Commands.h"

#include <cstddef>

namespace gencfg {

namespace {

using namespace MemoryMap;

struct FactoryNumber
{
    quint8 address;
    quint8 size;
    quint32 value;
};

// Settings every variant shares.
constexpr FactoryNumber CommonNumbers[] = {
    {EngineMinutes, EngineMinutesSize, 74096},
    {4, 4, 0},   // maintenance counter start
    {8, 1, 100}, // maintenance period, hours
    {MaintenanceOn, 1, 0},
    {10, 1, 1}, // generator voltage watch: on
    {LowVoltageTimeout, 1, 15},
    {HighVoltageTimeout, 1, 5},
    {ThermoSensorOn, 1, 0},
    {TemperatureLow, 1, 5},
    {StarterBatteryOn, 1, 0},
    {UpsBatteryOn, 1, 0},
    {WorkRestOn, 1, 0},
    {24, 1, 7},  // weekly test: day
    {25, 1, 12}, // weekly test: hour
    {26, 1, 30}, // weekly test: minute
    {WeeklyTestOn, 1, 0},
    {28, 1, 20}, // server reply timeout
    {GeneratorLow, 2, 180},
    {GeneratorHigh, 2, 260},
    {MainsLow, 2, 180},
    {MainsHigh, 2, 260},
    {StarterBatteryLow, 2, 80},
    // A 24 V UPS battery, as the voltage the controller reports: 21.6 V low, 29.0 V high.
    {UpsLow, 2, 216},
    {UpsHigh, 2, 290},
    {MainsLossDelay, 2, 10},
    {MainsReturnDelay, 2, 10},
    {WarmUp, 2, 30},
    {CoolDown, 2, 30},
    {54, 2, 14400}, // work duration
    {56, 2, 7200},  // rest duration
    {58, 2, 180},   // weekly test duration
    {60, 2, 28800}, // UPS charge timeout
    {70, 2, 3600},  // SMS reply timeout
    {GprsOn, 1, 0},
    {GsmModemOn, 1, 0},
    {SuccessfulSends, 2, 37},
    {FailedSends, 2, 2},
};

constexpr FactoryNumber PetrolNumbers[] = {
    {13, 1, 1}, // cylinders
    {LongestCranking, 1, 5},
    {21, 1, 10}, // longest closed choke
    {StartAttempts, 1, 5},
};

constexpr FactoryNumber DieselNumbers[] = {
    {LongestCranking, 1, 5},
    {21, 1, 10}, // glow-plug time
    {StartAttempts, 1, 5},
};

constexpr FactoryNumber DryContactNumbers[] = {
    {68, 2, 300}, // start/stop timeout
};

void putNumber(QByteArray &memory, const FactoryNumber &number)
{
    for (int i = 0; i < number.size; ++i) {
        const int shift = 8 * (number.size - 1 - i);
        memory[number.address + i] = char((number.value >> shift) & 0xFF);
    }
}

template <std::size_t N> void putNumbers(QByteArray &memory, const FactoryNumber (&numbers)[N])
{
    for (const FactoryNumber &number : numbers)
        putNumber(memory, number);
}

void putText(QByteArray &memory, int address, const QByteArray &text)
{
    for (int i = 0; i < text.size(); ++i)
        memory[address + i] = text.at(i);
}

} // namespace

QByteArray FactoryMemory(quint8 variantCode)
{
    QByteArray memory(Size, char(0xFF));
    putNumbers(memory, CommonNumbers);

    quint8 engineType = 0;
    switch (DeviceVariant(variantCode)) {
    case DeviceVariant::Diesel:
        engineType = 1;
        putNumbers(memory, DieselNumbers);
        break;
    case DeviceVariant::DryContact:
        engineType = 2;
        putNumbers(memory, DryContactNumbers);
        break;
    default:
        putNumbers(memory, PetrolNumbers);
        break;
    }
    memory[EngineType] = char(engineType);

    // Six phone numbers: ten zero digits, access off, alarms only.
    for (int n = 0; n < PhoneCount; ++n) {
        const int base = FirstPhone + PhoneSize * n;
        putText(memory, base, QByteArray(PhoneDigits, '\0'));
        memory[base + PhoneAccessLevel] = 0;
        memory[base + PhoneMessageType] = 0;
    }

    putText(memory, SerialNumber, QByteArray::number(FactorySerialNumber));
    putText(memory, Login, "vkmtr");
    putText(memory, Password, "vkmtr");
    putText(memory, AccessPoint, "internet");
    return memory;
}

} // namespace gencfg
