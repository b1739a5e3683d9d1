#pragma once

// The serial port the controller is on (the window's `transport`): opened at
// 9600 8N1 without flow control, DTR and RTS on. Arrivals and the loss of the
// device are reported through signals on the thread that owns the port.

#include "link/ByteTransport.h"

#include <QObject>
#include <QSerialPort>

namespace gencfg {

// The text of the box for a port that could not be opened.
QString OpenFailureText(const QString &portName, bool portExists);
// Whether a port error means the device is gone and the port must be closed.
bool IsFatalPortError(QSerialPort::SerialPortError error);

class SerialPort : public ByteTransport
{
    Q_OBJECT
public:
    explicit SerialPort(QObject *parent = nullptr);
    ~SerialPort() override;

    // Opens portName (a system name such as "COM3" or a device path), closing
    // any other port first. Returns the failure text, or an empty string.
    QString open(const QString &portName) override;
    void close() override;
    bool isOpen() const override { return m_port.isOpen(); }
    QString portName() const override { return m_portName; }
    qint64 write(const QByteArray &bytes) override;

    static constexpr int BaudRate = 9600;
    static constexpr int InputBufferSize = 4096;

private:
    void onError(QSerialPort::SerialPortError error);

    QSerialPort m_port;
    QString m_portName;
};

} // namespace gencfg
