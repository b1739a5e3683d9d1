#include "monitor/TrendTimeline.h"

#include <QDateTime>

namespace gencfg {

namespace {

constexpr qint64 SpanMs[] = {60 * 1000, 10 * 60 * 1000, 60 * 60 * 1000, 0};
// A live time axis moves on by this share of its span at a time.
constexpr qint64 LiveSteps = 30;
// Completed columns the recent part of a line gathers before they settle: a frame sets these again, not
// the whole line.
constexpr size_t RecentColumns = 16;
// Columns between the settled part of a line and the recent one: at a pixel or more each, they keep the
// settled part clear of what a frame repaints.
constexpr size_t BridgeColumns = 12;

// A power of two at least as wide as one pixel: it changes seldom, so a growing
// span rarely forces the columns to be built again.
qint64 columnMsFor(qint64 from, qint64 to, int pixels)
{
    const qint64 exact = qMax<qint64>(1, (to - from) / qMax(50, pixels));
    qint64 width = 1;
    while (width < exact)
        width *= 2;
    return width;
}

} // namespace

QList<QPointF> TrendLine::bridgePart() const
{
    const qsizetype from = qMax<qsizetype>(0, settledPoints - 1);
    return points.sliced(from, recentPoint - from);
}

std::pair<double, double> TrendLine::valueRange() const
{
    double low = settledLow;
    double high = settledHigh;
    for (size_t i = settledColumns; i < columns.size(); ++i) {
        low = qMin(low, columns[i].min);
        high = qMax(high, columns[i].max);
    }
    return {low, high};
}

bool TrendTimeline::showRange(qint64 from, qint64 to)
{
    if (to <= from)
        return false;
    m_live = false;
    m_from = from;
    m_to = to;
    m_stale = true;
    return true;
}

qint64 TrendTimeline::liveTo(qint64 newest) const
{
    const qint64 span =
        SpanMs[m_span] > 0 ? SpanMs[m_span]
                           : qMax<qint64>(60 * 1000, newest - (m_log.isEmpty() ? newest : m_log.at(0).msecs));
    const qint64 step = qMax<qint64>(1000, span / LiveSteps);
    return (newest / step + 1) * step;
}

qint64 TrendTimeline::liveFrom(qint64 to) const
{
    const qint64 span = SpanMs[m_span];
    if (span > 0)
        return to - span;
    return m_log.isEmpty() ? to - SpanMs[OneMinute] : qMin(m_log.at(0).msecs, to - 1000);
}

void TrendTimeline::addToColumns(const TelemetrySample &sample)
{
    for (TrendLine &line : m_lines) {
        const size_t before = line.columns.size();
        AddToColumns(line.columns, m_columnMs, sample.msecs, line.value(sample.record));
        // Only the newest column's points change; a column that stops being the newest drops its last sample.
        if (!line.counts.empty()) {
            line.points.remove(line.points.size() - line.counts.back(), line.counts.back());
            line.counts.pop_back();
            if (line.columns.size() != before)
                line.counts.push_back(AppendColumnPoints(line.columns[before - 1], false, line.points));
        }
        line.counts.push_back(AppendColumnPoints(line.columns.back(), true, line.points));
        const size_t newest = line.columns.size() - 1;
        if (newest > line.recentColumn + RecentColumns)
            split(line, newest - qMin(newest, BridgeColumns), newest);
    }
    const TelemetryRecord &r = sample.record;
    if (!m_newest || m_newest->record.Mode != r.Mode || m_newest->record.Stage != r.Stage) {
        m_changes.push_back(sample);
        m_changesChanged = true;
    }
    m_newest = sample;
}

void TrendTimeline::split(TrendLine &line, size_t settled, size_t recent)
{
    if (settled < line.settledColumns) {
        line.settledColumns = 0;
        line.settledPoints = 0;
        line.settledLow = qInf();
        line.settledHigh = -qInf();
    }
    for (; line.settledColumns < settled; ++line.settledColumns) {
        const MinMaxColumn &column = line.columns[line.settledColumns];
        line.settledPoints += line.counts[line.settledColumns];
        line.settledLow = qMin(line.settledLow, column.min);
        line.settledHigh = qMax(line.settledHigh, column.max);
    }
    line.recentColumn = recent;
    line.recentPoint = line.settledPoints;
    for (size_t i = settled; i < recent; ++i)
        line.recentPoint += line.counts[i];
    line.partsChanged = true;
}

void TrendTimeline::dropBefore(qint64 msecs)
{
    for (TrendLine &line : m_lines) {
        const size_t before = line.columns.size();
        DropColumnsBefore(line.columns, m_columnMs, msecs);
        const size_t dropped = before - line.columns.size();
        int points = 0;
        for (size_t i = 0; i < dropped; ++i)
            points += line.counts[i];
        line.counts.erase(line.counts.begin(), line.counts.begin() + qsizetype(dropped));
        line.points.remove(0, points);
        if (dropped > 0) {
            const auto kept = [dropped](size_t column) { return column - qMin(dropped, column); };
            split(line, kept(line.settledColumns), kept(line.recentColumn));
        }
    }
    while (!m_changes.empty() && m_changes.front().msecs < msecs) {
        m_changes.erase(m_changes.begin());
        m_changesChanged = true;
    }
}

void TrendTimeline::rebuild(int pixels)
{
    m_stale = false;
    m_axesMoved = true;
    const qint64 newest = m_log.isEmpty() ? QDateTime::currentMSecsSinceEpoch() : m_log.newest().msecs;
    if (m_live) {
        m_to = liveTo(newest);
        m_from = liveFrom(m_to);
    }
    m_columnMs = columnMsFor(m_from, m_to, pixels);
    for (TrendLine &line : m_lines) {
        line.columns.clear();
        line.points.clear();
        line.counts.clear();
        split(line, 0, 0);
    }
    m_changes.clear();
    m_changesChanged = true;
    m_newest.reset();
    const int first = qMax(0, m_log.firstAtOrAfter(m_from) - 1);
    const int last = m_live ? m_log.size() : qMin(m_log.size(), m_log.firstAtOrAfter(m_to) + 1);
    for (int i = first; i < last; ++i)
        addToColumns(m_log.at(i));
    for (TrendLine &line : m_lines) {
        const size_t newest = qMax<size_t>(1, line.columns.size()) - 1;
        split(line, newest - qMin(newest, BridgeColumns), newest);
    }
}

bool TrendTimeline::sampleAdded(int pixels)
{
    if (m_log.isEmpty())
        return false;
    if (!m_live) {
        m_stale = true;
        return false;
    }
    const TelemetrySample &sample = m_log.newest();
    // The time axis moves on in steps, not with every frame: between steps only the lines change.
    if (sample.msecs > m_to) {
        m_to = liveTo(sample.msecs);
        const qint64 from = liveFrom(m_to);
        if (columnMsFor(from, m_to, pixels) != m_columnMs)
            m_stale = true;
        m_from = from;
        m_axesMoved = true;
    }
    if (m_stale) {
        rebuild(pixels);
        return true;
    }
    addToColumns(sample);
    dropBefore(m_from);
    return true;
}

void TrendTimeline::applied()
{
    for (TrendLine &line : m_lines)
        line.partsChanged = false;
    m_axesMoved = false;
    m_changesChanged = false;
}

} // namespace gencfg
