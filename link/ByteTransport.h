#pragma once

// What the link talks through: a serial or network port in the program, an in-memory
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
    // Why the port was last lost, when the transport can tell more than that the device went.
    virtual QString lossReason() const { return {}; }
    // How long the last connect took, in ms, for a port reached over the network; -1 otherwise.
    virtual int connectMs() const { return -1; }
    // A network port connects after open() returns: until ready() it takes no bytes.
    virtual bool opening() const { return false; }
    // Whether the last loss came before the port was ever ready: it could not be opened at all.
    virtual bool lostWhileOpening() const { return false; }

Q_SIGNALS:
    void bytesArrived(const QByteArray &bytes);
    // The device vanished (adapter unplugged); the transport has been closed.
    void lost(const QString &portName);
    // A port that was opening is connected and set up.
    void ready();
};

} // namespace gencfg
