#include "widgets/RectLed.h"

#include "widgets/FitText.h"

#include <QEvent>
#include <QFontInfo>
#include <QLinearGradient>
#include <QPainter>

namespace gencfg {

namespace {

// Dark ink on a bright lamp, light ink on a dark one.
QColor inkOn(const QColor &fill)
{
    return fill.lightnessF() > 0.45 ? QColor(0x10, 0x14, 0x10) : QColor(0xd8, 0xdc, 0xd8);
}

} // namespace

RectLed::RectLed(QWidget *parent) : RectLed(QString(), parent)
{}

RectLed::RectLed(const QString &caption, QWidget *parent) : Led(caption, parent)
{}

QSize RectLed::sizeHint() const
{
    const QFontMetrics fm(font());
    const QRect text = fm.boundingRect(QRect(), Qt::AlignCenter, shownCaption());
    return {qMax(60, text.width() + 16), qMax(fm.height(), text.height()) + 8};
}

QSize RectLed::minimumSizeHint() const
{
    return {20, QFontMetrics(font()).height() / 2 + 4};
}

void RectLed::setInactiveColor(const QColor &color)
{
    if (color == m_inactiveColor)
        return;
    m_inactiveColor = color;
    if (!isActive())
        update();
    Q_EMIT inactiveColorChanged(m_inactiveColor);
}

void RectLed::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange) {
        for (Lamp &lamp : m_lamps)
            lamp.picture.clear();
    }
    Led::changeEvent(event);
}

void RectLed::paintEvent(QPaintEvent *)
{
    if (width() < 2 || height() < 2)
        return;
    const bool lit = isActive();
    Lamp &lamp = m_lamps[lit];
    const QColor fill = lit ? activeColor() : m_inactiveColor;
    if (lamp.caption != caption() || lamp.fill != fill) {
        lamp.caption = caption();
        lamp.fill = fill;
        lamp.picture.clear();
    }
    QPainter p(this);
    lamp.picture.draw(p, this, [&](QPainter &lampPainter) { paintLamp(lampPainter, lit, fill); });
}

void RectLed::paintLamp(QPainter &p, bool lit, const QColor &fill) const
{
    p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);

    const QRectF lamp = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const qreal corner = qMin<qreal>(3, qMin(width(), height()) / 5.0);
    QLinearGradient glass(0, 0, 0, height());
    glass.setColorAt(0, fill.lighter(lit ? 140 : 115));
    glass.setColorAt(0.5, fill);
    glass.setColorAt(1, fill.darker(lit ? 115 : 125));
    p.setPen(QPen(fill.darker(220), 1.0));
    p.setBrush(glass);
    p.drawRoundedRect(lamp, corner, corner);

    const QString text = shownCaption();
    const QRectF box = QRectF(rect()).adjusted(3, 1, -3, -1);
    if (text.isEmpty() || box.width() < 2 || box.height() < 2)
        return;
    const int flags = Qt::AlignCenter;
    p.setFont(fittedFont(font(), text, box.size(), flags, QFontInfo(font()).pixelSize(), 5));
    p.setPen(inkOn(fill));
    p.drawText(box, flags, text);
}

} // namespace gencfg
