#include "sim/FactoryMemory.h"

#include "link/Commands.h"

#include <cstddef>

namespace gencfg {

namespace {

struct FactoryNumber
{
    quint8 address;
    quint8 size;
    quint32 value;
};

// Settings every variant shares.
constexpr FactoryNumber CommonNumbers[] = {
    {0, 4, 74096},  // engine-hour counter, minutes
    {4, 4, 0},      // maintenance counter start
    {8, 1, 100},    // maintenance period, hours
    {9, 1, 0},      // maintenance: off
    {10, 1, 1},     // generator voltage watch: on
    {11, 1, 15},    // low-voltage timeout
    {12, 1, 5},     // high-voltage timeout
    {14, 1, 0},     // thermo sensor: off
    {15, 1, 5},     // lower temperature threshold
    {18, 1, 0},     // starter battery watch: off
    {19, 1, 0},     // UPS battery watch: off
    {23, 1, 0},     // work/rest: off
    {24, 1, 7},     // weekly test: day
    {25, 1, 12},    // weekly test: hour
    {26, 1, 30},    // weekly test: minute
    {27, 1, 0},     // weekly test: off
    {28, 1, 20},    // server reply timeout
    {32, 2, 180},   // generator lower threshold
    {34, 2, 260},   // generator upper threshold
    {36, 2, 180},   // mains lower threshold
    {38, 2, 260},   // mains upper threshold
    {40, 2, 80},    // starter battery lower threshold, 0.1 V
    {42, 2, 80},    // UPS battery lower threshold
    {44, 2, 150},   // UPS battery upper threshold
    {46, 2, 10},    // mains loss delay
    {48, 2, 10},    // mains return delay
    {50, 2, 30},    // warm-up
    {52, 2, 30},    // cool-down
    {54, 2, 14400}, // work duration
    {56, 2, 7200},  // rest duration
    {58, 2, 180},   // weekly test duration
    {60, 2, 28800}, // UPS charge timeout
    {70, 2, 3600},  // SMS reply timeout
    {94, 1, 0},     // GPRS monitoring: off
    {95, 1, 0},     // GSM modem: off
    {180, 2, 37},   // successful sends
    {182, 2, 2},    // failed sends
};

constexpr FactoryNumber PetrolNumbers[] = {
    {13, 1, 1},  // cylinders
    {20, 1, 5},  // longest cranking
    {21, 1, 10}, // longest closed choke
    {22, 1, 5},  // start attempts
};

constexpr FactoryNumber DieselNumbers[] = {
    {20, 1, 5},  // longest cranking
    {21, 1, 10}, // glow-plug time
    {22, 1, 5},  // start attempts
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
    QByteArray memory(ParameterMemorySize, char(0xFF));
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
    memory[72] = char(engineType);

    // Six phone numbers: ten zero digits, access off, alarms only.
    for (int n = 0; n < 6; ++n) {
        const int base = 80 + 16 * n;
        putText(memory, base, QByteArray(10, '\0'));
        memory[base + 10] = 0;
        memory[base + 12] = 0;
    }

    putText(memory, 184, "21070415"); // serial number
    putText(memory, 192, "vkmtr");    // login
    putText(memory, 208, "vkmtr");    // password
    putText(memory, 224, "internet"); // access point
    return memory;
}

} // namespace gencfg
