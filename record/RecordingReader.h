#pragma once

// Reads a session recording chunk by chunk, plain or gzip-compressed (told by
// its first bytes, not its name), holding only a block of it at a time: a
// day's recording of hundreds of megabytes reads in flat memory. A file cut
// anywhere reads up to its last whole line; a malformed line before that is an
// error naming the file and the line.

#include "record/RecordingFormat.h"

#include <QIODevice>
#include <QString>
#include <memory>

namespace gencfg {

class RecordingReader
{
public:
    // A line longer than this is no line of ours (a read of the port is far shorter).
    static constexpr int MaxLineLength = 1 << 20;

    RecordingReader();
    ~RecordingReader();
    RecordingReader(const RecordingReader &) = delete;
    RecordingReader &operator=(const RecordingReader &) = delete;

    // Opens path and reads its header. Returns the failure text, or an empty one.
    // Folders, devices, pipes and UTF-16 text are refused.
    QString open(const QString &path);
    // The same over a device opened for reading; name is what errors call it.
    QString open(std::unique_ptr<QIODevice> device, const QString &name);

    const RecordingHeader &header() const { return m_header; }

    // The next chunk, in the file's order. False at the end or on a failure;
    // error() tells which.
    bool next(RecordedChunk &chunk);
    QString error() const { return m_error; }
    // The line number of the last line read.
    int lineNumber() const { return m_line; }
    // The file ended inside a line, which was left out.
    bool endedInsideLine() const { return m_endedInsideLine; }

private:
    bool fill();
    bool inflateMore();
    bool fail(const QString &text);
    // The file could not be read further, for the reason given.
    bool failRead(const QString &reason);
    QByteArray takeLine(bool *got);

    std::unique_ptr<QIODevice> m_device;
    QString m_name;
    RecordingHeader m_header;
    QByteArray m_text; // decoded text not yet taken, from m_pos on
    int m_pos = 0;
    int m_line = 0;
    qint64 m_lastMs = 0;
    QString m_error;
    // Damage found after whole lines, reported once they have been taken.
    QString m_failureAtEnd;
    qint64 m_lastAllowedMs = MaxChunkMs;
    bool m_endedInsideLine = false;
    bool m_atEnd = false;

    struct Inflater;
    std::unique_ptr<Inflater> m_inflater;
};

} // namespace gencfg
