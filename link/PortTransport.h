#pragma once

// The port the program talks through, chosen by its name: a network port for
// "tcp://" and "rfc2217://" names, the serial port for every other name.

#include "link/ByteTransport.h"

namespace gencfg {

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

private:
    SerialPort *m_serial;
    NetworkPort *m_network;
    ByteTransport *m_active;
};

} // namespace gencfg
