#pragma once

#include "link/FrameCodec.h"

#include <QByteArray>
#include <QMetaType>
#include <chrono>

namespace gencfg {

// Microseconds on the steady clock (CLOCK_MONOTONIC on Linux), comparable
// across every object of one process.
inline qint64 MonotonicMicroseconds()
{
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

// One frame as it crossed the line, in either direction.
struct FrameLogEntry
{
    qint64 startUs = 0; // its first byte on the line
    qint64 endUs = 0;   // its last byte on the line
    QByteArray text;    // start byte through end byte, exactly as carried
    QByteArray bytes;   // the decoded frame; empty when the text is not a valid frame
    bool valid = false; // well formed and its checksum matches
};

// The entry for text that took the line from startUs to endUs, decoded when it is a valid frame.
inline FrameLogEntry LoggedFrame(const QByteArray &text, qint64 startUs, qint64 endUs)
{
    const std::optional<QByteArray> frame = ParseValidFrame(text);
    return {startUs, endUs, text, frame.value_or(QByteArray()), frame.has_value()};
}

} // namespace gencfg

Q_DECLARE_METATYPE(gencfg::FrameLogEntry)
