#include "widgets/SwitchLed.h"

#include "widgets/CaptionText.h"
#include "widgets/InstrumentAccessibility.h"

#include <QAccessible>
#include <QFontInfo>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QRadialGradient>
#include <QStyleOptionButton>

namespace gencfg {

namespace {

// The lamp's diameter and its distance from the left edge, both following the height.
qreal lampDiameter(int height)
{
    return qBound<qreal>(4, height * 0.45, 22);
}

qreal lampInset(int height)
{
    return qMax<qreal>(4, height * 0.25);
}

// A caption too long for one line takes a second one before its font gets smaller.
constexpr int CaptionFlags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap;

} // namespace

SwitchLed::SwitchLed(QWidget *parent) : SwitchLed(QString(), parent)
{}

SwitchLed::SwitchLed(const QString &caption, QWidget *parent) : Led(caption, parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_Hover);
    // Assistive technology sees a check box: tell it when the check changes.
    connect(this, &Led::activeChanged, this, [this] {
        QAccessible::State checkedChange;
        checkedChange.checked = true;
        QAccessibleStateChangeEvent event(this, checkedChange);
        QAccessible::updateAccessibility(&event);
    });
}

QSize SwitchLed::sizeHint() const
{
    const QFontMetrics fm(font());
    const QRect text = fm.boundingRect(QRect(), Qt::AlignLeft | Qt::AlignVCenter, shownCaption());
    const int lamp = fm.height();
    return {qMax(80, lamp + text.width() + 24), qMax(fm.height(), text.height()) + 12};
}

QSize SwitchLed::minimumSizeHint() const
{
    const QFontMetrics fm(font());
    return {fm.height() + 16, fm.height() + 6};
}

QFont SwitchLed::captionFont() const
{
    return m_fit.get(font(), shownCaption(), captionBox().size(), CaptionFlags, QFontInfo(font()).pixelSize(),
                     5);
}

QRectF SwitchLed::captionBox() const
{
    const qreal inset = lampInset(height());
    const qreal left = inset + lampDiameter(height()) + qMax<qreal>(4, inset * 0.6);
    return {left, 2, width() - left - 4, height() - 4.0};
}

void SwitchLed::click()
{
    if (!isEnabled())
        return;
    applyActive(!isActive());
    Q_EMIT clicked();
    Q_EMIT changed(isActive());
}

void SwitchLed::setDown(bool down)
{
    if (down == m_down)
        return;
    m_down = down;
    update();
}

void SwitchLed::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    setDown(true);
    event->accept();
}

void SwitchLed::mouseMoveEvent(QMouseEvent *event)
{
    if (event->buttons() & Qt::LeftButton)
        setDown(rect().contains(event->position().toPoint()));
    event->accept();
}

void SwitchLed::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    const bool inside = m_down && rect().contains(event->position().toPoint());
    setDown(false);
    event->accept();
    if (inside)
        click();
}

void SwitchLed::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat()) {
        setDown(true);
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void SwitchLed::keyReleaseEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat()) {
        const bool wasDown = m_down;
        setDown(false);
        event->accept();
        if (wasDown)
            click();
        return;
    }
    QWidget::keyReleaseEvent(event);
}

void SwitchLed::focusOutEvent(QFocusEvent *event)
{
    setDown(false);
    QWidget::focusOutEvent(event);
}

void SwitchLed::paintEvent(QPaintEvent *)
{
    if (width() < 2 || height() < 2)
        return;
    QPainter p(this);

    QStyleOptionButton option;
    option.initFrom(this);
    option.state |= m_down ? QStyle::State_Sunken : QStyle::State_Raised;
    style()->drawControl(QStyle::CE_PushButtonBevel, &option, &p, this);
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = style()->subElementRect(QStyle::SE_PushButtonFocusRect, &option, this);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &p, this);
    }

    p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    const int shift = m_down ? 1 : 0;
    const qreal diameter = lampDiameter(height());
    const QPointF centre(lampInset(height()) + diameter / 2 + shift, height() / 2.0 + shift);
    const QColor lit = isActive() ? activeColor() : QColor(0x4a, 0x52, 0x4c);
    QRadialGradient lamp(centre - QPointF(diameter / 6, diameter / 6), diameter * 0.7);
    lamp.setColorAt(0, lit.lighter(isActive() ? 160 : 130));
    lamp.setColorAt(1, lit.darker(isActive() ? 120 : 140));
    p.setPen(QPen(QColor(0x20, 0x24, 0x22), 1.0));
    p.setBrush(lamp);
    p.drawEllipse(centre, diameter / 2, diameter / 2);

    const QString text = shownCaption();
    const QRectF box = captionBox().translated(shift, shift);
    if (text.isEmpty() || box.width() < 2 || box.height() < 2)
        return;
    p.setFont(captionFont());
    p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    p.drawText(box, CaptionFlags, text);
}

} // namespace gencfg
