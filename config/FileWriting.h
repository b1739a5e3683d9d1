#pragma once

// What every file the program writes goes through: a name that exists and is
// not a regular file (a folder, a device, a pipe, a socket) is refused, so a
// save never replaces a device node and a log never hangs on a pipe; and a
// write the disk takes only in part is told with the system's own reason.

#include <QByteArray>
#include <QString>

class QFileDevice;

namespace gencfg {

// The refusal naming path, or an empty text when path may be written. A link is
// judged by what it points to; a link to nothing is written as a new file.
QString WriteTargetRefusal(const QString &path);

// Writes all of bytes to a file opened Unbuffered. Returns an empty text, or
// the system's reason when the file took less (a buffered file would only say
// "Unknown error" for a write that went in part).
QString WriteWhole(QFileDevice &file, const QByteArray &bytes);

// Puts bytes under path through a QSaveFile, so the name holds either what it
// held before or all of bytes. Returns the refusal or the system's reason for a
// failure, with refused telling which; an empty text when saved.
QString SaveWhole(const QString &path, const QByteArray &bytes, bool *refused = nullptr);

} // namespace gencfg
