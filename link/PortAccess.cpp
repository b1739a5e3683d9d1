#include "link/PortAccess.h"

#include "link/LinkTexts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>

#ifdef Q_OS_UNIX
#include <grp.h>
#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace gencfg {

QString PermissionHint(int accessError, const QString &group, const QString &userName)
{
    if (accessError != EACCES && accessError != EPERM)
        return {};
    // Membership of root's group is no fix to offer a technician.
    if (group.isEmpty() || group == QStringLiteral("root"))
        return {};
    return PortPermissionHintText(group, userName.isEmpty() ? QStringLiteral("$USER") : userName);
}

QString PortPermissionHint(const QString &portName)
{
#ifdef Q_OS_UNIX
    const QString path = portName.contains(QLatin1Char('/')) ? portName : QStringLiteral("/dev/") + portName;
    const QByteArray file = QFile::encodeName(path);
    if (::access(file.constData(), R_OK | W_OK) == 0)
        return {};
    const int accessError = errno;
    struct stat info = {};
    QString group;
    // Only a group that may read and write the device lets its members open it.
    if (::stat(file.constData(), &info) == 0 && (info.st_mode & S_IRGRP) && (info.st_mode & S_IWGRP)) {
        if (const struct group *entry = ::getgrgid(info.st_gid))
            group = QString::fromLocal8Bit(entry->gr_name);
    }
    QString user;
    if (const passwd *entry = ::getpwuid(::getuid()))
        user = QString::fromLocal8Bit(entry->pw_name);
    if (user.isEmpty())
        user = qEnvironmentVariable("USER");
    return PermissionHint(accessError, group, user);
#else
    Q_UNUSED(portName);
    return {};
#endif
}

QStringList DefaultLockDirectories()
{
    return {QStringLiteral("/var/lock"), QStringLiteral("/run/lock")};
}

QString LockFileName(const QString &portPath)
{
    QString name = portPath;
    if (name.startsWith(QStringLiteral("/dev/")))
        name.remove(0, 5);
    return QStringLiteral("LCK..") + name.replace(QLatin1Char('/'), QLatin1Char('_'));
}

std::optional<qint64> LockFilePid(const QByteArray &content)
{
    const int end = int(content.indexOf('\n'));
    bool ok = false;
    const qint64 pid = content.left(end < 0 ? content.size() : end).trimmed().toLongLong(&ok);
    if (!ok || pid <= 0)
        return std::nullopt;
    return pid;
}

bool PortHeldByOtherProgram(const QString &portPath, const QStringList &lockDirectories)
{
#ifdef Q_OS_UNIX
    QStringList names{LockFileName(portPath)};
    const QString target = QFileInfo(portPath).canonicalFilePath();
    if (!target.isEmpty() && target != portPath)
        names << LockFileName(target);
    for (const QString &directory : lockDirectories) {
        for (const QString &name : names) {
            QFile lock(QDir(directory).filePath(name));
            if (!lock.open(QIODevice::ReadOnly))
                continue;
            const std::optional<qint64> pid = LockFilePid(lock.read(64));
            if (!pid || *pid == QCoreApplication::applicationPid())
                continue;
            // A lock left by a program that has ended holds nothing.
            if (::kill(pid_t(*pid), 0) == 0 || errno == EPERM)
                return true;
        }
    }
    return false;
#else
    Q_UNUSED(portPath);
    Q_UNUSED(lockDirectories);
    return false;
#endif
}

} // namespace gencfg
