#pragma once

// One trend plot: the wheel zooms around the cursor, a left drag pans, a
// right drag marks a span to zoom into. It never changes its own axes; it
// asks for a time range and the page applies it to every plot alike.

#include <QChartView>

namespace gencfg {

class TrendChartView : public QChartView
{
    Q_OBJECT
public:
    explicit TrendChartView(QChart *chart, QWidget *parent = nullptr);

    QSize sizeHint() const override { return {760, 150}; }
    // Puts the plot area at its fixed place within the view.
    void placePlotArea();

Q_SIGNALS:
    // The user asks to see from..to, in milliseconds since the epoch.
    void rangeRequested(qint64 from, qint64 to);

public:
    // Room around the plot area for the axis labels, alike in every plot so their time axes line up.
    static constexpr int PlotLeft = 56;
    static constexpr int PlotRight = 30;
    static constexpr int PlotTop = 6;
    static constexpr int PlotBottom = 22;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    bool viewportEvent(QEvent *event) override;
    void drawForeground(QPainter *painter, const QRectF &rect) override;

private:
    // The time under a point of the view, and the time range the plot shows now.
    double timeAt(const QPoint &pos) const;
    std::pair<double, double> shownRange() const;
    // Stretches the marked span from the press to x and shows it.
    void markSpanTo(int x);

    QPoint m_pressAt;
    std::pair<double, double> m_rangeAtPress{0, 0};
    bool m_panning = false;
    // The span a right drag marks, in viewport coordinates; painted over the plot, empty when none.
    QRect m_band;
    bool m_marking = false;
};

} // namespace gencfg
