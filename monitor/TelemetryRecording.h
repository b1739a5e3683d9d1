#pragma once

// The telemetry recorded to a CSV file as it comes, a line a status frame,
// each flushed as it is written: a crash or a pulled plug loses nothing
// already recorded, and a full disk leaves only whole rows.

#include "monitor/LineAppendFile.h"
#include "monitor/TelemetryLog.h"

#include <QObject>

namespace gencfg {

class TelemetryRecording : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // Returns the failure text, or an empty one. A new or empty file gets the
    // header first; a name that is not a regular file is refused.
    QString start(const QString &path);
    void stop();
    bool isRecording() const { return m_file.isOpen(); }

public Q_SLOTS:
    // Adds the sample's line while recording; a failure ends the recording.
    void append(const TelemetrySample &sample);

Q_SIGNALS:
    // The recording ended: by stop(), with no failure, or by the failure told.
    void stopped(const QString &failure);

private:
    QString writeLine(const QString &line);

    LineAppendFile m_file;
};

} // namespace gencfg
