#pragma once

// Helpers for tests and benchmarks that read the "Графики" page's plots.

#include <QChartView>
#include <QLineSeries>
#include <QList>
#include <QPointF>
#include <QWidget>

namespace gencfg::test {

// The record's lines a plot draws, in order. A line is drawn in parts of one name, each repeating the last
// point of the one before; the dashed lines are the thresholds.
inline QList<QList<QPointF>> recordLines(const QChartView *plot)
{
    QList<QList<QPointF>> lines;
    QString name;
    for (QAbstractSeries *series : plot->chart()->series()) {
        const auto *part = qobject_cast<QLineSeries *>(series);
        if (!part || part->pen().style() == Qt::DashLine)
            continue;
        const QList<QPointF> points = part->points();
        if (lines.isEmpty() || part->name() != name) {
            lines.append(points);
            name = part->name();
        } else {
            lines.last().append(lines.last().isEmpty() ? points
                                                       : points.sliced(qMin<qsizetype>(1, points.size())));
        }
    }
    return lines;
}

// The page's ten record lines: four voltages, two batteries, four temperature sensors.
inline QList<QList<QPointF>> recordLines(const QWidget *trendsPage)
{
    QList<QList<QPointF>> lines;
    for (const char *plot : {"voltageChart", "batteryChart", "temperatureChart"})
        lines << recordLines(trendsPage->findChild<QChartView *>(QLatin1String(plot)));
    return lines;
}

} // namespace gencfg::test
