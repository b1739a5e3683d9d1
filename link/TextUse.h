#pragma once

// The program's texts are written in Russian. The window shows them through
// Qt's translation system, so an installed translator puts them in another
// language; files keep the Russian text whatever the window shows.

#include <QCoreApplication>
#include <QString>

namespace gencfg {

enum class TextUse { Shown, Stored };

// A text marked with QT_TRANSLATE_NOOP(context, source), as the window shows it or as a file keeps it.
inline QString TextFor(const char *context, const char *source, TextUse use)
{
    return use == TextUse::Shown ? QCoreApplication::translate(context, source) : QString::fromUtf8(source);
}

} // namespace gencfg
