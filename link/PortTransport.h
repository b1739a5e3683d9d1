#pragma once

// The port the program talks through, chosen by its name: a network port for
// "tcp://" and "rfc2217://" names, the serial port for every other name.

#include "link/ByteTransport.h"

namespace gencfg {

// A network port whose connection could not be made: told as a port that cannot be opened, with why.
QString ConnectFailureText(const QString &portName, const QString &reason);

class NetworkPort;
class SerialPort;

class PortTransport : public ByteTransport
{
    Q_OBJECT
public:
    explicit PortTransport(QObject *parent = nullptr);
    ~PortTransport() override;

    QString open(const QString &name) override;
    void close() override { m_active->close(); }
    bool isOpen() const override { return m_active->isOpen(); }
    QString portName() const override { return m_active->portName(); }
    qint64 write(const QByteArray &bytes) override { return m_active->write(bytes); }
    QString lossReason() const override { return m_active->lossReason(); }
    int connectMs() const override { return m_active->connectMs(); }
    bool opening() const override { return m_active->opening(); }
    bool lostWhileOpening() const override { return m_active->lostWhileOpening(); }

private:
    SerialPort *m_serial;
    NetworkPort *m_network;
    ByteTransport *m_active;
};

} // namespace gencfg
