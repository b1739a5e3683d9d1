#include "sim/ControllerScenario.h"

#include "config/MemoryMap.h"
#include "sim/ControllerModel.h"

namespace gencfg {

using StatusFrameMap::Flag;
using StatusFrameMap::FlagMask;

namespace {

constexpr quint8 DryContactEngine = 2;

} // namespace

ControllerScenario::ControllerScenario(ControllerModel &model, quint32 seed) : m_model(model), m_random(seed)
{
    m_mainsChangeIn = between(40, 90);
}

void ControllerScenario::step()
{
    ControllerState &s = m_model.state();
    tickMains();
    if (s.mode == StatusFrameMap::AutomaticMode)
        stepStage(s);
    updateMeasurements(s);
    updateFlags(s);
    countEngineTime(s);
}

void ControllerScenario::startGenerator(quint16 seconds)
{
    ControllerState &s = m_model.state();
    s.flags1 |= FlagMask(Flag::RemoteStart);
    m_commandedRun = seconds;
    m_waitLeft = 0;
    if (!generatorRunning() && s.stage != StageCode::Starting)
        beginStart();
}

void ControllerScenario::stopGenerator(quint16 seconds)
{
    ControllerState &s = m_model.state();
    s.flags1 &= quint8(~FlagMask(Flag::RemoteStart));
    m_commandedRun = -1;
    m_waitLeft = seconds;
    if (generatorRunning()) {
        beginCoolDown();
    } else if (s.stage == StageCode::Starting) {
        enter(StageCode::Stopping, 3);
    } else if (seconds > 0) {
        enter(StageCode::Waiting);
        s.stageTimer = seconds;
    } else {
        enter(StageCode::MainsPower);
    }
}

void ControllerScenario::restartModem()
{
    ControllerState &s = m_model.state();
    s.registration = 2;
    s.signalQuality = 99;
    m_modemLeft = 8;
}

bool ControllerScenario::generatorRunning() const
{
    switch (m_model.state().stage) {
    case StageCode::WarmUp:
    case StageCode::Running:
    case StageCode::MainsBack:
    case StageCode::CoolDown:
    case StageCode::LowVoltage:
    case StageCode::HighVoltage:
        return true;
    default:
        return false;
    }
}

void ControllerScenario::tickMains()
{
    if (--m_mainsChangeIn > 0)
        return;
    m_mainsPresent = !m_mainsPresent;
    m_mainsChangeIn = m_mainsPresent ? between(90, 240) : between(120, 300);
}

void ControllerScenario::stepStage(ControllerState &s)
{
    switch (s.stage) {
    case StageCode::MainsPower:
        if (!m_mainsPresent) {
            m_model.logEvent(SimEvent::MainsLost);
            if (s.flags1 & FlagMask(Flag::SemiAuto)) {
                // Semi-automatic: the UPS carries the load until told to start.
                m_model.logEvent(SimEvent::UpsPower);
                enter(StageCode::UpsPower);
            } else {
                enter(StageCode::MainsLost, wordSetting(MemoryMap::MainsLossDelay));
            }
        }
        break;
    case StageCode::MainsLost:
        if (m_mainsPresent)
            enter(StageCode::MainsPower);
        else if (--m_left <= 0)
            beginStart();
        else
            s.stageTimer = quint16(m_left);
        break;
    case StageCode::UpsPower:
        if (m_mainsPresent) {
            m_model.logEvent(SimEvent::MainsBack);
            enter(StageCode::MainsPower);
        } else if (s.stageTimer < 0xFFFF) {
            ++s.stageTimer;
        }
        break;
    case StageCode::Starting:
        stepStart(s);
        break;
    case StageCode::WarmUp:
        if (--m_left <= 0) {
            m_model.logEvent(SimEvent::Run);
            m_runSeconds = 0;
            enter(StageCode::Running);
        } else {
            s.stageTimer = quint16(m_left);
        }
        break;
    case StageCode::Running:
        s.stageTimer = quint16(qMin(++m_runSeconds, 0xFFFF));
        if (m_commandedRun >= 0) {
            if (--m_commandedRun <= 0) {
                m_commandedRun = -1;
                s.flags1 &= quint8(~FlagMask(Flag::RemoteStart));
                beginCoolDown();
            }
        } else if (m_mainsPresent) {
            enter(StageCode::MainsBack, wordSetting(MemoryMap::MainsReturnDelay));
        } else if (chance(1.0 / 400)) {
            m_faultLeft = between(3, 20);
            enter(chance(0.7) ? StageCode::LowVoltage : StageCode::HighVoltage);
        }
        break;
    case StageCode::LowVoltage:
    case StageCode::HighVoltage: {
        const int timeout = byteSetting(s.stage == StageCode::LowVoltage ? MemoryMap::LowVoltageTimeout
                                                                         : MemoryMap::HighVoltageTimeout,
                                        1, 255);
        ++s.stageTimer;
        if (--m_faultLeft <= 0) {
            s.voltageGU = between(222, 234);
            s.stage = StageCode::Running;
            s.stageTimer = quint16(qMin(m_runSeconds, 0xFFFF));
        } else if (s.stageTimer >= timeout) {
            m_model.logEvent(SimEvent::VoltageAlarm);
            m_commandedRun = -1;
            s.flags1 &= quint8(~FlagMask(Flag::RemoteStart));
            enter(s.stage == StageCode::LowVoltage ? StageCode::AlarmLowVoltage : StageCode::AlarmHighVoltage,
                  30);
        }
        break;
    }
    case StageCode::AlarmNoStart:
    case StageCode::AlarmLowVoltage:
    case StageCode::AlarmHighVoltage:
        if (--m_left <= 0)
            enter(StageCode::MainsPower);
        break;
    case StageCode::MainsBack:
        if (!m_mainsPresent) {
            s.stage = StageCode::Running;
            s.stageTimer = quint16(qMin(m_runSeconds, 0xFFFF));
        } else if (--m_left <= 0) {
            m_model.logEvent(SimEvent::MainsBack);
            beginCoolDown();
        } else {
            s.stageTimer = quint16(m_left);
        }
        break;
    case StageCode::CoolDown:
        if (--m_left <= 0)
            enter(StageCode::Stopping, 3);
        else
            s.stageTimer = quint16(m_left);
        break;
    case StageCode::Stopping:
        if (--m_left <= 0) {
            m_model.logEvent(SimEvent::Stop);
            enter(m_waitLeft > 0 ? StageCode::Waiting : StageCode::MainsPower);
            s.stageTimer = quint16(m_waitLeft);
        }
        break;
    case StageCode::Waiting:
        if (--m_waitLeft <= 0)
            enter(StageCode::MainsPower);
        else
            s.stageTimer = quint16(m_waitLeft);
        break;
    default:
        // A stage set from outside stays until someone changes it.
        break;
    }
}

void ControllerScenario::stepStart(ControllerState &s)
{
    if (--m_stepLeft > 0)
        return;
    const bool dryContact = m_model.memoryByte(MemoryMap::EngineType) == DryContactEngine;
    const int attempts = dryContact ? 1 : byteSetting(MemoryMap::StartAttempts, 1, 15);
    switch (s.stageTimer & 0xFF) {
    case SimStartStep::Valve:
        setStartStep(SimStartStep::Choke, 1);
        break;
    case SimStartStep::Choke:
        setStartStep(SimStartStep::Starter,
                     m_attemptSucceeds ? 2
                                       : (dryContact ? 3 : byteSetting(MemoryMap::LongestCranking, 2, 15)));
        break;
    case SimStartStep::Starter:
        if (m_attemptSucceeds)
            setStartStep(SimStartStep::ChokeOpen, 1);
        else
            setStartStep(SimStartStep::Pause, 3);
        break;
    case SimStartStep::ChokeOpen:
        // A generator that caught gives its voltage at once.
        s.voltageGU = between(215, 235);
        enter(StageCode::WarmUp, wordSetting(MemoryMap::WarmUp));
        break;
    default:
        if (m_attempt >= attempts) {
            m_model.logEvent(SimEvent::NoStartAlarm);
            m_commandedRun = -1;
            s.flags1 &= quint8(~FlagMask(Flag::RemoteStart));
            enter(StageCode::AlarmNoStart, 30);
        } else {
            ++m_attempt;
            beginAttempt();
        }
        break;
    }
}

void ControllerScenario::beginStart()
{
    m_model.logEvent(SimEvent::Start);
    m_attempt = 1;
    beginAttempt();
}

void ControllerScenario::beginAttempt()
{
    m_attemptSucceeds = chance(0.65);
    m_model.state().stage = StageCode::Starting;
    setStartStep(SimStartStep::Valve, 1);
}

void ControllerScenario::setStartStep(quint8 step, int seconds)
{
    m_model.state().stageTimer = quint16((m_attempt - 1) << 8 | step);
    m_stepLeft = seconds;
}

void ControllerScenario::beginCoolDown()
{
    enter(StageCode::CoolDown, wordSetting(MemoryMap::CoolDown));
}

void ControllerScenario::enter(quint8 stage, int seconds)
{
    ControllerState &s = m_model.state();
    s.stage = stage;
    s.stageTimer = quint16(seconds);
    m_left = seconds;
}

void ControllerScenario::updateMeasurements(ControllerState &s)
{
    if (m_mainsPresent) {
        // Mains come back at full voltage, then wander.
        const auto phase = [this](int volts, int nominal) {
            return volts < 150 ? nominal + between(-3, 3) : drift(volts, nominal, 2);
        };
        s.voltageA = phase(s.voltageA, 226);
        s.voltageB = phase(s.voltageB, 224);
        s.voltageC = phase(s.voltageC, 229);
    } else {
        s.voltageA = between(0, 15);
        s.voltageB = between(0, 15);
        s.voltageC = between(0, 15);
    }

    const bool running = generatorRunning();
    int generatorTarget = running ? 228 : 0;
    if (s.stage == StageCode::LowVoltage)
        generatorTarget = 168;
    else if (s.stage == StageCode::HighVoltage)
        generatorTarget = 288;
    s.voltageGU = running ? drift(s.voltageGU, generatorTarget, 2) : 0;

    const bool cranking = s.stage == StageCode::Starting && (s.stageTimer & 0xFF) == SimStartStep::Starter;
    int accTarget = 126;
    if (cranking)
        accTarget = 104;
    else if (running)
        accTarget = 141;
    else if (m_mainsPresent)
        accTarget = 137;
    s.accVoltage = drift(s.accVoltage, accTarget, 1);

    if (m_mainsPresent || running)
        s.upsVoltage = drift(s.upsVoltage, 272, 1);
    else if (chance(0.05) && s.upsVoltage > 215)
        --s.upsVoltage;

    const int temperatureTargets[4] = {running ? 38 : 12, 21, -4, 25};
    for (int i = 0; i < 4; ++i) {
        int t = s.temperatures[i];
        if (chance(0.2))
            t += t < temperatureTargets[i] ? 1 : (t > temperatureTargets[i] ? -1 : 0);
        else if (chance(0.05))
            t += chance(0.5) ? 1 : -1;
        s.temperatures[i] = qint8(t);
    }

    if (m_modemLeft > 0) {
        if (--m_modemLeft == 0) {
            s.registration = 1;
            s.signalQuality = 18;
        }
    } else if (chance(0.3)) {
        s.signalQuality = quint8(qBound(12, drift(s.signalQuality, 20, 1), 27));
    }
}

void ControllerScenario::updateFlags(ControllerState &s)
{
    const auto on = [this](int address) { return m_model.memoryByte(address) != 0; };
    const auto show = [](quint8 &flags, quint8 flag, bool set) {
        flags = set ? flags | flag : flags & ~flag;
    };
    show(s.flags1, FlagMask(Flag::GeneratorFrequency), generatorRunning());
    show(s.flags1, FlagMask(Flag::Gprs), on(MemoryMap::GprsOn));
    // Each switch in parameter memory shows as its flag.
    const std::pair<int, quint8> switches[] = {
        {MemoryMap::MaintenanceOn, FlagMask(Flag::Maintenance)},
        {MemoryMap::StarterBatteryOn, FlagMask(Flag::StarterBattery)},
        {MemoryMap::UpsBatteryOn, FlagMask(Flag::UpsBattery)},
        {MemoryMap::WorkRestOn, FlagMask(Flag::WorkRest)},
        {MemoryMap::WeeklyTestOn, FlagMask(Flag::WeeklyTest)},
        {MemoryMap::GsmModemOn, FlagMask(Flag::GsmModem)},
        {MemoryMap::ThermoSensorOn, FlagMask(Flag::ThermoSensor)},
    };
    for (const auto &[address, flag] : switches)
        show(s.flags2, flag, on(address));
}

void ControllerScenario::countEngineTime(ControllerState &s)
{
    if (!generatorRunning() || ++m_engineSeconds < 60)
        return;
    m_engineSeconds = 0;
    m_model.setMotoclockMinutes(m_model.motoclockMinutes() + 1);
    if (s.maintenanceMinutes > 0)
        --s.maintenanceMinutes;
}

int ControllerScenario::byteSetting(int address, int low, int high) const
{
    return qBound(low, int(m_model.memoryByte(address)), high);
}

int ControllerScenario::wordSetting(int address) const
{
    // An unprogrammed or huge delay would stall the scenario for hours.
    return qBound(1, int(m_model.memoryWord(address)), 3600);
}

int ControllerScenario::between(int low, int high)
{
    return int(m_random.bounded(low, high + 1));
}

bool ControllerScenario::chance(double probability)
{
    return m_random.generateDouble() < probability;
}

int ControllerScenario::drift(int value, int target, int spread)
{
    return value + (target - value) / 3 + between(-spread, spread);
}

} // namespace gencfg
