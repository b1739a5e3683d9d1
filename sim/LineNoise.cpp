#include "sim/LineNoise.h"

#include "link/FrameCodec.h"

namespace gencfg {

QByteArray LineNoise::garbageBefore(int frameLength)
{
    if (m_rate <= 0.0 || m_random.generateDouble() >= qMin(1.0, m_rate * frameLength))
        return {};
    QByteArray garbage(int(m_random.bounded(1, 9)), '\0');
    for (char &b : garbage) {
        // A stray start byte would swallow the frame that follows; the line
        // has enough other ways to lose one.
        do {
            b = char(m_random.bounded(256));
        } while (b == FrameStart);
    }
    return garbage;
}

QByteArray LineNoise::corrupt(const QByteArray &frameText)
{
    QByteArray text = frameText;
    if (m_rate <= 0.0)
        return text;
    for (int i = 1; i + 1 < text.size(); ++i) {
        if (m_random.generateDouble() < m_rate)
            text[i] = char(text.at(i) ^ (1 << m_random.bounded(8)));
    }
    return text;
}

} // namespace gencfg
