#include "config/FileTarget.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace gencfg {

QString WriteTargetRefusal(const QString &path)
{
    const QFileInfo target(path);
    if (!target.exists() || target.isFile())
        return {};
    const QString shown = QDir::toNativeSeparators(path);
    if (target.isDir())
        return QCoreApplication::translate("FileTarget", "Запись отклонена: %1 — это папка").arg(shown);
    return QCoreApplication::translate("FileTarget", "Запись отклонена: %1 не является обычным файлом")
        .arg(shown);
}

} // namespace gencfg
