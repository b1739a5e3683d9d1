#include "widgets/RectLed.h"

#include "widgets/CaptionText.h"
#include "widgets/FitText.h"
#include "widgets/InstrumentAccessibility.h"

#include <QFontInfo>
#include <QLinearGradient>
#include <QPainter>

namespace gencfg {

namespace {

QString stateText(bool active)
{
    return active ? QStringLiteral("вкл.") : QStringLiteral("выкл.");
}

// Dark ink on a bright lamp, light ink on a dark one.
QColor inkOn(const QColor &fill)
{
    return fill.lightnessF() > 0.45 ? QColor(0x10, 0x14, 0x10) : QColor(0xd8, 0xdc, 0xd8);
}

} // namespace

RectLed::RectLed(QWidget *parent) : RectLed(QString(), parent)
{}

RectLed::RectLed(const QString &caption, QWidget *parent) : QWidget(parent), m_caption(caption)
{
    installInstrumentAccessibility();
    setAccessibleName(spokenCaption(m_caption));
    setAccessibleDescription(stateText(m_active));
}

QString RectLed::shownCaption() const
{
    return displayCaption(m_caption);
}

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

void RectLed::setActive(bool active)
{
    if (active == m_active)
        return;
    m_active = active;
    setAccessibleDescription(stateText(m_active));
    update();
    emit activeChanged(m_active);
}

void RectLed::setCaption(const QString &caption)
{
    if (caption == m_caption)
        return;
    m_caption = caption;
    setAccessibleName(spokenCaption(m_caption));
    updateGeometry();
    update();
    emit captionChanged(m_caption);
}

void RectLed::setActiveColor(const QColor &color)
{
    if (color == m_activeColor)
        return;
    m_activeColor = color;
    update();
    emit colorsChanged();
}

void RectLed::setInactiveColor(const QColor &color)
{
    if (color == m_inactiveColor)
        return;
    m_inactiveColor = color;
    update();
    emit colorsChanged();
}

void RectLed::paintEvent(QPaintEvent *)
{
    if (width() < 2 || height() < 2)
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    const QColor fill = m_active ? m_activeColor : m_inactiveColor;
    const QRectF lamp = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const qreal corner = qMin<qreal>(3, qMin(width(), height()) / 5.0);
    QLinearGradient glass(0, 0, 0, height());
    glass.setColorAt(0, fill.lighter(m_active ? 140 : 115));
    glass.setColorAt(0.5, fill);
    glass.setColorAt(1, fill.darker(m_active ? 115 : 125));
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
