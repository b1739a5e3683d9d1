#include "app/TerminalLine.h"
#include "link/DeviceText.h"

#include <QDateTime>
#include <QLocale>
#include <QTextCodec>

namespace gencfg {

namespace {

// The first character of a format that is neither a field letter, a blank
// nor inside a quoted literal; empty when there is none.
QString firstSeparator(const QString &format)
{
    bool quoted = false;
    for (const QChar c : format) {
        if (c == QLatin1Char('\'')) {
            quoted = !quoted;
            continue;
        }
        if (!quoted && !c.isLetter() && !c.isSpace())
            return QString(c);
    }
    return {};
}

QString twoDigits(int value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

} // namespace

StampSeparators LocaleStampSeparators(const QLocale &locale)
{
    StampSeparators separators;
    const QString date = firstSeparator(locale.dateFormat(QLocale::ShortFormat));
    if (!date.isEmpty())
        separators.date = date;
    const QString time = firstSeparator(locale.timeFormat(QLocale::ShortFormat));
    if (!time.isEmpty())
        separators.time = time;
    return separators;
}

QString TerminalTimeStamp(const QDateTime &when, const StampSeparators &separators)
{
    const QDate date = when.date();
    const QTime time = when.time();
    return twoDigits(date.day()) + separators.date + twoDigits(date.month()) + QLatin1Char(' ') +
           twoDigits(time.hour()) + separators.time + twoDigits(time.minute()) + separators.time +
           twoDigits(time.second()) + separators.time +
           QStringLiteral("%1").arg(time.msec(), 3, 10, QLatin1Char('0'));
}

QByteArray TerminalLine(qint64 number, const QString &stamp, const QByteArray &lineText)
{
    QByteArray line = QByteArray::number(number);
    line += ' ';
    line += DeviceTextCodec()->fromUnicode(stamp);
    line += ' ';
    line += lineText;
    return line;
}

QString TerminalDisplayText(const QByteArray &text)
{
    QByteArray shown;
    shown.reserve(text.size() + 8);
    for (const char c : text) {
        const auto b = quint8(c);
        if (c == '\r')
            continue;
        // Caret notation, as terminals show control characters: 0x10 is "^P", 0x7F "^?".
        if (b < 0x20 || b == 0x7F)
            shown.append('^').append(char(b ^ 0x40));
        else
            shown.append(c);
    }
    return DeviceTextCodec()->toUnicode(shown);
}

} // namespace gencfg
