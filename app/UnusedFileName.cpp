#include "app/UnusedFileName.h"

#include <QDir>
#include <QFileInfo>

namespace gencfg {

QString UnusedFileName(const QString &path)
{
    const QFileInfo info(path);
    const QString suffix = info.completeSuffix();
    const QString stem = info.dir().filePath(info.baseName());
    for (int n = 2;; ++n) {
        const QString candidate = suffix.isEmpty() ? QStringLiteral("%1-%2").arg(stem).arg(n)
                                                   : QStringLiteral("%1-%2.%3").arg(stem).arg(n).arg(suffix);
        if (!QFileInfo::exists(candidate))
            return candidate;
    }
}

} // namespace gencfg
