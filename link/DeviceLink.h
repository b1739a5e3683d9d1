#pragma once

// The link to the controller: the receive dispatcher that cuts frames out of
// the byte stream, and the wait-then-send transactions every request goes
// through. The controller sends a frame on its own again and again; a request
// is sent right after one of its frames, and a read takes the very next frame
// as its reply.

#include "link/SerialPort.h"

#include <QByteArray>
#include <QObject>
#include <array>

class QEventLoop;

namespace gencfg {

using RxBuffer = std::array<quint8, 256>;

class DeviceLink : public QObject
{
    Q_OBJECT
public:
    // Wait bounds, in ticks of TickMs.
    static constexpr int CommandBound = 5;
    static constexpr int BlockBound = 10;
    static constexpr int ReplyBound = 2;
    static constexpr int DefaultTickMs = 300;
    // Text without a start byte, or an unfinished frame, longer than this is noise.
    static constexpr int MaxPendingText = 4096;
    static constexpr int MaxFrameText = 2 * (255 + 6) + 2;

    enum class SendResult { Sent, NotReady, Refused };

    explicit DeviceLink(QObject *parent = nullptr);
    ~DeviceLink() override;

    SerialPort &AfComPort1() { return m_port; }
    // Closes the port; a transaction waiting on it ends as on a silent line.
    void closePort();

    // One arrival of bytes from the port.
    void AfComPort1DataRecived(const QByteArray &s);

    // Transactions. They refuse to start while another one is waiting.
    SendResult SendCommand(quint8 command, quint16 address, quint8 n, const QByteArray &data);
    bool WriteBlock(quint16 address, quint8 n, const QByteArray &data);
    bool ReadBlock(quint16 address, quint8 n, QByteArray &destination);
    bool ReadJournalRecord(quint8 index, quint8 journal, QByteArray &destination);
    bool WaitForDeviceFrame(int bound);

    // A multi-step operation (a transfer, a journal reading, one command)
    // holds the link so that no click starts another inside its waits.
    bool tryBeginOperation();
    void endOperation();
    bool busy() const { return m_operations > 0 || m_inTransaction; }

    void setTickMs(int ms) { m_tickMs = ms; }
    int tickMs() const { return m_tickMs; }

    const QByteArray &rxText() const { return RxText; }
    const QByteArray &lineText() const { return LineText; }
    const RxBuffer &rxBytes() const { return RxBytes; }
    int packetCount() const { return PacketCount; }
    int badFrameCount() const { return m_badFrames; }
    bool replyFlag() const { return ReplyFlag != 0; }
    bool transferOk() const { return TransferOk != 0; }

Q_SIGNALS:
    // Every arrival that delivered bytes.
    void bytesArrived();
    // The received text since the last line, now holding a carriage return.
    void terminalStep(const QByteArray &lineText);
    // A request as sent: "<< " or "<<" followed by the frame text.
    void echoLine(const QByteArray &line);
    // An accepted status frame; its data begin at rxBytes[5].
    void statusFrameReceived(const gencfg::RxBuffer &rxBytes);
    void packetCountChanged(int count);
    void badFrameCountChanged(int count);
    void busyChanged(bool busy);
    void portLost(const QString &portName);

private:
    class TransactionScope;
    void takeFrames();
    void handleFrameText(const QByteArray &text);
    bool readReply(const QByteArray &request, quint8 command, int bytesWanted, QByteArray &destination);
    void setInTransaction(bool on);
    void onPortLost(const QString &name);

    SerialPort m_port;
    QByteArray RxText;
    QByteArray LineText;
    RxBuffer RxBytes{};
    int PacketCount = 0;
    quint8 ReplyFlag = 0;
    quint8 TransferOk = 0;

    int m_badFrames = 0;
    int m_tickMs = DefaultTickMs;
    int m_operations = 0;
    bool m_inTransaction = false;
    bool m_awaitingReply = false;
    QByteArray m_reply;
    QEventLoop *m_waitLoop = nullptr;
};

// Holds the link for one click's work; refused when another operation or a
// transaction is running.
class OperationGuard
{
public:
    explicit OperationGuard(DeviceLink &link) : m_link(link), m_held(link.tryBeginOperation()) {}
    ~OperationGuard()
    {
        if (m_held)
            m_link.endOperation();
    }
    OperationGuard(const OperationGuard &) = delete;
    OperationGuard &operator=(const OperationGuard &) = delete;
    explicit operator bool() const { return m_held; }

private:
    DeviceLink &m_link;
    bool m_held;
};

} // namespace gencfg
