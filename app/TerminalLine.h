#pragma once

// The text of one terminal line: number, time stamp, the received bytes; once
// as bytes for the log file and once as one clean line for the screen.

#include <QByteArray>
#include <QString>

class QDateTime;
class QLocale;

namespace gencfg {

struct StampSeparators
{
    QString date = QStringLiteral("/");
    QString time = QStringLiteral(":");
};

// The locale's date and time separators, as its short formats use them.
StampSeparators LocaleStampSeparators(const QLocale &locale);

// "dd/mm hh:nn:ss:zzz" with the given separators in place of "/" and ":".
QString TerminalTimeStamp(const QDateTime &when, const StampSeparators &separators);

// Number, blank, stamp, blank, then the received bytes exactly as they came.
QByteArray TerminalLine(qint64 number, const QString &stamp, const QByteArray &lineText);

// Received or sent bytes as one line of the memo: carriage returns dropped,
// other control bytes in caret notation ("^P" for the start byte), so nothing
// breaks the line.
QString TerminalDisplayText(const QByteArray &text);

} // namespace gencfg
