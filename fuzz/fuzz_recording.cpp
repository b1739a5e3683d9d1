// The session-recording reader over arbitrary content, plain or gzip: it
// refuses the file or gives chunks in time order, stopping at an error or the
// cut, and the chunks it gives are written and read back unchanged.

#include "record/RecordingReader.h"

#include <QBuffer>

#include <cstdint>
#include <cstdlib>
#include <memory>

namespace {

QList<gencfg::RecordedChunk> ReadAll(const QByteArray &content, QString *openFailure, QString *error,
                                     gencfg::RecordingHeader *header)
{
    auto buffer = std::make_unique<QBuffer>();
    buffer->setData(content);
    buffer->open(QIODevice::ReadOnly);
    gencfg::RecordingReader reader;
    *openFailure = reader.open(std::move(buffer), QStringLiteral("fuzz.rec"));
    QList<gencfg::RecordedChunk> chunks;
    if (!openFailure->isEmpty())
        return chunks;
    *header = reader.header();
    gencfg::RecordedChunk chunk;
    while (reader.next(chunk))
        chunks << chunk;
    *error = reader.error();
    return chunks;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray content(reinterpret_cast<const char *>(data), int(size));
    QString failure;
    QString error;
    gencfg::RecordingHeader header;
    const QList<gencfg::RecordedChunk> chunks = ReadAll(content, &failure, &error, &header);
    if (!failure.isEmpty()) {
        if (!chunks.isEmpty())
            std::abort();
        return 0;
    }
    QByteArray again = gencfg::FormatRecordingHeader(header);
    qint64 last = 0;
    for (const gencfg::RecordedChunk &chunk : chunks) {
        if (chunk.ms < last || chunk.bytes.isEmpty())
            std::abort();
        last = chunk.ms;
        again += gencfg::FormatChunkLine(chunk.ms, chunk.direction, chunk.bytes);
    }
    QString againFailure;
    QString againError;
    gencfg::RecordingHeader againHeader;
    const QList<gencfg::RecordedChunk> reread = ReadAll(again, &againFailure, &againError, &againHeader);
    if (!againFailure.isEmpty() || !againError.isEmpty() || reread.size() != chunks.size())
        std::abort();
    if (againHeader.port != header.port || againHeader.variant != header.variant ||
        againHeader.programVersion != header.programVersion || againHeader.start != header.start)
        std::abort();
    for (int i = 0; i < chunks.size(); ++i) {
        if (reread.at(i).ms != chunks.at(i).ms || reread.at(i).direction != chunks.at(i).direction ||
            reread.at(i).bytes != chunks.at(i).bytes)
            std::abort();
    }
    return 0;
}
