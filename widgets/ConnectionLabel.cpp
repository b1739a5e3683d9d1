#include "widgets/ConnectionLabel.h"

#include "link/ConnectionState.h"

#include <QFontMetrics>

namespace gencfg {

ConnectionLabel::ConnectionLabel(const ConnectionState &state, QWidget *parent) : QLabel(parent)
{
    setObjectName(QStringLiteral("connectionText"));
    setTextFormat(Qt::PlainText);
    setAccessibleName(tr("Подключение"));
    connect(&state, &ConnectionState::changed, this, [this, &state] { showText(state.text()); });
    showText(state.text());
}

void ConnectionLabel::showText(const QString &text)
{
    m_fullText = text;
    setToolTip(text);
    setAccessibleDescription(text);
    // As wide as the text needs, so a short one leaves the room to the transfer text beside it.
    setFixedWidth(qMin(fontMetrics().horizontalAdvance(text) + 2 * margin() + 8, MaxWidth));
    fitText();
}

void ConnectionLabel::resizeEvent(QResizeEvent *event)
{
    QLabel::resizeEvent(event);
    fitText();
}

void ConnectionLabel::fitText()
{
    // The state at the end matters most: a long adapter name gives way in its middle.
    setText(fontMetrics().elidedText(m_fullText, Qt::ElideMiddle, qMax(0, contentsRect().width())));
}

} // namespace gencfg
