#include "link/PortTransport.h"

#include "link/NetworkPort.h"
#include "link/NetworkPortName.h"
#include "link/SerialPort.h"

namespace gencfg {

QString ConnectFailureText(const QString &portName, const QString &reason)
{
    return OpenFailureText(portName, true) + QStringLiteral(": ") + reason;
}

PortTransport::PortTransport(QObject *parent)
    : ByteTransport(parent), m_serial(new SerialPort(this)), m_network(new NetworkPort(this)),
      m_active(m_serial)
{
    for (ByteTransport *port :
         {static_cast<ByteTransport *>(m_serial), static_cast<ByteTransport *>(m_network)}) {
        connect(port, &ByteTransport::bytesArrived, this, &ByteTransport::bytesArrived);
        connect(port, &ByteTransport::lost, this, &ByteTransport::lost);
        connect(port, &ByteTransport::ready, this, &ByteTransport::ready);
    }
}

PortTransport::~PortTransport() = default;

QString PortTransport::open(const QString &name)
{
    m_active->close();
    m_active = IsNetworkPortName(name) ? static_cast<ByteTransport *>(m_network) : m_serial;
    return m_active->open(name);
}

} // namespace gencfg
