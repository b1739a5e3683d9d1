#pragma once

#include <QByteArray>
#include <QVector>

namespace gencfg {

// Cuts frame texts (start byte through end byte) out of the bytes arriving at
// the controller, every complete one in order. Bytes outside a frame are
// dropped; a start byte inside an unfinished frame begins a new one.
class RequestCutter
{
public:
    struct Frame
    {
        QByteArray text;
        qint64 startUs = 0; // when its start byte arrived
        qint64 endUs = 0;   // when its end byte arrived
    };

    // The longest text a frame can have: 261 bytes as hex, start and end byte.
    static constexpr int MaxFrameText = 2 + 2 * (6 + 255);

    QVector<Frame> feed(const QByteArray &bytes, qint64 nowUs);
    void clear() { m_text.clear(); }

private:
    QByteArray m_text;
    qint64 m_startUs = 0;
};

} // namespace gencfg
