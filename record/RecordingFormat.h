#pragma once

// The session recording's lines: a header naming the program, port, start time
// and variant, then one line per chunk of bytes with its time and direction.
// docs/recording.md describes the format for whoever reads it without us.

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <optional>

namespace gencfg {

constexpr int RecordingFormatVersion = 1;
// What every recording's first line begins with.
inline constexpr char RecordingMagic[] = "# gencfg-recording ";

struct RecordingHeader
{
    int formatVersion = RecordingFormatVersion;
    QString programVersion;
    QString port;
    QDateTime start; // with its offset from UTC
    QString variant; // "petrol", "diesel", "dry", or empty when unknown
};

// The longest time a line may carry: ten years of milliseconds, so its seconds fit an int anywhere.
constexpr qint64 MaxChunkMs = qint64(10) * 366 * 24 * 3600 * 1000;

enum class ChunkDirection { Received, Sent };

struct RecordedChunk
{
    qint64 ms = 0; // since the start
    ChunkDirection direction = ChunkDirection::Received;
    QByteArray bytes;
};

// A recording's path with ".gcrec" on a new file's name that has no suffix, so the open dialog lists it.
QString RecordingFileName(const QString &path);

// The header line, ended by a line feed.
QByteArray FormatRecordingHeader(const RecordingHeader &header);
// A header line without its line end; nothing when it is no header of ours.
// A newer format version is returned as read, for the caller to refuse.
std::optional<RecordingHeader> ParseRecordingHeader(const QByteArray &line);

// One chunk's line, ended by a line feed: "1234 < 0241...".
QByteArray FormatChunkLine(qint64 ms, ChunkDirection direction, const QByteArray &bytes);
// A chunk line without its line end (a carriage return is allowed); nothing when malformed or
// when its time passes MaxChunkMs.
std::optional<RecordedChunk> ParseChunkLine(const QByteArray &line);

} // namespace gencfg
