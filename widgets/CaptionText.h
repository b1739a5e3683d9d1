#pragma once

// Stored captions break their lines with "\n\r" (line feed, then carriage return);
// on screen that is one line break, and a carriage return would show as a box.

#include <QString>

namespace gencfg {

// The text to paint for a stored caption: "\n\r" and "\r\n" become "\n", any other "\r" is dropped.
inline QString displayCaption(const QString &stored)
{
    QString text = stored;
    text.replace(QLatin1String("\n\r"), QLatin1String("\n"));
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.remove(QLatin1Char('\r'));
    return text;
}

// The same caption as one line, for assistive technology that reads it aloud.
inline QString spokenCaption(const QString &stored)
{
    return displayCaption(stored).replace(QLatin1Char('\n'), QLatin1Char(' '));
}

} // namespace gencfg
