#include "widgets/TextDisplay.h"

namespace gencfg {

TextDisplay::TextDisplay(QWidget *parent) : LcdPanel(parent)
{
    setAccessibleName(tr("Текстовый индикатор"));
    refresh();
}

void TextDisplay::setText(const QString &text)
{
    change(m_text, text, &TextDisplay::textChanged);
}

} // namespace gencfg
