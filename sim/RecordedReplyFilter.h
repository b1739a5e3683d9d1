#pragma once

// Takes the reply frames out of a recorded controller's bytes as they are
// played: a recorded reply goes to the line only as the answer to a live
// request, never at its recorded time. Status frames, other frames and noise
// pass as they were. A frame is known by its first five bytes; until then its
// bytes are held back, and a reply's are held to its end.

#include <QByteArray>

namespace gencfg {

class RecordedReplyFilter
{
public:
    // A request recorded at ms: the reply frame after it, even a damaged one, answered it.
    void requestRecorded(qint64 ms);
    // The bytes of a received chunk recorded at ms that go to the line.
    QByteArray take(const QByteArray &bytes, qint64 ms);
    // The line has the start of a frame whose end has not been played yet.
    bool insideFrame() const { return m_state == State::Passing; }
    void reset();

private:
    enum class State { Outside, Deciding, Passing, Holding };
    // The held reply ends here (whole or not): dropped, or played when it answered nothing.
    void settleHeld(QByteArray &out, bool whole, qint64 ms);

    State m_state = State::Outside;
    QByteArray m_held;
    qint64 m_requestMs = -1; // the recorded request still without its reply
};

} // namespace gencfg
