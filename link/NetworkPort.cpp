#include "link/NetworkPort.h"

#include "link/SerialPort.h"
#include "link/TelnetSession.h"

#include <QtEndian>
#include <libtelnet.h>

namespace gencfg {

namespace {

// The settings a local port is opened with, as com-port commands and the values the server must confirm.
struct ComPortSetting
{
    unsigned char command;
    QByteArray value;
};

QByteArray BigEndian32(quint32 value)
{
    QByteArray bytes(4, '\0');
    qToBigEndian(value, bytes.data());
    return bytes;
}

const std::vector<ComPortSetting> &LineSettings()
{
    static const std::vector<ComPortSetting> settings{
        {SetBaudRate, BigEndian32(SerialPort::BaudRate)},
        {SetDataSize, QByteArray(1, char(8))},
        {SetParity, QByteArray(1, char(1))},   // none
        {SetStopSize, QByteArray(1, char(1))}, // one stop bit
        {SetControl, QByteArray(1, char(1))},  // no flow control
    };
    return settings;
}

} // namespace

NetworkPort::NetworkPort(QObject *parent) : ByteTransport(parent)
{
    m_socket.setReadBufferSize(InputBufferSize);
    m_connectDeadline.setSingleShot(true);
    m_silence.setSingleShot(true);
    connect(&m_socket, &QTcpSocket::connected, this, &NetworkPort::onConnected);
    connect(&m_socket, &QTcpSocket::readyRead, this, &NetworkPort::onReadyRead);
    connect(&m_socket, &QTcpSocket::errorOccurred, this, &NetworkPort::onSocketError);
    connect(&m_socket, &QTcpSocket::disconnected, this, [this] { lose(tr("сервер закрыл соединение")); });
    connect(&m_connectDeadline, &QTimer::timeout, this, [this] {
        lose(m_socket.state() == QAbstractSocket::ConnectedState
                 ? tr("сервер не подтвердил настройки порта RFC 2217 (9600 8N1)")
                 : tr("нет ответа от %1:%2 за %3 с")
                       .arg(m_address.host)
                       .arg(m_address.port)
                       .arg(ConnectTimeoutMs / 1000));
    });
    connect(&m_silence, &QTimer::timeout, this,
            [this] { lose(tr("нет данных от контроллера %1 с").arg(SilenceMs / 1000)); });
}

NetworkPort::~NetworkPort()
{
    m_socket.disconnect(this);
    m_socket.abort();
}

QString NetworkPort::open(const QString &name)
{
    close();
    const std::optional<NetworkAddress> address = ParseNetworkPort(name);
    if (!address)
        return tr("Неверный сетевой порт %1: нужно tcp://ХОСТ:ПОРТ или rfc2217://ХОСТ:ПОРТ").arg(name);
    m_address = *address;
    m_portName = name;
    m_lossReason.clear();
    m_connectMs = -1;
    m_open = true;
    m_ready = false;
    m_lostWhileOpening = false;
    m_unconfirmed.clear();
    m_telnet.reset();
    if (m_address.protocol == NetworkProtocol::Rfc2217) {
        TelnetSession::Handlers handlers;
        handlers.data = [this](const QByteArray &bytes) { deliver(bytes); };
        handlers.send = [this](const QByteArray &bytes) { m_socket.write(bytes); };
        handlers.negotiated = [this](unsigned char command, unsigned char option) {
            onTelnetNegotiated(command, option);
        };
        handlers.subnegotiation = [this](unsigned char option, const QByteArray &payload) {
            onTelnetAnswer(option, payload);
        };
        handlers.error = [this](const QByteArray &message) {
            lose(tr("ошибка протокола Telnet: %1").arg(QString::fromLatin1(message)));
        };
        m_telnet = std::make_unique<TelnetSession>(
            std::vector<TelnetSession::Option>{{TELNET_TELOPT_BINARY, true, true},
                                               {TELNET_TELOPT_SGA, true, true},
                                               {ComPortOption, true, false}},
            std::move(handlers));
    }
    m_connectClock.start();
    m_connectDeadline.start(ConnectTimeoutMs);
    // The name is looked up again on every connect: a site's address may have changed.
    m_socket.connectToHost(m_address.host, m_address.port);
    return {};
}

void NetworkPort::close()
{
    m_open = false;
    m_connectDeadline.stop();
    m_silence.stop();
    m_socket.abort();
    m_portName.clear();
}

qint64 NetworkPort::write(const QByteArray &bytes)
{
    if (!m_open || m_socket.state() != QAbstractSocket::ConnectedState)
        return -1;
    if (!m_telnet)
        return m_socket.write(bytes);
    m_telnet->sendData(bytes);
    return bytes.size();
}

void NetworkPort::onConnected()
{
    m_connectMs = int(m_connectClock.elapsed());
    m_silence.start(SilenceMs);
    if (!m_telnet) {
        becomeReady();
        return;
    }
    m_telnet->negotiate(TELNET_WILL, TELNET_TELOPT_BINARY);
    m_telnet->negotiate(TELNET_DO, TELNET_TELOPT_BINARY);
    m_telnet->negotiate(TELNET_WILL, TELNET_TELOPT_SGA);
    m_telnet->negotiate(TELNET_DO, TELNET_TELOPT_SGA);
    m_telnet->negotiate(TELNET_WILL, ComPortOption);
}

void NetworkPort::onTelnetNegotiated(unsigned char command, unsigned char option)
{
    if (option != ComPortOption)
        return;
    if (command == TELNET_DO && m_unconfirmed.isEmpty())
        sendComPortSettings();
    else if (command == TELNET_DONT)
        lose(tr("сервер не поддерживает управление портом RFC 2217"));
}

void NetworkPort::sendComPortSettings()
{
    for (const ComPortSetting &setting : LineSettings()) {
        m_unconfirmed.append(setting.command);
        m_telnet->subnegotiate(ComPortOption, char(setting.command) + setting.value);
    }
}

void NetworkPort::onTelnetAnswer(unsigned char option, const QByteArray &payload)
{
    if (option != ComPortOption || payload.isEmpty())
        return;
    const unsigned char answer = quint8(payload.at(0));
    if (answer <= ServerAnswerOffset || !m_unconfirmed.contains(answer - ServerAnswerOffset))
        return; // notifications of line and modem state
    const unsigned char command = answer - ServerAnswerOffset;
    for (const ComPortSetting &setting : LineSettings()) {
        if (setting.command == command && payload.mid(1) != setting.value) {
            lose(tr("сервер RFC 2217 не установил 9600 8N1 без управления потоком"));
            return;
        }
    }
    m_unconfirmed.removeAll(command);
    if (m_unconfirmed.isEmpty())
        becomeReady();
}

void NetworkPort::becomeReady()
{
    m_connectDeadline.stop();
    if (m_ready)
        return;
    m_ready = true;
    Q_EMIT ready();
}

void NetworkPort::onReadyRead()
{
    const QByteArray bytes = m_socket.readAll();
    if (bytes.isEmpty() || !m_open)
        return;
    m_silence.start(SilenceMs);
    if (m_telnet)
        m_telnet->receive(bytes);
    else
        deliver(bytes);
}

void NetworkPort::deliver(const QByteArray &bytes)
{
    if (m_open && !bytes.isEmpty())
        Q_EMIT bytesArrived(bytes);
}

void NetworkPort::onSocketError()
{
    if (m_socket.error() == QAbstractSocket::RemoteHostClosedError)
        return; // told by disconnected
    lose(m_socket.errorString());
}

void NetworkPort::lose(const QString &reason)
{
    if (!m_open)
        return;
    const QString name = m_portName;
    m_lossReason = reason;
    m_lostWhileOpening = !m_ready;
    close();
    Q_EMIT lost(name);
}

} // namespace gencfg
