#include "link/PortReturn.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QSerialPortInfo>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

namespace gencfg {

namespace {

const QString PseudoTerminalFolder = QStringLiteral("/dev/pts/");
constexpr qint64 NsPerSecond = 1000 * 1000 * 1000;

#ifndef Q_OS_WIN
// A file's status change time; with linkItself, that of a symbolic link rather than of what it leads to.
std::optional<qint64> changedNs(const QString &path, bool linkItself)
{
    struct stat info = {};
    const QByteArray name = QFile::encodeName(path);
    if ((linkItself ? ::lstat(name.constData(), &info) : ::stat(name.constData(), &info)) != 0)
        return std::nullopt;
    return qint64(info.st_ctim.tv_sec) * NsPerSecond + info.st_ctim.tv_nsec;
}

// Where the name leads, and for a link to a pseudo-terminal when each end changed.
void identifyPath(const QString &location, const QString &target, PortIdentity &identity)
{
    if (!target.startsWith(PseudoTerminalFolder))
        return;
    if (!QFileInfo(location).isSymLink()) {
        identity.path = PortPath::PseudoTerminal;
        return;
    }
    const std::optional<qint64> link = changedNs(location, true);
    const std::optional<qint64> terminal = changedNs(target, false);
    // Gone between the looks: taken as a bare terminal, which is never awaited.
    if (!link || !terminal) {
        identity.path = PortPath::PseudoTerminal;
        return;
    }
    identity.path = PortPath::LinkToPseudoTerminal;
    identity.linkChangedNs = *link;
    identity.terminalChangedNs = *terminal;
}
#endif

} // namespace

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
    identifyPath(location, target, identity);
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
    return !lost.name.isEmpty() && !lost.name.startsWith(PseudoTerminalFolder) &&
           lost.path != PortPath::PseudoTerminal;
}

qint64 WallClockNs()
{
    return QDateTime::currentMSecsSinceEpoch() * 1000 * 1000;
}

bool IsSameAdapter(const PortIdentity &lost, const std::optional<PortIdentity> &present)
{
    if (!present || present->name != lost.name || present->path == PortPath::PseudoTerminal)
        return false;
    if (present->path == PortPath::LinkToPseudoTerminal) {
        // Not by inode number: a filesystem may give a freed one to the next file at once.
        // A filesystem that keeps whole seconds for the link gets the other times in whole seconds too.
        const qint64 unit = present->linkChangedNs % NsPerSecond == 0 ? NsPerSecond : 1;
        // The system stamps files from a clock that may lag the one read at the loss by a tick.
        constexpr qint64 StampLagNs = 50 * 1000 * 1000;
        const bool madeAnew = present->linkChangedNs > lost.linkChangedNs &&
                              present->linkChangedNs >= (lost.lostNs - StampLagNs) / unit * unit;
        const bool terminalFirst = present->terminalChangedNs / unit * unit <= present->linkChangedNs;
        return madeAnew && terminalFirst;
    }
    if (lost.vendor && present->vendor != lost.vendor)
        return false;
    if (lost.product && present->product != lost.product)
        return false;
    return lost.serialNumber.isEmpty() || present->serialNumber == lost.serialNumber;
}

} // namespace gencfg
