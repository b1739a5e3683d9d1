#include "monitor/TelemetryLog.h"

namespace gencfg {

TelemetryLog::TelemetryLog(int capacity) : m_capacity(qMax(1, capacity))
{}

void TelemetryLog::append(qint64 msecs, const TelemetryRecord &record)
{
    if (m_count < m_capacity) {
        // Grows as frames come; a short session never holds a day's memory.
        m_samples.push_back({msecs, record});
        ++m_count;
        return;
    }
    m_samples[size_t(m_first)] = {msecs, record};
    m_first = (m_first + 1) % m_capacity;
}

void TelemetryLog::clear()
{
    m_samples.clear();
    m_first = 0;
    m_count = 0;
}

int TelemetryLog::firstAtOrAfter(qint64 msecs) const
{
    int low = 0;
    int high = m_count;
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (at(middle).msecs < msecs)
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}

} // namespace gencfg
