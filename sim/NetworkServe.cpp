#include "sim/NetworkServe.h"

#include "link/TelnetSession.h"

#include <libtelnet.h>

namespace gencfg {

NetworkServe::NetworkServe(const QString &devicePath, bool rfc2217, QObject *parent)
    : QObject(parent), m_devicePath(devicePath), m_rfc2217(rfc2217)
{
    connect(&m_server, &QTcpServer::newConnection, this, &NetworkServe::onClient);
    connect(&m_device, &QSerialPort::readyRead, this, [this] {
        const QByteArray bytes = m_device.readAll();
        if (!m_client)
            return;
        if (m_telnet)
            m_telnet->sendData(bytes);
        else
            m_client->write(bytes);
    });
}

NetworkServe::~NetworkServe()
{
    dropClient();
}

QString NetworkServe::listen(const QHostAddress &host, quint16 port)
{
    if (!m_server.listen(host, port))
        return m_server.errorString();
    return {};
}

void NetworkServe::onClient()
{
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        // The line is one client's at a time, as a serial server's is.
        if (m_client) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        m_device.setPortName(m_devicePath);
        if (!m_device.open(QIODevice::ReadWrite)) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        m_client = socket;
        connect(socket, &QTcpSocket::readyRead, this, &NetworkServe::fromClient);
        connect(socket, &QTcpSocket::disconnected, this, &NetworkServe::dropClient);
        if (!m_rfc2217)
            continue;
        TelnetSession::Handlers handlers;
        handlers.send = [this](const QByteArray &bytes) {
            if (m_client)
                m_client->write(bytes);
        };
        handlers.data = [this](const QByteArray &bytes) { m_device.write(bytes); };
        handlers.subnegotiation = [this](unsigned char option, const QByteArray &payload) {
            if (option == ComPortOption)
                answerComPort(payload);
        };
        m_telnet = std::make_unique<TelnetSession>(
            std::vector<TelnetSession::Option>{{TELNET_TELOPT_BINARY, true, true},
                                               {TELNET_TELOPT_SGA, true, true},
                                               {ComPortOption, false, true}},
            std::move(handlers));
    }
}

void NetworkServe::answerComPort(const QByteArray &payload)
{
    if (payload.isEmpty())
        return;
    const unsigned char command = quint8(payload.at(0));
    if (command < SetBaudRate || command > SetControl)
        return;
    QByteArray value = payload.mid(1);
    // A zero asks for the current value: the line is always 9600 8N1 without flow control.
    if (command == SetBaudRate && value == QByteArray(4, '\0'))
        value = QByteArray::fromHex("00002580");
    else if (value == QByteArray(1, '\0'))
        value = QByteArray(1, char(command == SetDataSize ? 8 : 1));
    m_telnet->subnegotiate(ComPortOption, char(command + ServerAnswerOffset) + value);
}

void NetworkServe::fromClient()
{
    if (!m_client)
        return;
    const QByteArray bytes = m_client->readAll();
    if (m_telnet)
        m_telnet->receive(bytes);
    else
        m_device.write(bytes);
}

void NetworkServe::dropClient()
{
    if (m_client) {
        m_client->disconnect(this);
        m_client->deleteLater();
    }
    m_client = nullptr;
    m_telnet.reset();
    if (m_device.isOpen())
        m_device.close();
}

} // namespace gencfg
