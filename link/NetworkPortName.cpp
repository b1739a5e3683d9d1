#include "link/NetworkPortName.h"

#include <QUrl>

namespace gencfg {

namespace {

const QString RawScheme = QStringLiteral("tcp");
const QString TelnetScheme = QStringLiteral("rfc2217");

} // namespace

bool IsNetworkPortName(const QString &name)
{
    return name.startsWith(RawScheme + QStringLiteral("://"), Qt::CaseInsensitive) ||
           name.startsWith(TelnetScheme + QStringLiteral("://"), Qt::CaseInsensitive);
}

std::optional<NetworkAddress> ParseNetworkPort(const QString &name)
{
    if (!IsNetworkPortName(name))
        return std::nullopt;
    const QUrl url(name.trimmed(), QUrl::StrictMode);
    // Only host and port: a path, a user or a query would be silently ignored otherwise.
    if (!url.isValid() || url.host().isEmpty() || url.port() <= 0 || !url.userInfo().isEmpty() ||
        !(url.path().isEmpty() || url.path() == QStringLiteral("/")) || url.hasQuery() || url.hasFragment())
        return std::nullopt;
    NetworkAddress address;
    address.protocol = url.scheme().compare(TelnetScheme, Qt::CaseInsensitive) == 0 ? NetworkProtocol::Rfc2217
                                                                                    : NetworkProtocol::RawTcp;
    address.host = url.host();
    address.port = quint16(url.port());
    return address;
}

QString NetworkPortName(const NetworkAddress &address)
{
    const QString host = address.host.contains(QLatin1Char(':'))
                             ? QLatin1Char('[') + address.host + QLatin1Char(']')
                             : address.host;
    return (address.protocol == NetworkProtocol::Rfc2217 ? TelnetScheme : RawScheme) + QStringLiteral("://") +
           host + QLatin1Char(':') + QString::number(address.port);
}

} // namespace gencfg
