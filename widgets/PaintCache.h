#pragma once

#include <QPainter>
#include <QPixmap>
#include <QWidget>
#include <QtMath>

namespace gencfg {

// A picture of the parts of a widget that stay put between readings, kept at the widget's
// size and device pixel ratio. It is redrawn after clear(), when either of those changed, or
// when the widget's place within a device pixel did.
class PaintCache
{
public:
    void clear() { m_pixmap = QPixmap(); }

    // Draws the picture with p, a painter that has just begun on widget. When the picture is
    // stale, paint(QPainter &) first draws it anew in the widget's coordinates.
    template <typename Paint> void draw(QPainter &p, const QWidget *widget, Paint &&paint)
    {
        const qreal ratio = widget->devicePixelRatioF();
        // At a fractional ratio a widget may start inside a device pixel; the picture is drawn
        // with the same offset and placed on whole pixels so it is not resampled.
        const QTransform toDevice = p.deviceTransform();
        const QPointF shift(toDevice.dx() - qFloor(toDevice.dx()), toDevice.dy() - qFloor(toDevice.dy()));
        if (m_pixmap.isNull() || m_size != widget->size() || m_pixmap.devicePixelRatio() != ratio ||
            m_shift != shift) {
            m_size = widget->size();
            m_shift = shift;
            m_pixmap = QPixmap(qCeil(m_size.width() * ratio + shift.x()),
                               qCeil(m_size.height() * ratio + shift.y()));
            m_pixmap.setDevicePixelRatio(ratio);
            m_pixmap.fill(Qt::transparent);
            QPainter cachePainter(&m_pixmap);
            cachePainter.translate(shift / ratio);
            paint(cachePainter);
        }
        p.drawPixmap(-shift / ratio, m_pixmap);
    }

private:
    QPixmap m_pixmap;
    QSize m_size;
    QPointF m_shift;
};

} // namespace gencfg
