#pragma once

// A recorded controller played on the simulator's line: the bytes it sent, at
// their recorded times divided by the speed, noise and bad frames as they
// were, but for its replies. A live request is answered with the reply
// recorded after the same request, when the recording holds one; else the
// simulator's model answers. A recorded reply is never played on its own.

#include "record/RecordingReader.h"
#include "sim/RecordedReplyFilter.h"

#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QTimer>

namespace gencfg {

class PtySimulator;

// The speeds a recording plays at: beyond them its times overflow or its frames pile up.
constexpr double MinReplaySpeed = 0.01;
constexpr double MaxReplaySpeed = 1000.0;

class RecordingReplay : public QObject
{
    Q_OBJECT
public:
    // A reply is looked for in the bytes received within this long after its request.
    static constexpr qint64 ReplyWindowMs = 3000;

    explicit RecordingReplay(PtySimulator &simulator, QObject *parent = nullptr);

    // Reads the recording through once, for its replies and to find a
    // malformed line before anything is played. Returns the failure text, or an empty one.
    QString open(const QString &path);
    void setSpeed(double factor) { m_speed = factor; }
    // From the start again after the end.
    void setLoop(bool on) { m_loop = on; }
    // Plays from the recording's start; the simulator takes over its replies.
    void start();
    bool isPlaying() const { return m_playing; }
    // The reply recorded for a request's text, if there is one.
    std::optional<QByteArray> replyFor(const QByteArray &requestText) const;

Q_SIGNALS:
    // The end reached, without --loop.
    void finished();
    void failed(const QString &text);

private:
    // The reply source of the simulator while playing.
    std::optional<QByteArray> answer(const QByteArray &request);
    void sendHeldReplies();
    qint64 dueMs(const RecordedChunk &chunk) const;
    void playDue();
    void scheduleNext();

    PtySimulator &m_simulator;
    QString m_path;
    RecordingReader m_reader;
    QHash<QByteArray, QByteArray> m_replies;
    double m_speed = 1.0;
    bool m_loop = false;
    bool m_playing = false;
    bool m_hasNext = false;
    RecordedChunk m_next;
    RecordedReplyFilter m_filter;
    // Live answers waiting for the end of a frame being played.
    QByteArray m_heldReplies;
    QElapsedTimer m_clock;
    QTimer m_timer;
};

} // namespace gencfg
