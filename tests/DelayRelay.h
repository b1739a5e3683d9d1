#pragma once

// A stand-in for a long network line between the program and a TCP server.

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <deque>

namespace gencfg::test {

// Passes bytes both ways, each arrival held back half the added round trip, give or take the
// jitter (a share of that half, drawn from a fixed seed); bytes never overtake each other.
class DelayRelay : public QObject
{
public:
    DelayRelay(quint16 target, int roundTripMs, double jitter = 0.0, quint32 seed = 1)
        : m_target(target), m_oneWayMs(roundTripMs / 2), m_spreadMs(int(roundTripMs / 2 * jitter)),
          m_random(seed)
    {
        m_clock.start();
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
    // One direction: arrivals queued in order, each written when its time has come.
    struct Lane : QObject
    {
        explicit Lane(QTcpSocket *to) : QObject(to), to(to)
        {
            timer.setSingleShot(true);
            timer.setTimerType(Qt::PreciseTimer);
            connect(&timer, &QTimer::timeout, this, [this] { flush(); });
        }
        void flush()
        {
            while (!queue.empty() && queue.front().first <= clock->elapsed()) {
                to->write(queue.front().second);
                queue.pop_front();
            }
            if (!queue.empty())
                timer.start(int(queue.front().first - clock->elapsed()));
        }
        QTcpSocket *to;
        const QElapsedTimer *clock = nullptr;
        QTimer timer;
        std::deque<std::pair<qint64, QByteArray>> queue;
        qint64 lastDue = 0;
    };

    void pass(QTcpSocket *from, QTcpSocket *to)
    {
        auto *lane = new Lane(to);
        lane->clock = &m_clock;
        connect(from, &QTcpSocket::readyRead, lane, [this, from, lane] {
            const int jitter = m_spreadMs > 0 ? int(m_random.bounded(2 * m_spreadMs + 1)) - m_spreadMs : 0;
            // A later arrival waits for an earlier one, as on one TCP stream.
            lane->lastDue = qMax(lane->lastDue, m_clock.elapsed() + m_oneWayMs + jitter);
            lane->queue.emplace_back(lane->lastDue, from->readAll());
            if (!lane->timer.isActive())
                lane->flush();
        });
    }

    QTcpServer m_server;
    quint16 m_target;
    int m_oneWayMs;
    int m_spreadMs;
    QRandomGenerator m_random;
    QElapsedTimer m_clock;
};

} // namespace gencfg::test
