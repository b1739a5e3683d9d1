#include "widgets/WrapLabel.h"

#include "widgets/CaptionText.h"
#include "widgets/FitText.h"
#include "widgets/InstrumentAccessibility.h"

#include <QEvent>
#include <QFontInfo>
#include <QPainter>

namespace gencfg {

namespace {

constexpr int Flags = Qt::AlignCenter | Qt::TextWordWrap;

} // namespace

WrapLabel::WrapLabel(QWidget *parent) : QWidget(parent)
{
    installInstrumentAccessibility();
    setAccessibleName(tr("Надпись"));
}

QString WrapLabel::shownText() const
{
    return displayCaption(m_caption);
}

QSize WrapLabel::sizeHint() const
{
    return {200, 2 * QFontMetrics(font()).lineSpacing() + 6};
}

QSize WrapLabel::minimumSizeHint() const
{
    return {40, QFontMetrics(font()).height()};
}

void WrapLabel::setCaption(const QString &caption)
{
    if (caption == m_caption)
        return;
    m_caption = caption;
    setAccessibleDescription(spokenCaption(m_caption));
    m_text.clear();
    update();
    Q_EMIT captionChanged(m_caption);
}

void WrapLabel::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange)
        m_text.clear();
    QWidget::changeEvent(event);
}

void WrapLabel::paintEvent(QPaintEvent *)
{
    const QString text = shownText();
    const QRectF box = QRectF(rect()).adjusted(2, 1, -2, -1);
    if (text.isEmpty() || box.width() < 2 || box.height() < 2)
        return;
    // The ink follows the palette's current group (disabled, inactive window), so it is checked each time.
    const QColor ink = palette().color(QPalette::WindowText);
    if (ink != m_textInk) {
        m_textInk = ink;
        m_text.clear();
    }
    QPainter p(this);
    m_text.draw(p, this, [&](QPainter &textPainter) {
        textPainter.setRenderHint(QPainter::TextAntialiasing);
        textPainter.setFont(fittedFont(font(), text, box.size(), Flags, QFontInfo(font()).pixelSize(), 6));
        textPainter.setPen(ink);
        textPainter.drawText(box, Flags, text);
    });
}

} // namespace gencfg
