#pragma once

#include <QtGlobal>

namespace gencfg {

// Bits of flags1 and flags2 the simulated controller sets.
enum : quint8 {
    Flags1ThreePhase = 0x01,
    Flags1RemoteStart = 0x02,
    Flags1GeneratorFrequency = 0x08,
    Flags1Gprs = 0x10,
    Flags1SemiAuto = 0x20,

    Flags2Maintenance = 0x01,
    Flags2StarterBattery = 0x02,
    Flags2UpsBattery = 0x04,
    Flags2WorkRest = 0x08,
    Flags2WeeklyTest = 0x10,
    Flags2GsmModem = 0x40,
    Flags2ThermoSensor = 0x80,
};

// The live values the controller reports in its status frame (the
// engine-hour counter lives in parameter memory, the clock in the model).
struct ControllerState
{
    quint8 mode = 2; // 1 manual, 2 automatic (semi-automatic with Flags1SemiAuto)
    quint8 stage = 0;
    quint16 stageTimer = 0;
    quint8 flags1 = Flags1ThreePhase;
    quint8 flags2 = 0;
    int voltageGU = 0; // volts
    int voltageA = 226;
    int voltageB = 224;
    int voltageC = 229;
    int accVoltage = 136; // tenths of a volt
    int upsVoltage = 271; // tenths of a volt
    quint16 maintenanceMinutes = 3540;
    quint8 signalQuality = 21;
    quint8 registration = 1;
    qint8 temperatures[4] = {14, 21, -4, 25};
};

} // namespace gencfg
