#pragma once

// A stand-in for a long network line between the program and a TCP server.

#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

namespace gencfg::test {

// Passes bytes both ways, each arrival held back half the added round trip.
class DelayRelay : public QObject
{
public:
    DelayRelay(quint16 target, int roundTripMs) : m_target(target), m_oneWayMs(roundTripMs / 2)
    {
        m_server.listen(QHostAddress::LocalHost, 0);
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            QTcpSocket *client = m_server.nextPendingConnection();
            auto *upstream = new QTcpSocket(client);
            upstream->connectToHost(QHostAddress::LocalHost, m_target);
            connect(client, &QTcpSocket::readyRead, this,
                    [this, client] { toServer += client->peek(client->bytesAvailable()); });
            pass(client, upstream);
            pass(upstream, client);
            connect(client, &QTcpSocket::disconnected, upstream, &QTcpSocket::disconnectFromHost);
            connect(upstream, &QTcpSocket::disconnected, client, &QTcpSocket::disconnectFromHost);
        });
    }
    quint16 port() const { return m_server.serverPort(); }
    // Every byte passed on towards the server.
    QByteArray toServer;

private:
    void pass(QTcpSocket *from, QTcpSocket *to)
    {
        connect(from, &QTcpSocket::readyRead, to, [this, from, to] {
            const QByteArray bytes = from->readAll();
            QTimer::singleShot(m_oneWayMs, to, [to, bytes] { to->write(bytes); });
        });
    }

    QTcpServer m_server;
    quint16 m_target;
    int m_oneWayMs;
};

} // namespace gencfg::test
