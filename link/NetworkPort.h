#pragma once

// The controller behind a serial server on the network: "tcp://HOST:PORT"
// carries its bytes as they are, "rfc2217://HOST:PORT" inside Telnet, where the
// line is set to 9600 8N1 without flow control on connect and the server must
// confirm it. Connecting goes on after open() returns; a connection refused,
// reset, timed out or silent is reported as lost, with the reason kept.

#include "link/ByteTransport.h"
#include "link/NetworkPortName.h"

#include <QElapsedTimer>
#include <QTcpSocket>
#include <QTimer>
#include <memory>

namespace gencfg {

class TelnetSession;

class NetworkPort : public ByteTransport
{
    Q_OBJECT
public:
    explicit NetworkPort(QObject *parent = nullptr);
    ~NetworkPort() override;

    QString open(const QString &name) override;
    void close() override;
    bool isOpen() const override { return m_open; }
    QString portName() const override { return m_portName; }
    qint64 write(const QByteArray &bytes) override;
    QString lossReason() const override { return m_lossReason; }
    int connectMs() const override { return m_connectMs; }
    bool opening() const override { return m_open && !m_ready; }
    bool lostWhileOpening() const override { return m_lostWhileOpening; }

    static constexpr int ConnectTimeoutMs = 10000;
    // No byte at all for three of the controller's longest status periods: the line is dead.
    static constexpr int SilenceMs = 3 * 1000;
    // What waits to be read is bounded as a serial port's input buffer is.
    static constexpr int InputBufferSize = 4096;

private:
    void onConnected();
    void onReadyRead();
    void onSocketError();
    void onTelnetNegotiated(unsigned char command, unsigned char option);
    void onTelnetAnswer(unsigned char option, const QByteArray &payload);
    void sendComPortSettings();
    // Ends the connection and reports the port lost with why.
    void lose(const QString &reason);
    void deliver(const QByteArray &bytes);
    void becomeReady();

    QTcpSocket m_socket;
    NetworkAddress m_address;
    QString m_portName;
    QString m_lossReason;
    bool m_open = false;
    // Connected, and for RFC 2217 the line settings confirmed.
    bool m_ready = false;
    bool m_lostWhileOpening = false;
    std::unique_ptr<TelnetSession> m_telnet;
    // Com-port commands sent and not yet confirmed by the server.
    QList<unsigned char> m_unconfirmed;
    QTimer m_connectDeadline;
    QTimer m_silence;
    QElapsedTimer m_connectClock;
    int m_connectMs = -1;
};

} // namespace gencfg
