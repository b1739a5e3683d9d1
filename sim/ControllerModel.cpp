#include "sim/ControllerModel.h"

#include "config/MemoryMap.h"
#include "link/Commands.h"
#include "link/FrameCodec.h"
#include "sim/FactoryMemory.h"

namespace gencfg {

using StatusFrameMap::Flag;
using StatusFrameMap::FlagMask;

namespace {

// A device clock that never sees daylight saving.
const QDateTime StartClock(QDate(2024, 5, 17), QTime(8, 42, 15), Qt::UTC);

struct PastEvent
{
    int daysAgo;
    int hour;
    int minute;
    quint8 code;
};

// What a controller in service for a while has in its journals.
constexpr PastEvent History[] = {
    {9, 18, 20, 12}, {3, 7, 12, 4}, {3, 7, 12, 6}, {2, 13, 40, 0}, {2, 13, 40, 1}, {2, 13, 41, 2},
    {2, 15, 2, 3},   {2, 15, 3, 9}, {1, 2, 15, 0}, {1, 2, 15, 1},  {1, 2, 16, 13}, {1, 2, 17, 1},
    {1, 2, 18, 2},   {1, 3, 30, 3}, {1, 3, 31, 9}, {0, 6, 5, 7},   {0, 6, 8, 9},
};

bool isAlarmCode(quint8 code)
{
    return code >= 11 && code <= 17;
}

// One byte b reads as 0 V below 50 and as b + 50 V otherwise.
quint8 voltageCode(int volts)
{
    if (volts < 100)
        return 0;
    return quint8(qMin(volts - 50, 255));
}

void putWord(QByteArray &bytes, int offset, int value)
{
    const int clamped = qBound(0, value, 0xFFFF);
    bytes[offset] = char(clamped >> 8);
    bytes[offset + 1] = char(clamped & 0xFF);
}

quint16 wordAt(const QByteArray &bytes, int offset)
{
    return quint16(quint8(bytes.at(offset)) << 8 | quint8(bytes.at(offset + 1)));
}

void appendToLog(QVector<FrameLogEntry> &log, const FrameLogEntry &entry)
{
    if (log.size() >= ControllerModel::LogLimit)
        log.remove(0, ControllerModel::LogLimit / 10);
    log.append(entry);
}

} // namespace

ControllerModel::ControllerModel(quint8 variantCode, quint32 seed)
    : m_variantCode(variantCode), m_memory(FactoryMemory(variantCode)), m_clock(StartClock),
      m_scenario(*this, seed)
{
    seedJournals();
}

quint8 ControllerModel::memoryByte(int address) const
{
    if (address < 0 || address >= MemoryMap::Size)
        return 0xFF;
    return quint8(m_memory.at(address));
}

quint16 ControllerModel::memoryWord(int address) const
{
    return quint16(memoryByte(address) << 8 | memoryByte(address + 1));
}

void ControllerModel::writeMemory(int address, const QByteArray &bytes)
{
    for (int i = 0; i < bytes.size(); ++i) {
        const int at = address + i;
        if (at >= 0 && at < MemoryMap::Size)
            m_memory[at] = bytes.at(i);
    }
}

quint32 ControllerModel::motoclockMinutes() const
{
    return quint32(memoryWord(MemoryMap::EngineMinutes)) << 16 | memoryWord(MemoryMap::EngineMinutes + 2);
}

void ControllerModel::setMotoclockMinutes(quint32 minutes)
{
    QByteArray bytes(MemoryMap::EngineMinutesSize, '\0');
    for (int i = 0; i < MemoryMap::EngineMinutesSize; ++i)
        bytes[i] = char(minutes >> (24 - 8 * i));
    writeMemory(MemoryMap::EngineMinutes, bytes);
}

void ControllerModel::fillJournals()
{
    m_events.fill(m_clock, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17});
    m_alarms.fill(m_clock, {11, 12, 13, 14, 15, 16, 17});
}

void ControllerModel::logEvent(quint8 code)
{
    m_events.append(m_clock, code);
    if (isAlarmCode(code))
        m_alarms.append(m_clock, code);
}

void ControllerModel::advance(int milliseconds)
{
    flapVariant(milliseconds);
    if (m_static || milliseconds <= 0)
        return;
    m_pendingMs += milliseconds;
    while (m_pendingMs >= 1000) {
        m_pendingMs -= 1000;
        m_clock = m_clock.addSecs(1);
        m_scenario.step();
    }
}

QByteArray ControllerModel::statusFrameBytes() const
{
    const ControllerState &s = m_state;
    using namespace StatusFrameMap;
    QByteArray data(Size, '\0');
    data[VariantCode] = char(m_variantCode);
    data[Flags1] = char(s.flags1);
    data[Flags2] = char(s.flags2);
    data[Mode] = char(s.mode);
    data[Stage] = char(s.stage);
    putWord(data, StageTimer, s.stageTimer);
    data[GeneratorVoltage] = char(voltageCode(s.voltageGU));
    data[PhaseA] = char(voltageCode(s.voltageA));
    data[PhaseB] = char(voltageCode(s.voltageB));
    data[PhaseC] = char(voltageCode(s.voltageC));
    putWord(data, StarterBattery, s.accVoltage);
    putWord(data, UpsBattery, s.upsVoltage);
    // The engine-hour counter is the one in parameter memory.
    for (int i = 0; i < MemoryMap::EngineMinutesSize; ++i)
        data[EngineMinutes + i] = m_memory.at(MemoryMap::EngineMinutes + i);
    putWord(data, MaintenanceMinutes, s.maintenanceMinutes);
    const QTime time = m_clock.time();
    data[ClockHours] = char(ByteToBcd(quint8(time.hour())));
    data[ClockMinutes] = char(ByteToBcd(quint8(time.minute())));
    data[ClockSeconds] = char(ByteToBcd(quint8(time.second())));
    if (m_clockBytes.size() == 3)
        data.replace(ClockHours, 3, m_clockBytes);
    data[SignalQuality] = char(s.signalQuality);
    data[Registration] = char(s.registration);
    for (int i = 0; i < TemperatureCount; ++i)
        data[FirstTemperature + i] = char(s.temperatures[i]);
    return FrameBytes(1, CMD_STATUS, 0, data);
}

QByteArray ControllerModel::handleFrame(const QByteArray &frameBytes)
{
    if (frameBytes.size() < 6)
        return {};
    const quint8 prefix = quint8(frameBytes.at(0));
    const quint8 command = quint8(frameBytes.at(1));
    const quint16 address = wordAt(frameBytes, 2);
    const quint8 length = quint8(frameBytes.at(4));
    const QByteArray data = frameBytes.mid(5, frameBytes.size() - 6);

    QByteArray reply;
    if (prefix == 1 && command == CMD_READ_MEMORY) {
        reply = readReply(address, length);
    } else if (prefix == 0) {
        switch (command) {
        case CMD_WRITE_MEMORY:
            if (!m_ignoreWrites)
                writeMemory(address, data);
            break;
        case CMD_JOURNAL_RECORD:
            if (data.size() < 2)
                return {};
            reply = journalReply(quint8(data.at(0)), quint8(data.at(1)));
            break;
        case CMD_TEST_SMS:
            break;
        case CMD_TEST_GPRS:
            // A test message that went through counts as a successful send.
            putWord(m_memory, MemoryMap::SuccessfulSends,
                    (memoryWord(MemoryMap::SuccessfulSends) + 1) & 0xFFFF);
            break;
        case CMD_RESTART_MODEM:
            m_scenario.restartModem();
            break;
        case CMD_SET_CLOCK:
            setClockFromBcd(data);
            break;
        case CMD_MODE_AUTO:
            m_state.mode = StatusFrameMap::AutomaticMode;
            m_state.flags1 &= quint8(~FlagMask(Flag::SemiAuto));
            logEvent(SimEvent::AutoMode);
            break;
        case CMD_MODE_SEMIAUTO:
            m_state.mode = StatusFrameMap::AutomaticMode;
            m_state.flags1 |= FlagMask(Flag::SemiAuto);
            break;
        case CMD_GENERATOR_START:
        case CMD_GENERATOR_STOP:
            if (data.size() < 2)
                return {};
            if (command == CMD_GENERATOR_START)
                m_scenario.startGenerator(wordAt(data, 0));
            else
                m_scenario.stopGenerator(wordAt(data, 0));
            break;
        default:
            return {};
        }
        if (command >= CMD_TEST_SMS)
            m_lastServiceCommand = command;
    }

    if (reply.isEmpty() || m_silent || m_dropReplies || holdsReplyBack(command, data))
        return {};
    if (m_statusInsteadOfReply)
        return statusFrameBytes();
    return reply;
}

QByteArray ControllerModel::receiveFrameText(const QByteArray &text, qint64 startUs, qint64 endUs)
{
    const FrameLogEntry entry = LoggedFrame(text, startUs, endUs);
    appendToLog(m_received, entry);
    return entry.valid ? handleFrame(entry.bytes) : QByteArray();
}

void ControllerModel::logSentFrame(const FrameLogEntry &entry)
{
    appendToLog(m_sent, entry);
}

QVector<FrameLogEntry> ControllerModel::receivedFrames() const
{
    QVector<FrameLogEntry> frames;
    for (const FrameLogEntry &entry : m_received) {
        if (entry.valid)
            frames.append(entry);
    }
    return frames;
}

QByteArray ControllerModel::readReply(int address, int count) const
{
    const int given = m_replyShort ? count / 2 : count;
    QByteArray data(given, char(0xFF));
    for (int i = 0; i < given; ++i)
        data[i] = char(memoryByte(address + i));
    return FrameBytes(1, CMD_READ_MEMORY, quint16(address), data);
}

QByteArray ControllerModel::journalReply(quint8 journal, quint8 index) const
{
    QByteArray record(5, char(ControllerJournal::EndCode));
    if (journal == 0)
        record = m_events.record(index);
    else if (journal == 1)
        record = m_alarms.record(index);
    if (m_replyShort)
        record.truncate(2);
    return FrameBytes(1, CMD_JOURNAL_RECORD, 0, record);
}

void ControllerModel::skipJournalReplies(quint8 journal, quint8 index, int times)
{
    const int key = journal << 8 | index;
    if (times == 0)
        m_skippedJournalReplies.remove(key);
    else
        m_skippedJournalReplies.insert(key, times);
}

void ControllerModel::setJournalReplyDelay(quint8 index, int ms)
{
    m_journalDelayIndex = ms > 0 ? index : -1;
    m_journalDelayMs = qMax(0, ms);
}

int ControllerModel::replyDelayMs(const QByteArray &requestBytes) const
{
    // Prefix 0, command, address, length 2, then the journal and the index.
    if (m_journalDelayIndex < 0 || requestBytes.size() < 8 || quint8(requestBytes.at(0)) != 0 ||
        quint8(requestBytes.at(1)) != CMD_JOURNAL_RECORD)
        return 0;
    // Selector 0 is the event journal.
    const bool delayed = requestBytes.at(5) == 0 && quint8(requestBytes.at(6)) == m_journalDelayIndex;
    return delayed ? m_journalDelayMs : 0;
}

bool ControllerModel::holdsReplyBack(quint8 command, const QByteArray &data)
{
    if (m_answerEveryOther && m_awaitedReplies++ % 2 == 1)
        return true;
    if (command != CMD_JOURNAL_RECORD || data.size() < 2)
        return false;
    const auto skipped = m_skippedJournalReplies.find(quint8(data.at(0)) << 8 | quint8(data.at(1)));
    if (skipped == m_skippedJournalReplies.end())
        return false;
    if (*skipped > 0 && --*skipped == 0)
        m_skippedJournalReplies.erase(skipped);
    return true;
}

void ControllerModel::flapVariant(int milliseconds)
{
    if (m_variantFlapMs <= 0 || milliseconds <= 0)
        return;
    m_flapElapsedMs += milliseconds;
    while (m_flapElapsedMs >= m_variantFlapMs) {
        m_flapElapsedMs -= m_variantFlapMs;
        // 202, 201, 200, then 202 again; any other code joins the round at 202.
        m_variantCode = m_variantCode > 200 && m_variantCode <= 202 ? quint8(m_variantCode - 1) : quint8(202);
    }
}

void ControllerModel::setClockFromBcd(const QByteArray &data)
{
    if (data.size() < 6)
        return;
    int values[6];
    for (int i = 0; i < 6; ++i) {
        const quint8 b = quint8(data.at(i));
        if ((b >> 4) > 9 || (b & 0x0F) > 9)
            return;
        values[i] = BcdToByte(b);
    }
    const QDate date(2000 + values[5], values[4], values[3]);
    const QTime time(values[0], values[1], values[2]);
    if (date.isValid() && time.isValid())
        m_clock = QDateTime(date, time, Qt::UTC);
}

void ControllerModel::seedJournals()
{
    for (const PastEvent &event : History) {
        const QDateTime when(m_clock.date().addDays(-event.daysAgo), QTime(event.hour, event.minute),
                             Qt::UTC);
        m_events.append(when, event.code);
        if (isAlarmCode(event.code))
            m_alarms.append(when, event.code);
    }
}

} // namespace gencfg
