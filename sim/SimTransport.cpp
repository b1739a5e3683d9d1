#include "sim/SimTransport.h"

#include "link/FrameCodec.h"
#include "sim/FrameLog.h"

namespace gencfg {

SimTransport::SimTransport(quint8 variantCode, quint32 seed, QObject *parent)
    : ByteTransport(parent), m_model(variantCode, seed)
{
    m_statusTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_statusTimer, &QTimer::timeout, this, &SimTransport::onStatusTimer);
}

SimTransport::~SimTransport() = default;

QString SimTransport::open(const QString &name)
{
    close();
    m_name = name;
    m_open = true;
    m_cutter.clear();
    setPeriodMs(m_periodMs);
    return {};
}

void SimTransport::close()
{
    m_open = false;
    m_name.clear();
    m_statusTimer.stop();
}

void SimTransport::setPeriodMs(int ms)
{
    m_periodMs = qMax(0, ms);
    m_statusTimer.stop();
    if (m_open && m_periodMs > 0)
        m_statusTimer.start(m_periodMs);
}

qint64 SimTransport::write(const QByteArray &bytes)
{
    if (!m_open || m_writeFails)
        return -1;
    const qint64 now = MonotonicMicroseconds();
    const QByteArray arriving = m_writeFilter ? m_writeFilter(bytes) : bytes;
    for (const RequestCutter::Frame &frame : m_cutter.feed(arriving, now)) {
        const QByteArray reply = m_model.receiveFrameText(frame.text, frame.startUs, frame.endUs);
        Q_EMIT frameReceived(m_model.receivedLog().constLast());
        if (reply.isEmpty())
            continue;
        // The controller answers after the request has left, as on a real line.
        const int delay = m_replyDelayMs + m_model.replyDelayMs(m_model.receivedLog().constLast().bytes);
        QTimer::singleShot(delay, this, [this, text = FrameBytesToText(reply)] { deliver(text); });
    }
    return bytes.size();
}

void SimTransport::sendStatusFrame()
{
    if (!m_model.isSilent())
        deliver(FrameBytesToText(m_model.statusFrameBytes()));
}

void SimTransport::deliver(const QByteArray &text)
{
    if (!m_open)
        return;
    const qint64 now = MonotonicMicroseconds();
    const FrameLogEntry entry = LoggedFrame(text, now, now);
    m_model.logSentFrame(entry);
    Q_EMIT frameSent(entry);
    Q_EMIT bytesArrived(text);
}

void SimTransport::onStatusTimer()
{
    m_model.advance(m_periodMs);
    sendStatusFrame();
}

void SimTransport::vanish()
{
    if (!m_open)
        return;
    const QString name = m_name;
    close();
    Q_EMIT lost(name);
}

} // namespace gencfg
