#include "monitor/ui/TrendChartView.h"

#include <QDateTime>
#include <QDateTimeAxis>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QRegularExpression>
#include <QStyleOptionRubberBand>
#include <QWheelEvent>

namespace gencfg {

namespace {

// A wheel notch shows this share of the range it showed before.
constexpr double ZoomPerNotch = 0.8;
// What a time label takes beyond half its text: the text's margins and the axis' own padding.
constexpr int LabelPadding = 18;
// Below this the plot would show less than a frame period.
constexpr double ShortestRangeMs = 2000;

} // namespace

TrendChartView::TrendChartView(QChart *chart, QWidget *parent) : QChartView(chart, parent)
{
    setRubberBand(QChartView::NoRubberBand);
    setRenderHint(QPainter::Antialiasing, false);
    setFocusPolicy(Qt::ClickFocus);
    // Another time format has labels of another width.
    for (QAbstractAxis *axis : chart->axes(Qt::Horizontal))
        if (auto *time = qobject_cast<QDateTimeAxis *>(axis))
            connect(time, &QDateTimeAxis::formatChanged, this, &TrendChartView::placePlotArea);
}

void TrendChartView::resizeEvent(QResizeEvent *event)
{
    QChartView::resizeEvent(event);
    placePlotArea();
}

void TrendChartView::placePlotArea()
{
    // The chart keeps room beyond the plot area for its last time label, and grows past the view rather than
    // shorten it: the right margin gives the label that room in the view.
    int right = PlotRight;
    if (const auto *time = qobject_cast<QDateTimeAxis *>(chart()->axes(Qt::Horizontal).value(0))) {
        const QString widest =
            QString(time->format()).replace(QRegularExpression(QStringLiteral("\\w")), QStringLiteral("0"));
        right = qMax(right, QFontMetrics(time->labelsFont()).horizontalAdvance(widest) / 2 + LabelPadding);
    }
    chart()->setPlotArea(QRectF(PlotLeft, PlotTop, qMax(20, width() - PlotLeft - right),
                                qMax(20, height() - PlotTop - PlotBottom)));
}

double TrendChartView::timeAt(const QPoint &pos) const
{
    const QPointF inChart = chart()->mapFromScene(mapToScene(pos));
    return chart()->mapToValue(inChart).x();
}

std::pair<double, double> TrendChartView::shownRange() const
{
    const QList<QAbstractAxis *> axes = chart()->axes(Qt::Horizontal);
    const auto *time = axes.isEmpty() ? nullptr : qobject_cast<QDateTimeAxis *>(axes.first());
    if (!time)
        return {0, 0};
    return {double(time->min().toMSecsSinceEpoch()), double(time->max().toMSecsSinceEpoch())};
}

void TrendChartView::wheelEvent(QWheelEvent *event)
{
    const auto [from, to] = shownRange();
    const double notches = event->angleDelta().y() / 120.0;
    if (notches == 0 || to <= from) {
        event->ignore();
        return;
    }
    const double at = qBound(from, timeAt(event->position().toPoint()), to);
    const double factor = qMax(ShortestRangeMs / (to - from), std::pow(ZoomPerNotch, notches));
    Q_EMIT rangeRequested(qint64(at - (at - from) * factor), qint64(at + (to - at) * factor));
    event->accept();
}

void TrendChartView::mousePressEvent(QMouseEvent *event)
{
    m_pressAt = event->pos();
    m_rangeAtPress = shownRange();
    if (event->button() == Qt::LeftButton) {
        m_panning = true;
        setCursor(Qt::ClosedHandCursor);
    } else if (event->button() == Qt::RightButton) {
        m_marking = true;
        markSpanTo(m_pressAt.x());
    }
    event->accept();
}

void TrendChartView::mouseMoveEvent(QMouseEvent *event)
{
    if (m_panning) {
        const auto [from, to] = m_rangeAtPress;
        const double shift = timeAt(m_pressAt) - timeAt(event->pos());
        Q_EMIT rangeRequested(qint64(from + shift), qint64(to + shift));
    } else if (m_marking) {
        markSpanTo(event->pos().x());
    } else {
        // A plain move hovers: the change marks show their texts.
        QChartView::mouseMoveEvent(event);
        return;
    }
    event->accept();
}

void TrendChartView::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_panning) {
        m_panning = false;
        unsetCursor();
    } else if (m_marking) {
        m_marking = false;
        m_band = QRect();
        viewport()->update();
        const double a = timeAt(m_pressAt);
        const double b = timeAt(event->pos());
        if (std::abs(event->pos().x() - m_pressAt.x()) > 4 && std::abs(b - a) >= ShortestRangeMs)
            Q_EMIT rangeRequested(qint64(qMin(a, b)), qint64(qMax(a, b)));
    }
    event->accept();
}

void TrendChartView::markSpanTo(int x)
{
    m_band =
        QRect(QPoint(qMin(x, m_pressAt.x()), 0), QPoint(qMax(x, m_pressAt.x()), viewport()->height() - 1));
    viewport()->update();
}

void TrendChartView::drawForeground(QPainter *painter, const QRectF &rect)
{
    QChartView::drawForeground(painter, rect);
    if (!m_marking)
        return;
    // The style's own rubber band, drawn in the scene's coordinates the painter is in.
    QStyleOptionRubberBand option;
    option.initFrom(viewport());
    option.shape = QRubberBand::Rectangle;
    option.opaque = false;
    option.rect = mapToScene(m_band).boundingRect().toRect();
    painter->save();
    style()->drawControl(QStyle::CE_RubberBand, &option, painter, this);
    painter->restore();
}

bool TrendChartView::viewportEvent(QEvent *event)
{
    // The chart's items carry no tooltips, so the scene would answer a resting pointer
    // with an empty one and take away the text a change mark is showing.
    if (event->type() == QEvent::ToolTip)
        return true;
    return QChartView::viewportEvent(event);
}

} // namespace gencfg
