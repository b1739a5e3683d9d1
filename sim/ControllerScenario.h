#pragma once

#include "monitor/StatusFrameMap.h"

#include <QRandomGenerator>

namespace gencfg {

class ControllerModel;
struct ControllerState;

// Steps of a start attempt, the low byte of the stage timer in stage 3.
namespace SimStartStep {
enum : quint8 { Pause = 0, Valve = 1, Choke = 2, Starter = 4, ChokeOpen = 5 };
}

// Journal codes the simulated controller writes.
namespace SimEvent {
enum : quint8 {
    MainsLost = 0,
    Start = 1,
    Run = 2,
    MainsBack = 3,
    PowerOn = 4,
    AutoMode = 6,
    TestStart = 7,
    Stop = 9,
    UpsPower = 10,
    VoltageAlarm = 12,
    NoStartAlarm = 13,
};
}

// The life of a generator set behind the model: the mains come and go, the
// controller starts, warms up, runs, cools down and stops the generator as a
// real one would, with now and then a failed start or a voltage fault, while
// the measurements drift. One step is one second of device time.
class ControllerScenario
{
public:
    ControllerScenario(ControllerModel &model, quint32 seed);

    void step();

    void startGenerator(quint16 seconds);
    void stopGenerator(quint16 seconds);
    void restartModem();

    bool generatorRunning() const;

private:
    void tickMains();
    void stepStage(ControllerState &s);
    void stepStart(ControllerState &s);
    void beginStart();
    void beginAttempt();
    void setStartStep(quint8 step, int seconds);
    void beginCoolDown();
    void enter(quint8 stage, int seconds = 0);
    void updateMeasurements(ControllerState &s);
    void updateFlags(ControllerState &s);
    void countEngineTime(ControllerState &s);

    int byteSetting(int address, int low, int high) const;
    int wordSetting(int address) const;
    int between(int low, int high);
    bool chance(double probability);
    int drift(int value, int target, int spread);

    ControllerModel &m_model;
    QRandomGenerator m_random;
    bool m_mainsPresent = true;
    int m_mainsChangeIn = 60; // seconds until the mains come or go
    int m_left = 0;           // seconds left in a timed stage
    int m_runSeconds = 0;
    int m_engineSeconds = 0; // towards the next engine minute
    int m_attempt = 1;
    int m_stepLeft = 0;
    bool m_attemptSucceeds = true;
    int m_commandedRun = -1; // seconds left of a commanded run, -1 without one
    int m_waitLeft = 0;      // seconds the generator is held off after a stop command
    int m_faultLeft = 0;     // seconds until a voltage fault clears by itself
    int m_modemLeft = 0;     // seconds until a restarted modem is registered again
};

} // namespace gencfg
