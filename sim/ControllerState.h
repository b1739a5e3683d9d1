#pragma once

#include "monitor/StatusFrameMap.h"

namespace gencfg {

// The live values the controller reports in its status frame (the
// engine-hour counter lives in parameter memory, the clock in the model).
struct ControllerState
{
    quint8 mode = StatusFrameMap::AutomaticMode;
    quint8 stage = 0;
    quint16 stageTimer = 0;
    quint8 flags1 = StatusFrameMap::FlagMask(StatusFrameMap::Flag::ThreePhase);
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
