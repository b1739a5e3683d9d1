#include "widgets/WrapLabel.h"

#include "widgets/CaptionText.h"
#include "widgets/FitText.h"
#include "widgets/InstrumentAccessibility.h"

#include <QFontInfo>
#include <QPainter>

namespace gencfg {

namespace {

constexpr int Flags = Qt::AlignCenter | Qt::TextWordWrap;

} // namespace

WrapLabel::WrapLabel(QWidget *parent) : QWidget(parent)
{
    installInstrumentAccessibility();
    setAccessibleName(QStringLiteral("Надпись"));
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
    update();
    Q_EMIT captionChanged(m_caption);
}

void WrapLabel::paintEvent(QPaintEvent *)
{
    const QString text = shownText();
    const QRectF box = QRectF(rect()).adjusted(2, 1, -2, -1);
    if (text.isEmpty() || box.width() < 2 || box.height() < 2)
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setFont(fittedFont(font(), text, box.size(), Flags, QFontInfo(font()).pixelSize(), 6));
    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(box, Flags, text);
}

} // namespace gencfg
