#include "cli/DeviceSession.h"

#include "cli/Console.h"

#include <QEventLoop>
#include <QTimer>

namespace gencfg::cli {

DeviceSession::DeviceSession(QObject *parent) : QObject(parent)
{
    connect(&m_link, &DeviceLink::statusFrameReceived, this, &DeviceSession::onStatusFrame);
    connect(&m_link, &DeviceLink::portLost, this, [this] {
        m_portLost = true;
        quit();
    });
}

int DeviceSession::open(const QString &port)
{
    const QString failure = m_link.AfComPort1().open(port);
    return failure.isEmpty() ? Done : Fail(PortUnavailable, failure);
}

void DeviceSession::onStatusFrame(const RxBuffer &rxBytes)
{
    const TelemetryRecord record = DecodeStatusFrame(rxBytes);
    m_statusSeen = true;
    m_variantCode = record.VariantCode;
    Q_EMIT statusReceived(record);
}

bool DeviceSession::waitFor(const std::function<bool()> &done, int ticks)
{
    if (done())
        return true;
    if (!m_link.AfComPort1().isOpen())
        return false;
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    const QMetaObject::Connection frames = connect(this, &DeviceSession::statusReceived, &loop, [&] {
        if (done())
            loop.quit();
    });
    m_quitWait = [&loop] { loop.quit(); };
    deadline.start(ticks * m_link.tickMs());
    loop.exec();
    m_quitWait = nullptr;
    disconnect(frames);
    return done();
}

void DeviceSession::quit()
{
    if (m_quitWait)
        m_quitWait();
}

bool DeviceSession::waitForFirstStatus()
{
    return waitFor([this] { return m_statusSeen; }, DeviceLink::BlockBound);
}

int DeviceSession::noAnswer() const
{
    if (m_portLost)
        PrintErr(QStringLiteral("Порт закрыт: устройство отключено\n"));
    return Fail(NoAnswer, NoAnswerText());
}

} // namespace gencfg::cli
