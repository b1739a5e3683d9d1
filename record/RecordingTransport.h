#pragma once

// A recording played back as a port: the received bytes arrive at their
// recorded times, scaled by the speed, so a link decodes them as it decodes a
// live controller. Nothing can be sent: write() refuses, as a closed port does.

#include "link/ByteTransport.h"
#include "record/RecordingReader.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QTimer>

namespace gencfg {

class RecordingTransport : public ByteTransport
{
    Q_OBJECT
public:
    // As fast as possible: chunks given per turn of the event loop, which stays free between turns.
    static constexpr int BatchChunks = 256;

    explicit RecordingTransport(QObject *parent = nullptr);
    ~RecordingTransport() override;

    // Opens the recording at path and plays it from its start at the current
    // speed (paused if paused). Returns the failure text, or an empty one.
    QString open(const QString &path) override;
    void close() override;
    bool isOpen() const override { return m_open; }
    // The recording's path.
    QString portName() const override { return m_path; }
    // Refused: a recording cannot answer.
    qint64 write(const QByteArray &bytes) override;

    const RecordingHeader &header() const { return m_reader.header(); }
    // The time of the recording's last chunk, in ms.
    qint64 duration() const { return m_duration; }
    // Where playback is, in ms of the recording.
    qint64 position() const;
    bool atEnd() const { return m_open && m_ended; }

    // A factor of the recorded pace; 0 plays as fast as possible.
    void setSpeed(double factor);
    double speed() const { return m_speed; }
    void pause();
    void resume();
    bool isPaused() const { return m_paused; }
    // Goes on from ms, without giving the bytes before it. Going back reads
    // the file again from its start.
    void seek(qint64 ms);

Q_SIGNALS:
    // A request the recorded session sent, reached in playback.
    void requestPlayed(const QByteArray &bytes);
    // Playback reached the recording's end.
    void finished();
    // A malformed line, or the file replaced while it played: playback stops there.
    void failed(const QString &text);

private:
    void play();
    void schedule();
    bool readNext();
    void anchor(qint64 ms);
    // What tells the file played from one put in its place: its size, modification time and header.
    struct Fingerprint
    {
        qint64 size = -1;
        QDateTime modified;
        QByteArray header;
        bool operator==(const Fingerprint &other) const
        {
            return size == other.size && modified == other.modified && header == other.header;
        }
    };
    Fingerprint fingerprint() const;

    RecordingReader m_reader;
    QString m_path;
    Fingerprint m_opened;
    bool m_open = false;
    bool m_paused = false;
    bool m_ended = false;
    double m_speed = 1.0;
    qint64 m_duration = 0;
    // Playback's clock: at m_anchorMs when m_wall started.
    qint64 m_anchorMs = 0;
    QElapsedTimer m_wall;
    bool m_hasNext = false;
    RecordedChunk m_next;
    QTimer m_timer;
    // Counts opens, closes and seeks, so a play turn sees that a receiver changed its course.
    quint64 m_course = 0;
};

// Why playback stopped when the file at path was replaced or changed under it.
QString RecordingChangedText(const QString &path);

// The time of the last chunk of the recording at path: read from its tail when
// it is plain text, else by reading it through. -1 when it cannot be read.
qint64 RecordingDuration(const QString &path);

} // namespace gencfg
