#include "sim/RecordingReplay.h"

#include "link/Commands.h"
#include "link/FrameCodec.h"
#include "sim/PtySimulator.h"

#include <algorithm>

namespace gencfg {

namespace {

// The first whole reply frame in text, exactly as it was carried; empty when none is.
QByteArray FirstReply(const QByteArray &text)
{
    int from = 0;
    for (;;) {
        const int start = int(text.indexOf(FrameStart, from));
        if (start < 0)
            return {};
        const int end = int(text.indexOf(FrameEnd, start));
        if (end < 0)
            return {};
        // A start byte after the first one means the earlier frame lost its end.
        const int last = int(text.lastIndexOf(FrameStart, end));
        const QByteArray frame = text.mid(last, end - last + 1);
        const std::optional<QByteArray> bytes = ParseValidFrame(frame);
        if (bytes && bytes->size() > 1 && IsReplyCommand(quint8(bytes->at(1))))
            return frame;
        from = end + 1;
    }
}

} // namespace

RecordingReplay::RecordingReplay(PtySimulator &simulator, QObject *parent)
    : QObject(parent), m_simulator(simulator)
{
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &RecordingReplay::playDue);
}

QString RecordingReplay::open(const QString &path)
{
    m_path = path;
    m_replies.clear();
    if (const QString failure = m_reader.open(path); !failure.isEmpty())
        return failure;
    // Each request with the received bytes that followed it, up to the next request.
    QByteArray request;
    QByteArray after;
    qint64 requestMs = 0;
    const auto settle = [&] {
        if (request.isEmpty() || m_replies.contains(request))
            return;
        const QByteArray reply = FirstReply(after);
        if (!reply.isEmpty())
            m_replies.insert(request, reply);
    };
    RecordedChunk chunk;
    while (m_reader.next(chunk)) {
        if (chunk.direction == ChunkDirection::Sent) {
            settle();
            request = chunk.bytes;
            requestMs = chunk.ms;
            after.clear();
        } else if (!request.isEmpty() && chunk.ms - requestMs <= ReplyWindowMs) {
            after += chunk.bytes;
        }
    }
    settle();
    if (!m_reader.error().isEmpty())
        return m_reader.error();
    return m_reader.open(path);
}

std::optional<QByteArray> RecordingReplay::replyFor(const QByteArray &requestText) const
{
    const auto found = m_replies.constFind(requestText);
    if (found == m_replies.constEnd())
        return std::nullopt;
    return *found;
}

void RecordingReplay::start()
{
    if (m_playing)
        return;
    m_playing = true;
    m_simulator.setReplySource([this](const QByteArray &request) { return answer(request); });
    m_filter.reset();
    m_clock.start();
    m_hasNext = m_reader.next(m_next);
    scheduleNext();
}

std::optional<QByteArray> RecordingReplay::answer(const QByteArray &request)
{
    std::optional<QByteArray> reply = replyFor(request);
    // Not into the middle of a frame being played: after its end.
    if (reply && m_filter.insideFrame()) {
        m_heldReplies += *reply;
        return QByteArray();
    }
    return reply;
}

void RecordingReplay::sendHeldReplies()
{
    if (m_heldReplies.isEmpty())
        return;
    m_simulator.sendRaw(m_heldReplies);
    m_heldReplies.clear();
}

void RecordingReplay::scheduleNext()
{
    if (!m_hasNext)
        sendHeldReplies();
    while (!m_hasNext) {
        if (!m_reader.error().isEmpty()) {
            m_playing = false;
            Q_EMIT failed(m_reader.error());
            return;
        }
        if (!m_loop) {
            m_playing = false;
            Q_EMIT finished();
            return;
        }
        if (const QString failure = m_reader.open(m_path); !failure.isEmpty()) {
            m_playing = false;
            Q_EMIT failed(failure);
            return;
        }
        m_clock.start();
        m_filter.reset();
        m_hasNext = m_reader.next(m_next);
        // A recording without a chunk would loop at once for ever.
        if (!m_hasNext && m_reader.error().isEmpty()) {
            m_playing = false;
            Q_EMIT finished();
            return;
        }
    }
    m_timer.start(int(std::clamp<qint64>(dueMs(m_next) - m_clock.elapsed(), 0, 24 * 3600 * 1000)));
}

qint64 RecordingReplay::dueMs(const RecordedChunk &chunk) const
{
    // Bounded times and speeds keep this far inside 64 bits.
    return qint64(double(chunk.ms) / std::clamp(m_speed, MinReplaySpeed, MaxReplaySpeed));
}

void RecordingReplay::playDue()
{
    const qint64 now = m_clock.elapsed();
    while (m_hasNext && dueMs(m_next) <= now) {
        if (m_next.direction == ChunkDirection::Sent) {
            m_filter.requestRecorded(m_next.ms);
        } else {
            // Recorded replies go only to live requests, from answer().
            m_simulator.sendRaw(m_filter.take(m_next.bytes, m_next.ms));
            if (!m_filter.insideFrame())
                sendHeldReplies();
        }
        m_hasNext = m_reader.next(m_next);
    }
    scheduleNext();
}

} // namespace gencfg
