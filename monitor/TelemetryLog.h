#pragma once

// Every accepted status frame with the local time it arrived, oldest first,
// bounded: a full day at one frame a second, then the oldest go.

#include "monitor/Telemetry.h"

#include <vector>

namespace gencfg {

struct TelemetrySample
{
    qint64 msecs = 0; // arrival, milliseconds since the epoch
    TelemetryRecord record;
};

class TelemetryLog
{
public:
    static constexpr int DayAtOneFramePerSecond = 24 * 60 * 60;

    explicit TelemetryLog(int capacity = DayAtOneFramePerSecond);

    void append(qint64 msecs, const TelemetryRecord &record);
    void clear();

    int size() const { return m_count; }
    int capacity() const { return m_capacity; }
    bool isEmpty() const { return m_count == 0; }
    // 0 is the oldest sample kept.
    const TelemetrySample &at(int i) const { return m_samples[size_t((m_first + i) % m_capacity)]; }
    const TelemetrySample &newest() const { return at(m_count - 1); }
    // The first sample at or after msecs, or size() when none is.
    int firstAtOrAfter(qint64 msecs) const;
    // Bytes the samples take, for the record of a full day.
    static constexpr std::size_t BytesPerSample = sizeof(TelemetrySample);

private:
    std::vector<TelemetrySample> m_samples;
    int m_capacity;
    int m_first = 0;
    int m_count = 0;
};

} // namespace gencfg
