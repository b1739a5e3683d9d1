#pragma once

// A text file that grows by whole lines, each on disk as soon as it is
// appended: the telemetry recording and the terminal log. A file never ends
// inside a line of ours, so a row written later never joins a broken one.

#include <QByteArray>
#include <QFile>
#include <QString>

namespace gencfg {

class LineAppendFile
{
public:
    // Opens path for appending, creating it; a last line left unfinished by an
    // earlier run is ended first. On failure errorString() says why.
    bool open(const QString &path);
    // Appends one or more lines, each ended by CR LF. A write the disk takes
    // only in part is cut back off, the file is closed and errorString() holds
    // the system's reason.
    bool append(const QByteArray &lines);
    void close();

    bool isOpen() const { return m_file.isOpen(); }
    QString fileName() const { return m_file.fileName(); }
    qint64 size() const { return m_file.size(); }
    QString errorString() const { return m_error; }

private:
    QFile m_file;
    QString m_error;
};

} // namespace gencfg
