#pragma once

// Serves a simulated controller's pseudo-terminal on a TCP socket, as a serial
// server would: one client at a time, its bytes as they are, or inside Telnet
// with the RFC 2217 com-port option (settings confirmed as asked).

#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QSerialPort>
#include <QTcpServer>
#include <QTcpSocket>
#include <memory>

namespace gencfg {

class TelnetSession;

class NetworkServe : public QObject
{
    Q_OBJECT
public:
    NetworkServe(const QString &devicePath, bool rfc2217, QObject *parent = nullptr);
    ~NetworkServe() override;

    // Starts listening; returns the failure text, or an empty string. Port 0 takes a free one.
    QString listen(const QHostAddress &host, quint16 port);
    quint16 port() const { return m_server.serverPort(); }

private:
    void onClient();
    void dropClient();
    void fromClient();
    void answerComPort(const QByteArray &payload);

    QString m_devicePath;
    bool m_rfc2217 = false;
    QTcpServer m_server;
    QPointer<QTcpSocket> m_client;
    QSerialPort m_device;
    std::unique_ptr<TelnetSession> m_telnet;
};

} // namespace gencfg
