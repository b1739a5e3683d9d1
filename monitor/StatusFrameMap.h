#pragma once

// The places in the controller's status frame (the data bytes after the frame
// header) that the decoder and the simulator both reach, its flag bits and its
// stage codes. Multi-byte numbers are high byte first.

#include <QtGlobal>

namespace gencfg::StatusFrameMap {

constexpr int Size = 36;

constexpr int VariantCode = 0;
constexpr int Flags1 = 2;
constexpr int Flags2 = 3;
constexpr int Mode = 4;
constexpr int Stage = 5;
constexpr int StageTimer = 6; // two bytes, seconds; in the start stage the attempt, then the step
// One byte each, VoltageCode() turns it into volts.
constexpr int GeneratorVoltage = 8;
constexpr int PhaseA = 9;
constexpr int PhaseB = 10;
constexpr int PhaseC = 11;
// Two bytes each, tenths of a volt.
constexpr int StarterBattery = 15;
constexpr int UpsBattery = 17;
constexpr int EngineMinutes = 21; // four bytes
constexpr int MaintenanceMinutes = 25;
// Packed BCD.
constexpr int ClockHours = 27;
constexpr int ClockMinutes = 28;
constexpr int ClockSeconds = 29;
constexpr int SignalQuality = 30;
constexpr int Registration = 31;
constexpr int FirstTemperature = 32; // signed degrees, one byte per sensor
constexpr int TemperatureCount = 4;

// The mode byte.
constexpr quint8 ManualMode = 1;
constexpr quint8 AutomaticMode = 2; // semi-automatic with Flag::SemiAuto

// A flag's byte (Flags1 or Flags2) and bit, as byte index times eight plus bit.
enum class Flag : quint8 {
    ThreePhase = 0,
    RemoteStart = 1,
    TestStart = 2,
    GeneratorFrequency = 3,
    Gprs = 4,
    SemiAuto = 5,
    Maintenance = 8,
    StarterBattery = 9,
    UpsBattery = 10,
    WorkRest = 11,
    WeeklyTest = 12,
    ShortCircuitControl = 13,
    GsmModem = 14,
    ThermoSensor = 15,
};
// The offset of the byte that holds a flag, and its mask in that byte.
constexpr int FlagByte(Flag flag)
{
    return Flags1 + int(flag) / 8;
}
constexpr quint8 FlagMask(Flag flag)
{
    return quint8(1u << (int(flag) % 8));
}

} // namespace gencfg::StatusFrameMap

namespace gencfg::StageCode {

// The stage byte in automatic mode; the status caption has a text for each code up to Waiting.
enum : quint8 {
    MainsPower = 0,
    MainsLost = 1,
    Starting = 3,
    WarmUp = 4,
    Running = 5,
    MainsBack = 7,
    CoolDown = 8,
    Stopping = 9,
    UpsPower = 10,
    AlarmNoStart = 14,
    LowVoltage = 22,
    HighVoltage = 23,
    AlarmLowVoltage = 24,
    AlarmHighVoltage = 25,
    Waiting = 26,
};

} // namespace gencfg::StageCode
