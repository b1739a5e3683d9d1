#pragma once

// The one check every file the program writes goes through first: a name that
// exists and is not a regular file (a folder, a device, a pipe, a socket) is
// refused, so a save never replaces a device node and a log never hangs on a pipe.

#include <QString>

namespace gencfg {

// The refusal naming path, or an empty text when path may be written. A link is
// judged by what it points to; a link to nothing is written as a new file.
QString WriteTargetRefusal(const QString &path);

} // namespace gencfg
