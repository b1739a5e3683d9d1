#pragma once

#include "sim/ControllerJournal.h"
#include "sim/ControllerScenario.h"
#include "sim/ControllerState.h"
#include "sim/FrameLog.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QVector>

namespace gencfg {

// A simulated controller: parameter memory, live state, clock and journals;
// it answers requests and acts on service commands. Frames go in and out as
// frame bytes (prefix through checksum); the line is someone else's business.
class ControllerModel
{
public:
    static constexpr int EventJournalSize = 105;
    static constexpr int AlarmJournalSize = 50;
    // Each log keeps this many of its latest entries.
    static constexpr int LogLimit = 10000;

    explicit ControllerModel(quint8 variantCode = 200, quint32 seed = 1);
    Q_DISABLE_COPY(ControllerModel)

    // Changes the code the status frame reports; the memory stays.
    quint8 variantCode() const { return m_variantCode; }
    void setVariantCode(quint8 code) { m_variantCode = code; }

    // Parameter memory, 256 bytes.
    const QByteArray &memory() const { return m_memory; }
    quint8 memoryByte(int address) const;
    quint16 memoryWord(int address) const;
    // Bytes beyond address 255 are dropped.
    void writeMemory(int address, const QByteArray &bytes);
    quint32 motoclockMinutes() const;
    void setMotoclockMinutes(quint32 minutes);

    ControllerState &state() { return m_state; }
    const ControllerState &state() const { return m_state; }
    QDateTime clock() const { return m_clock; }
    void setClock(const QDateTime &clock) { m_clock = clock; }
    // The status frame carries these three bytes (hour, minute, second) instead of the
    // clock's, as a controller with a corrupt clock does; no bytes for the clock again.
    void setClockBytes(const QByteArray &bytes) { m_clockBytes = bytes.left(3); }

    ControllerJournal &eventJournal() { return m_events; }
    ControllerJournal &alarmJournal() { return m_alarms; }
    // Both journals filled to their full length with valid codes, no end record.
    void fillJournals();
    // An event at the device clock; alarm codes 11 to 17 go to both journals.
    void logEvent(quint8 code);

    // A static controller keeps every value as it is: no scenario, no clock.
    void setStatic(bool on) { m_static = on; }
    // Lets device time pass; the scenario runs once per whole second.
    void advance(int milliseconds);

    // The status frame's bytes: prefix 1, command 21, address 0, length 36,
    // the data, the checksum.
    QByteArray statusFrameBytes() const;

    // Acts on one valid received frame; returns the reply's frame bytes, or
    // nothing when the frame asks for no reply or the reply is suppressed.
    QByteArray handleFrame(const QByteArray &frameBytes);

    // A frame text cut from the line: logged, then handled when valid.
    QByteArray receiveFrameText(const QByteArray &text, qint64 startUs, qint64 endUs);
    void logSentFrame(const FrameLogEntry &entry);

    // Every frame received, valid or not, oldest first.
    const QVector<FrameLogEntry> &receivedLog() const { return m_received; }
    // The valid ones among them.
    QVector<FrameLogEntry> receivedFrames() const;
    const QVector<FrameLogEntry> &sentFrames() const { return m_sent; }

    // The last of the commands 32 to 51 acted on, 0 before the first.
    quint8 lastServiceCommand() const { return m_lastServiceCommand; }

    // Write frames are accepted but nothing is stored.
    void setIgnoreWrites(bool on) { m_ignoreWrites = on; }
    // Nothing is sent: no status frames, no replies.
    void setSilent(bool on) { m_silent = on; }
    bool isSilent() const { return m_silent; }
    // Requests that expect a reply get none.
    void setDropReplies(bool on) { m_dropReplies = on; }
    // Requests that expect a reply get a status frame instead.
    void setStatusInsteadOfReply(bool on) { m_statusInsteadOfReply = on; }
    // Read replies carry half the bytes asked for, journal replies two bytes.
    void setReplyShort(bool on) { m_replyShort = on; }
    // Of the requests that expect a reply, only the first, third, fifth... get one.
    void setAnswerEveryOther(bool on)
    {
        m_answerEveryOther = on;
        m_awaitedReplies = 0;
    }
    // The next times requests for this journal entry get no reply; a negative
    // count: no request for it ever does.
    void skipJournalReplies(quint8 journal, quint8 index, int times = -1);
    // The reply to a request for this event-journal entry goes out ms late, every time.
    void setJournalReplyDelay(quint8 index, int ms);
    // How long after the request its reply goes out, beyond the line's own delay.
    int replyDelayMs(const QByteArray &requestBytes) const;

    // While set, the status frame's variant code steps through 202, 201, 200
    // every ms of device time, even on a static controller; the memory stays.
    void setVariantFlapMs(int ms)
    {
        m_variantFlapMs = qMax(0, ms);
        m_flapElapsedMs = 0;
    }

private:
    QByteArray readReply(int address, int count) const;
    QByteArray journalReply(quint8 journal, quint8 index) const;
    // Counts the request and says whether its reply is held back.
    bool holdsReplyBack(quint8 command, const QByteArray &data);
    void flapVariant(int milliseconds);
    void setClockFromBcd(const QByteArray &data);
    void seedJournals();

    quint8 m_variantCode = 200;
    QByteArray m_memory;
    ControllerState m_state;
    QDateTime m_clock;
    QByteArray m_clockBytes;
    ControllerJournal m_events{EventJournalSize};
    ControllerJournal m_alarms{AlarmJournalSize};
    ControllerScenario m_scenario;
    bool m_static = false;
    int m_pendingMs = 0;
    QVector<FrameLogEntry> m_received;
    QVector<FrameLogEntry> m_sent;
    quint8 m_lastServiceCommand = 0;
    bool m_ignoreWrites = false;
    bool m_silent = false;
    bool m_dropReplies = false;
    bool m_statusInsteadOfReply = false;
    bool m_replyShort = false;
    bool m_answerEveryOther = false;
    int m_awaitedReplies = 0;
    // Keyed by journal << 8 | index: how many more requests get no reply.
    QHash<int, int> m_skippedJournalReplies;
    int m_journalDelayIndex = -1;
    int m_journalDelayMs = 0;
    int m_variantFlapMs = 0;
    int m_flapElapsedMs = 0;
};

} // namespace gencfg
