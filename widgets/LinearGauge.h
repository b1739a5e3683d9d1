#pragma once

#include "widgets/ScaleGauge.h"

namespace gencfg {

// A straight scale: a coloured section bar, ticks and numbers on one side of it and a
// triangular pointer marker on the other. Horizontal gauges grow left to right with the
// pointer above the bar; vertical ones grow bottom to top with the pointer on the left.
class LinearGauge : public ScaleGauge
{
    Q_OBJECT
    Q_PROPERTY(Qt::Orientation orientation READ orientation WRITE setOrientation NOTIFY lookChanged)

public:
    explicit LinearGauge(QWidget *parent = nullptr);
    explicit LinearGauge(Qt::Orientation orientation, QWidget *parent = nullptr);

    Qt::Orientation orientation() const { return m_orientation; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

public Q_SLOTS:
    void setOrientation(Qt::Orientation orientation);

protected:
    void paintEvent(QPaintEvent *event) override;
    void paintScale(QPainter &p) override;

private:
    // Where the marker goes, worked out with the scale and kept with it. Along the scale x
    // runs from its low end; across it y runs from the marker side.
    struct MarkerPlace
    {
        bool shown = false;
        qreal margin = 0; // from the widget's edge to the scale's low end
        qreal length = 0;
        qreal marker = 0;
        qreal markerTop = 0;
        qreal barTop = 0;
        qreal barBottom = 0;
    };

    // Turns p so that x runs along the scale and y across it.
    void alongScale(QPainter &p) const;

    Qt::Orientation m_orientation = Qt::Vertical;
    MarkerPlace m_marker;
};

} // namespace gencfg
