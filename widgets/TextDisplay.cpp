#include "widgets/TextDisplay.h"

namespace gencfg {

TextDisplay::TextDisplay(QWidget *parent) : LcdPanel(parent)
{
    setAccessibleName(tr("Текстовый индикатор"));
    refresh();
}

void TextDisplay::setText(const QString &text)
{
    if (text == m_text)
        return;
    m_text = text;
    refresh();
    Q_EMIT textChanged(m_text);
}

} // namespace gencfg
