#pragma once

// A controller model behind the link's transport interface, in memory: status
// frames on a timer, replies to the requests written, each delivery one
// arrival. Tests drive the link, transfers, journals and service commands
// through it without a pseudo-terminal.

#include "link/ByteTransport.h"
#include "sim/ControllerModel.h"
#include "sim/RequestCutter.h"

#include <QTimer>
#include <functional>

namespace gencfg {

class SimTransport : public ByteTransport
{
    Q_OBJECT
public:
    explicit SimTransport(quint8 variantCode = 200, quint32 seed = 7, QObject *parent = nullptr);
    ~SimTransport() override;

    ControllerModel &model() { return m_model; }
    const ControllerModel &model() const { return m_model; }

    QString open(const QString &name) override;
    void close() override;
    bool isOpen() const override { return m_open; }
    QString portName() const override { return m_name; }
    qint64 write(const QByteArray &bytes) override;
    int connectMs() const override { return m_connectMs; }

    // Interval of the status frames, device time passing with each; 0 stops them.
    void setPeriodMs(int ms);
    void setReplyDelayMs(int ms) { m_replyDelayMs = qMax(0, ms); }
    // The port takes nothing: every write fails.
    void setWriteFails(bool on) { m_writeFails = on; }
    // Stands for a port reached over the network, connected in this time; -1 is a local port.
    void setConnectMs(int ms) { m_connectMs = ms; }
    // What the line does to each write on its way to the controller (noise, a
    // lost frame); the write itself still succeeds.
    using WriteFilter = std::function<QByteArray(const QByteArray &bytes)>;
    void setWriteFilter(WriteFilter filter) { m_writeFilter = std::move(filter); }
    // The adapter is pulled: the transport closes and reports the loss.
    void vanish();
    // One status frame now, without device time passing.
    void sendStatusFrame();
    // Bytes as if the controller had sent them, in one arrival.
    void deliver(const QByteArray &text);

Q_SIGNALS:
    void frameReceived(const gencfg::FrameLogEntry &entry);
    void frameSent(const gencfg::FrameLogEntry &entry);

private:
    void onStatusTimer();

    ControllerModel m_model;
    RequestCutter m_cutter;
    QTimer m_statusTimer;
    QString m_name;
    int m_periodMs = 50;
    int m_replyDelayMs = 0;
    int m_connectMs = -1;
    bool m_open = false;
    bool m_writeFails = false;
    WriteFilter m_writeFilter;
};

} // namespace gencfg
