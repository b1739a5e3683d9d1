#include "widgets/LcdPanel.h"

#include "widgets/CaptionText.h"
#include "widgets/FitText.h"
#include "widgets/InstrumentAccessibility.h"

#include <QLinearGradient>
#include <QPainter>

namespace gencfg {

namespace {

const QColor Digits(0xb4, 0xf5, 0xa8);
const QColor ErrorInk(255, 0, 0);

} // namespace

LcdPanel::LcdPanel(QWidget *parent) : QWidget(parent)
{
    installInstrumentAccessibility();
}

QString LcdPanel::shownText() const
{
    return m_errorActive ? m_errorText : valueText();
}

QSize LcdPanel::sizeHint() const
{
    // Room for the longest readings ("12345ч 59м", "-113дБм") whatever is shown now.
    const QFontMetrics fm(font());
    return {qMax(80, fm.horizontalAdvance(QStringLiteral("00000ч 00м")) + 16), fm.height() + 12};
}

QSize LcdPanel::minimumSizeHint() const
{
    return {30, QFontMetrics(font()).height() + 4};
}

void LcdPanel::refresh()
{
    const QString shown = shownText();
    if (shown == m_shown && m_errorActive == m_shownAsError)
        return;
    if (m_errorActive != m_shownAsError)
        m_glass.clear();
    m_shown = shown;
    m_shownAsError = m_errorActive;
    const QString spoken = spokenCaption(shown);
    if (accessibleDescription() != spoken)
        setAccessibleDescription(spoken);
    update();
}

void LcdPanel::setErrorActive(bool active)
{
    change(m_errorActive, active, &LcdPanel::errorActiveChanged);
}

void LcdPanel::setErrorText(const QString &text)
{
    change(m_errorText, text, &LcdPanel::errorTextChanged);
}

void LcdPanel::paintEvent(QPaintEvent *)
{
    if (width() < 2 || height() < 2)
        return;
    QPainter p(this);
    m_glass.draw(p, this, [this](QPainter &glassPainter) {
        glassPainter.setRenderHint(QPainter::Antialiasing);
        const QRectF frame = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
        const qreal corner = qMin<qreal>(4, qMin(width(), height()) / 5.0);
        if (m_errorActive) {
            glassPainter.setBrush(Qt::black);
        } else {
            QLinearGradient glass(0, 0, 0, height());
            glass.setColorAt(0, QColor(0x24, 0x30, 0x34));
            glass.setColorAt(1, QColor(0x0c, 0x12, 0x14));
            glassPainter.setBrush(glass);
        }
        glassPainter.setPen(QPen(QColor(0x50, 0x56, 0x5c), 1.0));
        glassPainter.drawRoundedRect(frame, corner, corner);
    });

    const QString text = displayCaption(m_shown);
    const QRectF box = QRectF(rect()).adjusted(4, 2, -4, -2);
    if (box.width() < 2 || box.height() < 2 || text.isEmpty())
        return;
    p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    QFont base = font();
    base.setBold(true);
    const int flags = Qt::AlignCenter;
    p.setFont(m_fit.get(base, text, box.size(), flags, box.height() * 0.75, 5));
    p.setPen(m_errorActive ? ErrorInk : Digits);
    p.drawText(box, flags, text);
}

} // namespace gencfg
