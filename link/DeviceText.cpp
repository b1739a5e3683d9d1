#include "link/DeviceText.h"

#include <QTextCodec>

namespace gencfg {

QTextCodec *DeviceTextCodec()
{
    static QTextCodec *const codec = QTextCodec::codecForName("Windows-1251");
    return codec;
}

int CharacterCount(const QString &text)
{
    return int(text.toUcs4().size());
}

QString FirstUnstorableCharacter(const QString &text)
{
    // Windows-1251 codes the characters below 0x80 as ASCII does and every other one
    // at 0x80 or above, so a stored text holds exactly the code points below DeviceTextEnd.
    for (const char32_t c : text.toUcs4()) {
        if (c >= DeviceTextEnd || c == U';')
            return QString::fromUcs4(&c, 1);
    }
    return {};
}

} // namespace gencfg
