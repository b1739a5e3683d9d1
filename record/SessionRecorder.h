#pragma once

// Records a link's session: every byte received with its arrival time and every
// request sent with its time, from start() to stop(). Lines gather in memory
// and go to the file at least every FlushMs, so a pulled plug or a crash keeps
// all but the last moments. A failing disk ends the recording, never the link.

#include "record/RecordingFormat.h"

#include <QElapsedTimer>
#include <QFile>
#include <QObject>
#include <QPointer>
#include <QTimer>

namespace gencfg {

class DeviceLink;

class SessionRecorder : public QObject
{
    Q_OBJECT
public:
    static constexpr int FlushMs = 500;
    // Lines held beyond this go to the file at once.
    static constexpr int MaxHeld = 64 * 1024;

    explicit SessionRecorder(QObject *parent = nullptr);
    ~SessionRecorder() override;

    // Takes the link's bytes while recording; nullptr lets go of it.
    void setLink(DeviceLink *link);

    // Creates path (replacing a file there) and writes the header with the
    // start time filled in. Returns the failure text, or an empty one; a name
    // that is not a regular file is refused.
    QString start(const QString &path, const RecordingHeader &header);
    // Writes what is held and closes the file.
    void stop();
    bool isRecording() const { return m_file.isOpen(); }
    QString fileName() const { return m_file.fileName(); }
    const RecordingHeader &header() const { return m_header; }
    // Bytes put in the file so far, the held lines not counted.
    qint64 bytesWritten() const { return m_written; }

public Q_SLOTS:
    void takeReceived(const QByteArray &bytes);
    void takeSent(const QByteArray &bytes);

Q_SIGNALS:
    // The recording ended: by stop(), with no failure, or by the failure told.
    void stopped(const QString &failure);

private:
    void take(ChunkDirection direction, const QByteArray &bytes);
    bool flush();

    QPointer<DeviceLink> m_link;
    QFile m_file;
    RecordingHeader m_header;
    QElapsedTimer m_clock;
    QByteArray m_held;
    QTimer m_flushTimer;
    qint64 m_written = 0;
    QString m_failure;
};

} // namespace gencfg
