#pragma once

// Parameter files: the 256 configuration bytes as decimal text, 16 values of
// four characters per line, every line ending in CR LF.

#include "config/ConfigImage.h"

#include <QByteArray>
#include <QString>
#include <QVector>

namespace gencfg {

// A program-written file has 1056 bytes; anything far larger is not a parameter file.
constexpr qint64 MaxParamFileSize = 1024 * 1024;

struct ParamFileValues
{
    bool ok = false;
    QVector<quint8> values; // for addresses 0, 1, ...; at most 256
    QString error;          // names the file and, for a bad value, its line and text
};

QByteArray FormatParamFile(const ConfigImageBytes &image);

// Values are separated by spaces, tabs, CRs and LFs. Reading ends after 256 values.
// Every value read must be a decimal integer 0..255 (a leading '+' is allowed),
// else the whole content is refused and no values are returned; so is a
// content without any value, one with another control byte before the end of
// reading, and a UTF-16 text.
ParamFileValues ParseParamFile(const QByteArray &content, const QString &fileName);

// Refuses directories, other non-regular files, unreadable files and files over
// MaxParamFileSize, then parses.
ParamFileValues ReadParamFile(const QString &path);

// Bytes the values do not reach keep their contents.
void ApplyParamValues(const QVector<quint8> &values, ConfigImageBytes &image);

// The chosen name with suffix appended unless it already ends so (in any case).
QString SaveFileName(const QString &chosen, const QString &suffix = QStringLiteral(".txt"));

// Replaces the file only once it has been written completely, and never a name
// that is not a regular file; returns the error or an empty text.
QString WriteParamFile(const QString &path, const ConfigImageBytes &image);

} // namespace gencfg
