#pragma once

// What the link talks through: the serial port in the program, an in-memory
// controller in tests. Arrivals and the loss of the device come as signals on
// the thread that owns the transport.

#include <QByteArray>
#include <QObject>
#include <QString>

namespace gencfg {

class ByteTransport : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // Opens name, closing whatever was open. Returns the failure text, or an empty string.
    virtual QString open(const QString &name) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    virtual QString portName() const = 0;
    // The number of bytes taken, or -1.
    virtual qint64 write(const QByteArray &bytes) = 0;

Q_SIGNALS:
    void bytesArrived(const QByteArray &bytes);
    // The device vanished (adapter unplugged); the transport has been closed.
    void lost(const QString &portName);
};

} // namespace gencfg
