#pragma once

// Session recordings made up for the tests: whole files as text, and gzip
// compression of them, with the chunks they hold.

#include "record/RecordingFormat.h"

#include <QByteArray>
#include <QList>

#include <zlib.h>

namespace gencfg::test {

inline RecordingHeader testRecordingHeader()
{
    RecordingHeader header;
    header.programVersion = QStringLiteral("2.0.0");
    header.port = QStringLiteral("/dev/ttyUSB0");
    header.start = QDateTime::fromString(QStringLiteral("2026-12-07T14:05:09.123+03:00"), Qt::ISODateWithMs);
    header.variant = QStringLiteral("diesel");
    return header;
}

// count chunks: mostly received, every fifth one sent, 100 ms apart.
inline QList<RecordedChunk> testChunks(int count)
{
    QList<RecordedChunk> chunks;
    for (int i = 0; i < count; ++i) {
        RecordedChunk chunk;
        chunk.ms = 100 * i;
        chunk.direction = i % 5 == 4 ? ChunkDirection::Sent : ChunkDirection::Received;
        for (int k = 0; k <= i % 7; ++k)
            chunk.bytes += char((i * 37 + k * 11) & 0xFF);
        chunks << chunk;
    }
    return chunks;
}

inline QByteArray recordingText(const QList<RecordedChunk> &chunks,
                                const RecordingHeader &header = testRecordingHeader())
{
    QByteArray text = FormatRecordingHeader(header);
    for (const RecordedChunk &chunk : chunks)
        text += FormatChunkLine(chunk.ms, chunk.direction, chunk.bytes);
    return text;
}

inline QByteArray gzipped(const QByteArray &data)
{
    z_stream stream{};
    deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY);
    QByteArray out(int(deflateBound(&stream, uLong(data.size()))) + 64, '\0');
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.constData()));
    stream.avail_in = uInt(data.size());
    stream.next_out = reinterpret_cast<Bytef *>(out.data());
    stream.avail_out = uInt(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(int(stream.total_out));
    deflateEnd(&stream);
    return out;
}

} // namespace gencfg::test

namespace gencfg {

inline bool operator==(const RecordedChunk &a, const RecordedChunk &b)
{
    return a.ms == b.ms && a.direction == b.direction && a.bytes == b.bytes;
}

} // namespace gencfg
