#include "link/DeviceLink.h"

#include "link/Commands.h"
#include "link/FrameCodec.h"

#include <QEventLoop>
#include <QTimer>

namespace gencfg {

DeviceLink::DeviceLink(QObject *parent) : QObject(parent)
{
    connect(&m_port, &SerialPort::readyRead, this, [this] { AfComPort1DataRecived(m_port.readAll()); });
    connect(&m_port, &SerialPort::lost, this, &DeviceLink::onPortLost);
}

DeviceLink::~DeviceLink() = default;

void DeviceLink::AfComPort1DataRecived(const QByteArray &s)
{
    if (s.isEmpty())
        return;
    Q_EMIT bytesArrived();
    RxText.append(s);
    LineText.append(s);
    if (LineText.contains(FrameEnd)) {
        const QByteArray line = LineText;
        LineText.clear();
        Q_EMIT terminalStep(line);
    } else if (LineText.size() > MaxPendingText) {
        LineText = LineText.right(MaxPendingText);
    }
    takeFrames();
}

void DeviceLink::takeFrames()
{
    for (;;) {
        const int start = int(RxText.indexOf(FrameStart));
        if (start < 0) {
            if (RxText.size() > MaxPendingText)
                RxText.clear();
            return;
        }
        RxText.remove(0, start);
        const int end = int(RxText.indexOf(FrameEnd));
        if (end < 0) {
            // A start byte whose frame never ended: look for the next start.
            if (RxText.size() > MaxFrameText) {
                const int next = int(RxText.indexOf(FrameStart, 1));
                RxText.remove(0, next < 0 ? RxText.size() : next);
                continue;
            }
            return;
        }
        // A start byte after the first one means the earlier frame lost its end.
        const int from = int(RxText.lastIndexOf(FrameStart, end));
        const QByteArray text = RxText.mid(from, end - from + 1);
        RxText.remove(0, end + 1);
        handleFrameText(text);
    }
}

void DeviceLink::handleFrameText(const QByteArray &text)
{
    const std::optional<QByteArray> frame = ParseValidFrame(text);
    if (!frame) {
        ++m_badFrames;
        Q_EMIT badFrameCountChanged(m_badFrames);
        return;
    }
    const int count = qMin<int>(int(frame->size()), int(RxBytes.size()));
    std::copy(frame->cbegin(), frame->cbegin() + count, RxBytes.begin());
    if (count < int(RxBytes.size()))
        RxBytes[count] = 0;
    if (RxBytes[0] != 1)
        return;

    ++PacketCount;
    Q_EMIT packetCountChanged(PacketCount);
    if (m_awaitingReply && m_reply.isEmpty())
        m_reply = *frame;
    if (RxBytes[1] == CMD_STATUS)
        Q_EMIT statusFrameReceived(RxBytes);
    ReplyFlag = 1;
    if (m_waitLoop)
        m_waitLoop->quit();
}

bool DeviceLink::WaitForDeviceFrame(int bound)
{
    if (ReplyFlag)
        return true;
    // A closed port can bring no frame; failing at once spares the user the wait.
    if (!m_port.isOpen())
        return false;
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    deadline.setTimerType(Qt::PreciseTimer);
    connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    deadline.start(bound * m_tickMs);
    QEventLoop *outer = m_waitLoop;
    m_waitLoop = &loop;
    loop.exec();
    m_waitLoop = outer;
    return ReplyFlag != 0;
}

class DeviceLink::TransactionScope
{
public:
    explicit TransactionScope(DeviceLink &link) : m_link(link)
    {
        m_refused = link.m_inTransaction;
        if (!m_refused)
            link.setInTransaction(true);
    }
    ~TransactionScope()
    {
        if (!m_refused)
            m_link.setInTransaction(false);
    }
    bool refused() const { return m_refused; }

private:
    DeviceLink &m_link;
    bool m_refused = false;
};

void DeviceLink::setInTransaction(bool on)
{
    const bool wasBusy = busy();
    m_inTransaction = on;
    if (busy() != wasBusy)
        Q_EMIT busyChanged(busy());
}

bool DeviceLink::tryBeginOperation()
{
    if (busy())
        return false;
    ++m_operations;
    Q_EMIT busyChanged(true);
    return true;
}

void DeviceLink::endOperation()
{
    if (m_operations == 0)
        return;
    --m_operations;
    if (!busy())
        Q_EMIT busyChanged(false);
}

DeviceLink::SendResult DeviceLink::SendCommand(quint8 command, quint16 address, quint8 n,
                                               const QByteArray &data)
{
    TransactionScope scope(*this);
    if (scope.refused())
        return SendResult::Refused;
    const QByteArray text = BuildCommandFrame(command, address, n, data);
    if (text.isEmpty())
        return SendResult::Refused;
    ReplyFlag = 0;
    if (!WaitForDeviceFrame(CommandBound))
        return SendResult::NotReady;
    Q_EMIT echoLine("<< " + text);
    m_port.write(text);
    return SendResult::Sent;
}

bool DeviceLink::WriteBlock(quint16 address, quint8 n, const QByteArray &data)
{
    TransferOk = 0;
    TransactionScope scope(*this);
    const QByteArray text = BuildWriteFrame(address, n, data);
    if (scope.refused() || text.isEmpty())
        return false;
    ReplyFlag = 0;
    if (!WaitForDeviceFrame(BlockBound))
        return false;
    Q_EMIT echoLine("<< " + text);
    if (m_port.write(text) != text.size())
        return false;
    TransferOk = 1;
    return true;
}

bool DeviceLink::ReadBlock(quint16 address, quint8 n, QByteArray &destination)
{
    return readReply(BuildReadFrame(address, n), CMD_READ_MEMORY, n, destination);
}

bool DeviceLink::ReadJournalRecord(quint8 index, quint8 journal, QByteArray &destination)
{
    QByteArray data;
    data.append(char(journal)).append(char(index));
    const QByteArray request = BuildCommandFrame(CMD_JOURNAL_RECORD, 0, 2, data);
    return readReply(request, CMD_JOURNAL_RECORD, 5, destination);
}

bool DeviceLink::readReply(const QByteArray &request, quint8 command, int bytesWanted,
                           QByteArray &destination)
{
    TransferOk = 0;
    TransactionScope scope(*this);
    if (scope.refused())
        return false;
    ReplyFlag = 0;
    if (!WaitForDeviceFrame(BlockBound))
        return false;
    Q_EMIT echoLine("<<" + request);
    m_reply.clear();
    m_awaitingReply = true;
    m_port.write(request);
    ReplyFlag = 0;
    const bool answered = WaitForDeviceFrame(ReplyBound);
    m_awaitingReply = false;
    const QByteArray reply = m_reply;
    m_reply.clear();
    // The reply must be the command asked for and carry every byte asked for.
    if (!answered || reply.size() < 6 || quint8(reply.at(1)) != command || reply.size() - 6 < bytesWanted)
        return false;
    destination = reply.mid(5, bytesWanted);
    TransferOk = 1;
    return true;
}

void DeviceLink::closePort()
{
    m_port.close();
    if (m_waitLoop)
        m_waitLoop->quit();
}

void DeviceLink::onPortLost(const QString &name)
{
    if (m_waitLoop)
        m_waitLoop->quit();
    Q_EMIT portLost(name);
}

} // namespace gencfg
