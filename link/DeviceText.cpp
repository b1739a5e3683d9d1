#include "link/DeviceText.h"

#include <QTextCodec>

#include <algorithm>

namespace gencfg {

namespace {

constexpr char16_t ValueEnd = u';';

} // namespace

QTextCodec *DeviceTextCodec()
{
    static QTextCodec *const codec = QTextCodec::codecForName("Windows-1251");
    return codec;
}

int CharacterCount(const QString &text)
{
    return int(text.toUcs4().size());
}

bool HoldsValueEnd(const QString &text)
{
    return text.contains(QChar(ValueEnd));
}

QString TextFromDevice(const QByteArray &bytes)
{
    QString text = DeviceTextCodec()->toUnicode(bytes);
    if (const qsizetype end = text.indexOf(QChar(ValueEnd)); end >= 0)
        text.truncate(end);
    return text;
}

QString FirstUnstorableCharacter(const QString &text)
{
    // Windows-1251 codes the characters below 0x80 as ASCII does and every other one
    // at 0x80 or above, so a stored text holds exactly the code points below DeviceTextEnd.
    for (const char32_t c : text.toUcs4()) {
        if (c >= DeviceTextEnd || c == ValueEnd)
            return QString::fromUcs4(&c, 1);
    }
    return {};
}

QString PrintableText(const QString &text)
{
    const auto unsafe = [](QChar c) {
        const QChar::Category category = c.category();
        return category == QChar::Other_Control || category == QChar::Other_Format;
    };
    if (std::none_of(text.cbegin(), text.cend(), unsafe))
        return text;
    QString shown;
    shown.reserve(text.size() + 8);
    for (const QChar c : text) {
        if (!unsafe(c)) {
            shown.append(c);
            continue;
        }
        const bool oneByte = c.unicode() <= 0xFF;
        shown += (oneByte ? QStringLiteral("\\x") : QStringLiteral("\\u")) +
                 QString::number(c.unicode(), 16).toUpper().rightJustified(oneByte ? 2 : 4, QLatin1Char('0'));
    }
    return shown;
}

} // namespace gencfg
