#pragma once

#include "widgets/ScaleGauge.h"

namespace gencfg {

// A round dial: a 270° scale from lower left (minimum) clockwise to lower right
// (maximum), coloured section arcs under the ticks, numbers at the major ticks, a tapered
// pointer and a hub. Drawn in a 200 x 200 logical square scaled to the widget.
//
// With AutoSize on (the default) the widget stays square: after a resize that changed only
// the width the side is the new width, otherwise (height changed, or both) the new height.
// Sizes set on a hidden widget are squared when it is shown.
class AngularGauge : public ScaleGauge
{
    Q_OBJECT
    Q_PROPERTY(int hubSize READ hubSize WRITE setHubSize NOTIFY lookChanged)
    Q_PROPERTY(bool autoSize READ autoSize WRITE setAutoSize NOTIFY lookChanged)
    Q_PROPERTY(QString unitsText READ unitsText WRITE setUnitsText NOTIFY lookChanged)

public:
    explicit AngularGauge(QWidget *parent = nullptr);

    // Diameter of the hub, in pixels.
    int hubSize() const { return m_hubSize; }
    bool autoSize() const { return m_autoSize; }
    // Drawn on the dial under the hub, e.g. "В"; empty by default.
    QString unitsText() const { return m_unitsText; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return m_autoSize; }
    int heightForWidth(int width) const override { return m_autoSize ? width : -1; }

public Q_SLOTS:
    void setHubSize(int pixels);
    void setAutoSize(bool on);
    void setUnitsText(const QString &text);

protected:
    void paintEvent(QPaintEvent *event) override;
    void paintScale(QPainter &p) override;
    void resizeEvent(QResizeEvent *event) override;
    QString readingText() const override;

private:
    // Device pixels per unit of the logical square, 0 when the dial is too small to paint.
    qreal dialScale() const;
    // Puts the origin at the dial's centre in logical units.
    void toDial(QPainter &p, qreal k) const;
    qreal angleOf(double value) const;

    int m_hubSize = 12;
    bool m_autoSize = true;
    QString m_unitsText;
};

} // namespace gencfg
