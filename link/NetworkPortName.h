#pragma once

// Port names that lead over the network instead of to a serial device on this
// machine: "tcp://HOST:PORT" carries the controller's bytes as they are,
// "rfc2217://HOST:PORT" carries them inside Telnet with the com-port option.

#include <QString>
#include <optional>

namespace gencfg {

enum class NetworkProtocol { RawTcp, Rfc2217 };

struct NetworkAddress
{
    NetworkProtocol protocol = NetworkProtocol::RawTcp;
    QString host;
    quint16 port = 0;
};

// The address a port name leads to, or nothing for a local port name or a malformed one.
std::optional<NetworkAddress> ParseNetworkPort(const QString &name);
// Whether the name asks for the network, well formed or not: such a name is never a device path.
bool IsNetworkPortName(const QString &name);
QString NetworkPortName(const NetworkAddress &address);

} // namespace gencfg
