#pragma once

// A series reduced to the plot's pixel columns: per column only its first,
// its minimum, its maximum and its last sample are drawn, so thousands of
// samples cost at most four points a column, no peak is lost and the line
// runs on from one column to the next. Columns are aligned to the epoch, so a new
// sample touches only the newest column.

#include <QList>
#include <QPointF>
#include <vector>

namespace gencfg {

struct MinMaxColumn
{
    qint64 index = 0; // msecs / columnMs
    qint64 firstMsecs = 0;
    double first = 0;
    qint64 lastMsecs = 0;
    double last = 0;
    qint64 minMsecs = 0;
    double min = 0;
    qint64 maxMsecs = 0;
    double max = 0;
};

// Adds a sample; samples come in time order.
void AddToColumns(std::vector<MinMaxColumn> &columns, qint64 columnMs, qint64 msecs, double value);
// Drops the columns that end before msecs.
void DropColumnsBefore(std::vector<MinMaxColumn> &columns, qint64 columnMs, qint64 msecs);
// What a line series draws: each column's first, minimum, maximum and last
// sample in the order they came, none twice; x in msecs.
QList<QPointF> ColumnPoints(const std::vector<MinMaxColumn> &columns);
// The same for one column, appended to points; returns how many it added.
int AppendColumnPoints(const MinMaxColumn &column, QList<QPointF> &points);

} // namespace gencfg
