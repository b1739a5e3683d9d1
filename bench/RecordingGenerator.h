#pragma once

// A long session recording made up without waiting for it: the simulated
// diesel controller's status frames every period, each arriving in two reads
// as a serial port delivers them, written in the recording format. For
// benchmarks that replay a day's recording.

#include "link/FrameCodec.h"
#include "record/RecordingFormat.h"
#include "sim/ControllerModel.h"

#include <QFile>
#include <QString>

namespace gencfg::bench {

// Writes hours of status frames at periodMs to path; returns the bytes written, or -1.
inline qint64 WriteGeneratedRecording(const QString &path, double hours, int periodMs = 100)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return -1;
    RecordingHeader header;
    header.programVersion = QStringLiteral(GENCFG_VERSION);
    header.port = QStringLiteral("/dev/ttyUSB0");
    header.start = QDateTime::currentDateTime();
    header.variant = QStringLiteral("diesel");
    QByteArray text = FormatRecordingHeader(header);
    ControllerModel model(201, 1);
    const qint64 frames = qint64(hours * 3600 * 1000 / periodMs);
    for (qint64 i = 0; i < frames; ++i) {
        model.advance(periodMs);
        const QByteArray frame = FrameBytesToText(model.statusFrameBytes());
        const qint64 ms = i * periodMs;
        text += FormatChunkLine(ms, ChunkDirection::Received, frame.left(32));
        text += FormatChunkLine(ms + 30, ChunkDirection::Received, frame.mid(32));
        if (text.size() > (1 << 20)) {
            if (file.write(text) != text.size())
                return -1;
            text.clear();
        }
    }
    if (file.write(text) != text.size() || !file.flush())
        return -1;
    return file.size();
}

} // namespace gencfg::bench
