#pragma once

#include "widgets/ScaleGauge.h"

namespace gencfg {

// A straight scale: a coloured section bar, ticks and numbers on one side of it and a
// triangular pointer marker on the other. Horizontal gauges grow left to right with the
// pointer above the bar; vertical ones grow bottom to top with the pointer on the left.
class LinearGauge : public ScaleGauge
{
    Q_OBJECT
    Q_PROPERTY(Qt::Orientation Orientation READ orientation WRITE setOrientation NOTIFY lookChanged)

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

private:
    Qt::Orientation m_orientation = Qt::Vertical;
};

} // namespace gencfg
