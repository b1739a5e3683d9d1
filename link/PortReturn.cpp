#include "link/PortReturn.h"

#include <QFileInfo>
#include <QSerialPortInfo>

namespace gencfg {

std::optional<PortIdentity> PresentPort(const QString &name)
{
    if (name.isEmpty())
        return std::nullopt;
    PortIdentity identity;
    identity.name = name;
#ifdef Q_OS_WIN
    const QString location = name;
    const QString target = name;
#else
    // A stat while the port is away; the port list only once something is there.
    const QString location = name.contains(QLatin1Char('/')) ? name : QStringLiteral("/dev/") + name;
    if (!QFileInfo::exists(location))
        return std::nullopt;
    const QString target = QFileInfo(location).canonicalFilePath();
#endif
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts()) {
#ifdef Q_OS_WIN
        const bool same = info.portName().compare(name, Qt::CaseInsensitive) == 0;
#else
        const bool same = info.systemLocation() == location || info.systemLocation() == target;
#endif
        if (!same)
            continue;
        identity.listed = true;
        if (info.hasVendorIdentifier())
            identity.vendor = info.vendorIdentifier();
        if (info.hasProductIdentifier())
            identity.product = info.productIdentifier();
        identity.serialNumber = info.serialNumber();
        break;
    }
#ifdef Q_OS_WIN
    // Windows ports have no file to look at: a port is there when the list holds it.
    if (!identity.listed)
        return std::nullopt;
#endif
    return identity;
}

PortIdentity IdentifyPort(const QString &name)
{
    if (std::optional<PortIdentity> present = PresentPort(name))
        return *present;
    PortIdentity identity;
    identity.name = name;
    return identity;
}

bool AwaitsReturn(const PortIdentity &lost)
{
    return !lost.name.isEmpty() && !lost.name.startsWith(QStringLiteral("/dev/pts/"));
}

bool IsSameAdapter(const PortIdentity &lost, const std::optional<PortIdentity> &present)
{
    if (!present || present->name != lost.name)
        return false;
    if (lost.vendor && present->vendor != lost.vendor)
        return false;
    if (lost.product && present->product != lost.product)
        return false;
    return lost.serialNumber.isEmpty() || present->serialNumber == lost.serialNumber;
}

} // namespace gencfg
