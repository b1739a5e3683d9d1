#include "visit/ArchiveSettings.h"

#include <QSettings>
#include <QSysInfo>

namespace gencfg {

ArchiveSettings ArchiveSettings::Read()
{
    const QSettings settings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("gencfg"),
                             QStringLiteral("gencfg"));
    ArchiveSettings read;
    read.enabled = settings.value(QStringLiteral("archive/enabled"), true).toBool();
    read.folder = settings.value(QStringLiteral("archive/folder")).toString();
    read.server = settings.value(QStringLiteral("archive/server")).toString();
    read.technician = settings.value(QStringLiteral("archive/technician")).toString().trimmed();
    read.pc = settings.value(QStringLiteral("archive/pc"), QSysInfo::machineHostName()).toString().trimmed();
    read.pullAll = settings.value(QStringLiteral("archive/pull_all"), false).toBool();
    return read;
}

void ArchiveSettings::StoreTechnician(const QString &name)
{
    QSettings settings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("gencfg"),
                       QStringLiteral("gencfg"));
    settings.setValue(QStringLiteral("archive/technician"), name.trimmed());
}

} // namespace gencfg
