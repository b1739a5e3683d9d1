#pragma once

// A series reduced to the plot's pixel columns: per column only its minimum
// and its maximum are drawn, so thousands of samples cost two points a column
// and no peak is lost; the newest column also keeps its last sample, so the
// line reaches the newest reading. Columns are aligned to the epoch, so a new
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
// What a line series draws of a column, appended to points: its minimum and maximum in the order they came,
// and its last sample when withLast (the newest column); x in msecs. Returns how many points it added.
int AppendColumnPoints(const MinMaxColumn &column, bool withLast, QList<QPointF> &points);

} // namespace gencfg
