#pragma once

// Which stretch of the telemetry record the trend plots show, and each line
// reduced to that stretch's pixel columns. Live, the stretch follows the
// newest frame over the chosen span, moving on in steps; the mode and stage
// changes within it are kept for marks.

#include "monitor/TelemetryLog.h"
#include "monitor/TrendColumns.h"

#include <optional>
#include <vector>

namespace gencfg {

// One line in three parts, each drawn from the last point of the one before: the settled columns, the
// bridge's few after them, the recent newest. A frame changes the recent part; the settled one, too far
// left to be repainted, changes only when columns settle or go.
struct TrendLine
{
    double (*value)(const TelemetryRecord &) = nullptr;
    std::vector<MinMaxColumn> columns;
    // What the three parts draw, and how many of those points each column gave.
    QList<QPointF> points;
    std::vector<int> counts;
    // The columns before settledColumns are settled, those from recentColumn on recent, those between
    // the bridge's; settledPoints and recentPoint count the points before the bridge's and the recent.
    size_t settledColumns = 0;
    size_t recentColumn = 0;
    qsizetype settledPoints = 0;
    qsizetype recentPoint = 0;
    // The lowest and highest value of the settled columns.
    double settledLow = qInf();
    double settledHigh = -qInf();
    bool partsChanged = true; // the settled part and the bridge

    QList<QPointF> settledPart() const { return points.first(settledPoints); }
    QList<QPointF> bridgePart() const;
    QList<QPointF> recentPart() const { return points.sliced(qMax<qsizetype>(0, recentPoint - 1)); }
    // The lowest and highest value of all its columns.
    std::pair<double, double> valueRange() const;
};

class TrendTimeline
{
public:
    enum Span { OneMinute, TenMinutes, OneHour, Everything };

    explicit TrendTimeline(const TelemetryLog &log) : m_log(log) {}

    void addLine(double (*value)(const TelemetryRecord &)) { m_lines.emplace_back().value = value; }
    const TrendLine &line(size_t index) const { return m_lines.at(index); }

    Span span() const { return m_span; }
    // The span shown once it follows the newest frame again.
    void setSpan(Span span) { m_span = span; }
    void goLive() { m_live = m_stale = true; }
    // Shows from..to, in milliseconds since the epoch, and stops following; false for an empty range.
    bool showRange(qint64 from, qint64 to);
    bool isLive() const { return m_live; }
    qint64 from() const { return m_from; }
    qint64 to() const { return m_to; }
    // The columns no longer fit what is shown: the next frame or rebuild() builds them again.
    void invalidate() { m_stale = true; }
    bool isStale() const { return m_stale; }

    // Everything from the record again, for plots pixels wide.
    void rebuild(int pixels);
    // The newest sample of the record was just appended; false when it leaves the lines as they were.
    bool sampleAdded(int pixels);

    // The samples within the shown stretch whose mode or stage differs from the one before.
    const std::vector<TelemetrySample> &changes() const { return m_changes; }
    // The newest sample in the columns.
    const std::optional<TelemetrySample> &newest() const { return m_newest; }
    // What changed since applied(): the time range, the changes, each line's settled part and bridge.
    bool axesMoved() const { return m_axesMoved; }
    bool changesChanged() const { return m_changesChanged; }
    void applied();

private:
    void addToColumns(const TelemetrySample &sample);
    // Settles the columns before settled; recent ones start at recent.
    static void split(TrendLine &line, size_t settled, size_t recent);
    void dropBefore(qint64 msecs);
    qint64 liveTo(qint64 newest) const;
    qint64 liveFrom(qint64 to) const;

    const TelemetryLog &m_log;
    std::vector<TrendLine> m_lines;
    std::vector<TelemetrySample> m_changes;
    std::optional<TelemetrySample> m_newest;
    Span m_span = TenMinutes;
    bool m_live = true;
    bool m_stale = true;
    bool m_axesMoved = true;
    bool m_changesChanged = true;
    qint64 m_from = 0;
    qint64 m_to = 0;
    qint64 m_columnMs = 1;
};

} // namespace gencfg
