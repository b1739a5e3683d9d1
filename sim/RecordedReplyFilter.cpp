#include "sim/RecordedReplyFilter.h"

#include "link/Commands.h"
#include "link/FrameCodec.h"
#include "sim/RecordingReplay.h"
#include "sim/RequestCutter.h"

namespace gencfg {

namespace {

// Start byte, prefix and command: enough to tell a reply.
constexpr int KnownAfter = 5;

bool StartsReply(const QByteArray &text)
{
    return text.at(1) == '0' && text.at(2) == '1' && IsReplyCommand(HexPairToByte(text.at(3), text.at(4)));
}

} // namespace

void RecordedReplyFilter::requestRecorded(qint64 ms)
{
    m_requestMs = ms;
}

void RecordedReplyFilter::reset()
{
    m_state = State::Outside;
    m_held.clear();
    m_requestMs = -1;
}

void RecordedReplyFilter::settleHeld(QByteArray &out, bool whole, qint64 ms)
{
    const bool answered = m_requestMs >= 0 && ms - m_requestMs <= RecordingReplay::ReplyWindowMs;
    if (answered || (whole && ParseValidFrame(m_held)))
        m_requestMs = -1;
    else
        out += m_held;
    m_held.clear();
}

QByteArray RecordedReplyFilter::take(const QByteArray &bytes, qint64 ms)
{
    QByteArray out;
    out.reserve(bytes.size());
    for (const char b : bytes) {
        if (b == FrameStart) {
            // A start byte inside a frame begins another; what was held of the first is settled.
            if (m_state == State::Deciding)
                out += m_held;
            else if (m_state == State::Holding)
                settleHeld(out, false, ms);
            m_held = QByteArray(1, b);
            m_state = State::Deciding;
            continue;
        }
        switch (m_state) {
        case State::Outside:
            out += b;
            break;
        case State::Passing:
            out += b;
            if (b == FrameEnd)
                m_state = State::Outside;
            break;
        case State::Deciding:
            m_held += b;
            if (b == FrameEnd) {
                out += m_held;
                m_held.clear();
                m_state = State::Outside;
            } else if (m_held.size() == KnownAfter) {
                if (StartsReply(m_held)) {
                    m_state = State::Holding;
                } else {
                    out += m_held;
                    m_held.clear();
                    m_state = State::Passing;
                }
            }
            break;
        case State::Holding:
            m_held += b;
            if (b == FrameEnd) {
                settleHeld(out, true, ms);
                m_state = State::Outside;
            } else if (m_held.size() >= RequestCutter::MaxFrameText) {
                // Longer than any frame: no reply, whatever it began as.
                out += m_held;
                m_held.clear();
                m_state = State::Passing;
            }
            break;
        }
    }
    return out;
}

} // namespace gencfg
