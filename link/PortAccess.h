#pragma once

// What the system says about who may use a serial port: whether this user may
// open its device file, and whether another program holds it.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

namespace gencfg {

// The line that follows "Can't open device ..." when the user may not open
// the port: accessError is the system's error for reading and writing the
// device file (0 when allowed), group the device file's group when that group
// may read and write it. Empty when joining a group would not help.
QString PermissionHint(int accessError, const QString &group, const QString &userName);

// PermissionHint for the device file behind portName as this user sees it now;
// empty where the system has no such file permissions.
QString PortPermissionHint(const QString &portName);

// The directories where serial programs leave their lock files.
QStringList DefaultLockDirectories();
// The lock file name of a port, as the serial programs of this system name it:
// "LCK..ttyUSB0" for /dev/ttyUSB0, "LCK..pts_3" for /dev/pts/3.
QString LockFileName(const QString &portPath);
// The process a lock file names: a decimal pid on its first line.
std::optional<qint64> LockFilePid(const QByteArray &content);
// Whether another running program holds a lock on the port (on its path or,
// for a link, its target). Only Unix systems keep such locks.
bool PortHeldByOtherProgram(const QString &portPath,
                            const QStringList &lockDirectories = DefaultLockDirectories());

} // namespace gencfg
