#include "record/RecordingTransport.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <algorithm>

namespace gencfg {

RecordingTransport::RecordingTransport(QObject *parent) : ByteTransport(parent)
{
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &RecordingTransport::play);
}

RecordingTransport::~RecordingTransport() = default;

QString RecordingTransport::open(const QString &path)
{
    close();
    if (const QString failure = m_reader.open(path); !failure.isEmpty())
        return failure;
    m_path = path;
    m_opened = fingerprint();
    m_open = true;
    m_ended = false;
    m_duration = qMax<qint64>(0, RecordingDuration(path));
    readNext();
    anchor(0);
    schedule();
    return {};
}

void RecordingTransport::close()
{
    ++m_course;
    m_timer.stop();
    m_open = false;
    m_hasNext = false;
}

qint64 RecordingTransport::write(const QByteArray &bytes)
{
    Q_UNUSED(bytes);
    return -1;
}

qint64 RecordingTransport::position() const
{
    if (!m_open)
        return 0;
    if (m_ended)
        return m_duration;
    if (m_paused || m_speed <= 0)
        return m_anchorMs;
    const qint64 at = m_anchorMs + qint64(double(m_wall.elapsed()) * m_speed);
    return m_hasNext ? qMin(at, m_next.ms) : at;
}

void RecordingTransport::setSpeed(double factor)
{
    const qint64 at = position();
    m_speed = qMax(0.0, factor);
    anchor(at);
    schedule();
}

void RecordingTransport::pause()
{
    if (m_paused)
        return;
    anchor(position());
    m_paused = true;
    m_timer.stop();
}

void RecordingTransport::resume()
{
    if (!m_paused)
        return;
    m_paused = false;
    anchor(m_anchorMs);
    schedule();
}

void RecordingTransport::seek(qint64 ms)
{
    if (!m_open)
        return;
    ++m_course;
    m_timer.stop();
    ms = qBound<qint64>(0, ms, m_duration);
    // The file is read forward only: going back starts it again.
    if (m_ended || !m_hasNext || ms < m_next.ms) {
        // Read again, another file would play under this one's start time and length.
        const QString failure =
            fingerprint() == m_opened ? m_reader.open(m_path) : RecordingChangedText(m_path);
        if (!failure.isEmpty()) {
            m_hasNext = false;
            m_ended = true;
            Q_EMIT failed(failure);
            return;
        }
        m_ended = false;
        readNext();
    }
    while (m_hasNext && m_next.ms < ms)
        readNext();
    if (!m_hasNext && !m_reader.error().isEmpty()) {
        m_ended = true;
        Q_EMIT failed(m_reader.error());
        return;
    }
    anchor(ms);
    schedule();
}

RecordingTransport::Fingerprint RecordingTransport::fingerprint() const
{
    const QFileInfo info(m_path);
    QFile file(m_path);
    Fingerprint print;
    print.size = info.size();
    print.modified = info.lastModified();
    if (file.open(QIODevice::ReadOnly))
        print.header = file.read(512);
    return print;
}

void RecordingTransport::anchor(qint64 ms)
{
    m_anchorMs = ms;
    m_wall.start();
}

bool RecordingTransport::readNext()
{
    m_hasNext = m_reader.next(m_next);
    return m_hasNext;
}

void RecordingTransport::schedule()
{
    if (!m_open || m_paused || m_ended)
        return;
    if (!m_hasNext || m_speed <= 0) {
        m_timer.start(0);
        return;
    }
    const qint64 wait = qint64(double(m_next.ms - position()) / m_speed);
    m_timer.start(int(std::clamp<qint64>(wait, 0, 24 * 3600 * 1000)));
}

void RecordingTransport::play()
{
    if (!m_open || m_paused || m_ended)
        return;
    const quint64 course = m_course;
    const qint64 now = position();
    int given = 0;
    while (m_hasNext && given < BatchChunks && (m_speed <= 0 || m_next.ms <= now)) {
        const RecordedChunk chunk = std::move(m_next);
        readNext();
        if (m_speed <= 0)
            m_anchorMs = chunk.ms;
        ++given;
        if (chunk.direction == ChunkDirection::Received)
            Q_EMIT bytesArrived(chunk.bytes);
        else
            Q_EMIT requestPlayed(chunk.bytes);
        // A receiver closed, reopened or moved the playback.
        if (course != m_course)
            return;
    }
    if (!m_hasNext) {
        m_ended = true;
        if (!m_reader.error().isEmpty())
            Q_EMIT failed(m_reader.error());
        else
            Q_EMIT finished();
        return;
    }
    schedule();
}

QString RecordingChangedText(const QString &path)
{
    return QCoreApplication::translate(
               "RecordingTransport",
               "Файл %1 изменился во время показа: показ остановлен. Откройте запись снова.")
        .arg(path);
}

qint64 RecordingDuration(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const bool compressed = file.peek(2) == QByteArray("\x1F\x8B");
    if (!compressed && file.size() > 0) {
        const qint64 tail = qMin<qint64>(file.size(), 64 * 1024);
        if (file.seek(file.size() - tail)) {
            QList<QByteArray> lines = file.read(tail).split('\n');
            // The last piece is unfinished (or empty): it does not count.
            lines.removeLast();
            for (auto line = lines.crbegin(); line != lines.crend(); ++line) {
                if (const std::optional<RecordedChunk> chunk = ParseChunkLine(*line))
                    return chunk->ms;
            }
        }
    }
    file.close();
    RecordingReader reader;
    if (!reader.open(path).isEmpty())
        return -1;
    RecordedChunk chunk;
    qint64 last = 0;
    while (reader.next(chunk))
        last = chunk.ms;
    return last;
}

} // namespace gencfg
