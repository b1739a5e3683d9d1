#include "record/SessionRecorder.h"

#include "config/FileWriting.h"
#include "link/DeviceLink.h"

#include <QCoreApplication>
#include <QDir>

namespace gencfg {

SessionRecorder::SessionRecorder(QObject *parent) : QObject(parent)
{
    m_flushTimer.setInterval(FlushMs);
    connect(&m_flushTimer, &QTimer::timeout, this, [this] { flush(); });
}

SessionRecorder::~SessionRecorder()
{
    if (isRecording()) {
        flush();
        m_file.close();
    }
}

void SessionRecorder::setLink(DeviceLink *link)
{
    if (m_link)
        disconnect(m_link, nullptr, this, nullptr);
    m_link = link;
    if (!link)
        return;
    connect(link, &DeviceLink::bytesReceived, this, &SessionRecorder::takeReceived);
    connect(link, &DeviceLink::bytesSent, this, &SessionRecorder::takeSent);
}

QString SessionRecorder::start(const QString &path, const RecordingHeader &header)
{
    if (isRecording())
        stop();
    // A device would swallow the recording, a pipe would hang the link's thread.
    if (const QString refusal = WriteTargetRefusal(path); !refusal.isEmpty())
        return refusal;
    m_file.setFileName(path);
    // Unbuffered: a write the disk takes only in part is seen at once and can be taken back.
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        return QCoreApplication::translate("Recording", "Не удалось создать файл записи сеанса %1: %2")
            .arg(QDir::toNativeSeparators(path), m_file.errorString());
    m_header = header;
    m_header.formatVersion = RecordingFormatVersion;
    const QDateTime now = QDateTime::currentDateTime();
    m_header.start = now.toOffsetFromUtc(now.offsetFromUtc());
    m_clock.start();
    m_written = 0;
    m_held = FormatRecordingHeader(m_header);
    if (!flush())
        return QCoreApplication::translate("Recording", "Не удалось создать файл записи сеанса %1: %2")
            .arg(QDir::toNativeSeparators(path), m_failure);
    m_flushTimer.start();
    return {};
}

void SessionRecorder::stop()
{
    if (!isRecording())
        return;
    m_flushTimer.stop();
    if (!flush())
        return;
    m_file.close();
    Q_EMIT stopped(QString());
}

void SessionRecorder::takeReceived(const QByteArray &bytes)
{
    take(ChunkDirection::Received, bytes);
}

void SessionRecorder::takeSent(const QByteArray &bytes)
{
    take(ChunkDirection::Sent, bytes);
}

void SessionRecorder::take(ChunkDirection direction, const QByteArray &bytes)
{
    if (!isRecording() || bytes.isEmpty())
        return;
    m_held += FormatChunkLine(m_clock.elapsed(), direction, bytes);
    if (m_held.size() > MaxHeld)
        flush();
}

bool SessionRecorder::flush()
{
    if (m_held.isEmpty() || !isRecording())
        return isRecording();
    const QString failure = WriteWhole(m_file, m_held);
    m_failure = failure;
    if (failure.isEmpty()) {
        m_written += m_held.size();
        m_held.clear();
        return true;
    }
    // Only whole lines stay, so the file still reads up to its last one.
    m_file.resize(m_written);
    m_file.close();
    m_flushTimer.stop();
    m_held.clear();
    const QString text = QCoreApplication::translate("Recording", "Запись сеанса в файл %1 остановлена: %2")
                             .arg(QDir::toNativeSeparators(m_file.fileName()), failure);
    // The first write is the header: start() tells that failure itself.
    if (m_written > 0)
        Q_EMIT stopped(text);
    return false;
}

} // namespace gencfg
