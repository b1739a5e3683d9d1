#include "link/SerialPort.h"

#include "link/PortAccess.h"

#include <QFileInfo>
#include <QSerialPortInfo>

namespace gencfg {

QString OpenFailureText(const QString &portName, bool portExists)
{
    return portExists ? QStringLiteral("Can't open device %1").arg(portName)
                      : QStringLiteral("Invalid port number (%1)").arg(portName);
}

bool IsFatalPortError(QSerialPort::SerialPortError error)
{
    // A device that hangs up (a pulled adapter, a closed pseudo-terminal) shows as
    // a resource error or as a read that finds nothing after a readiness signal;
    // left open, such a port signals again and again.
    switch (error) {
    case QSerialPort::ResourceError:
    case QSerialPort::DeviceNotFoundError:
    case QSerialPort::ReadError:
        return true;
    default:
        return false;
    }
}

SerialPort::SerialPort(QObject *parent) : ByteTransport(parent)
{
    connect(&m_port, &QSerialPort::readyRead, this, [this] {
        const QByteArray bytes = m_port.readAll();
        if (!bytes.isEmpty())
            Q_EMIT bytesArrived(bytes);
    });
    connect(&m_port, &QSerialPort::errorOccurred, this, &SerialPort::onError);
}

SerialPort::~SerialPort() = default;

QString SerialPort::open(const QString &portName)
{
    close();
    m_port.setPortName(portName);
    m_port.setBaudRate(BaudRate);
    m_port.setDataBits(QSerialPort::Data8);
    m_port.setParity(QSerialPort::NoParity);
    m_port.setStopBits(QSerialPort::OneStop);
    m_port.setFlowControl(QSerialPort::NoFlowControl);
    m_port.setReadBufferSize(InputBufferSize);
    if (!m_port.open(QIODevice::ReadWrite)) {
        const bool exists = m_port.error() != QSerialPort::DeviceNotFoundError;
        m_port.clearError();
        const QString failure = OpenFailureText(portName, exists);
        const QString hint = exists ? PortPermissionHint(portName) : QString();
        return hint.isEmpty() ? failure : failure + QLatin1Char('\n') + hint;
    }
    // Pseudo-terminals have no modem lines; that is not a reason to refuse them.
    m_port.setDataTerminalReady(true);
    m_port.setRequestToSend(true);
    m_port.clearError();
    m_portName = portName;
    return {};
}

void SerialPort::close()
{
    if (m_port.isOpen())
        m_port.close();
    m_portName.clear();
}

qint64 SerialPort::write(const QByteArray &bytes)
{
    if (!m_port.isOpen())
        return -1;
    const qint64 written = m_port.write(bytes);
    m_port.flush();
    return written;
}

void SerialPort::onError(QSerialPort::SerialPortError error)
{
    if (!IsFatalPortError(error) || !m_port.isOpen())
        return;
    const QString name = m_portName;
    close();
    Q_EMIT lost(name);
}

} // namespace gencfg
