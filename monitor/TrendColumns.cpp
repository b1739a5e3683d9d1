#include "monitor/TrendColumns.h"

#include <algorithm>
#include <array>

namespace gencfg {

void AddToColumns(std::vector<MinMaxColumn> &columns, qint64 columnMs, qint64 msecs, double value)
{
    const qint64 index = msecs / qMax<qint64>(1, columnMs);
    if (columns.empty() || columns.back().index != index) {
        columns.push_back({index, msecs, value, msecs, value, msecs, value, msecs, value});
        return;
    }
    MinMaxColumn &column = columns.back();
    column.lastMsecs = msecs;
    column.last = value;
    if (value < column.min) {
        column.min = value;
        column.minMsecs = msecs;
    }
    if (value > column.max) {
        column.max = value;
        column.maxMsecs = msecs;
    }
}

void DropColumnsBefore(std::vector<MinMaxColumn> &columns, qint64 columnMs, qint64 msecs)
{
    const qint64 first = msecs / qMax<qint64>(1, columnMs);
    const auto keep = std::find_if(columns.begin(), columns.end(),
                                   [first](const MinMaxColumn &column) { return column.index >= first; });
    columns.erase(columns.begin(), keep);
}

int AppendColumnPoints(const MinMaxColumn &column, bool withLast, QList<QPointF> &points)
{
    std::array<QPointF, 3> three{QPointF(double(column.minMsecs), column.min),
                                 QPointF(double(column.maxMsecs), column.max),
                                 QPointF(double(column.lastMsecs), column.last)};
    const size_t count = withLast ? 3 : 2;
    std::sort(three.begin(), three.begin() + qsizetype(count),
              [](const QPointF &a, const QPointF &b) { return a.x() < b.x(); });
    int added = 0;
    for (size_t i = 0; i < count; ++i) {
        if (i == 0 || three[i].x() != three[i - 1].x()) {
            points << three[i];
            ++added;
        }
    }
    return added;
}

} // namespace gencfg
