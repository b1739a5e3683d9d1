#pragma once

#include <QByteArray>
#include <QRandomGenerator>

namespace gencfg {

// Disturbances of a poor serial line: garbage between frames and flipped bits
// inside them, each at a rate per byte, repeatable from a seed.
class LineNoise
{
public:
    explicit LineNoise(double rate = 0.0, quint32 seed = 1) : m_rate(rate), m_random(seed) {}

    double rate() const { return m_rate; }
    bool isActive() const { return m_rate > 0.0; }

    // A few garbage bytes to go before a frame of frameLength bytes, often none.
    QByteArray garbageBefore(int frameLength);
    // The frame text with bits flipped between its start and end byte.
    QByteArray corrupt(const QByteArray &frameText);

private:
    double m_rate = 0.0;
    QRandomGenerator m_random;
};

} // namespace gencfg
