#include "sim/RequestCutter.h"

#include "link/FrameCodec.h"

namespace gencfg {

QVector<RequestCutter::Frame> RequestCutter::feed(const QByteArray &bytes, qint64 nowUs)
{
    QVector<Frame> frames;
    for (char b : bytes) {
        if (b == FrameStart) {
            m_text = QByteArray(1, b);
            m_startUs = nowUs;
            continue;
        }
        if (m_text.isEmpty())
            continue;
        m_text.append(b);
        if (b == FrameEnd) {
            frames.append({m_text, m_startUs, nowUs});
            m_text.clear();
        } else if (m_text.size() >= MaxFrameText) {
            m_text.clear();
        }
    }
    return frames;
}

} // namespace gencfg
