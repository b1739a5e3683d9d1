#include "config/FileWriting.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDevice>
#include <QFileInfo>
#include <QSaveFile>

namespace gencfg {

QString WriteTargetRefusal(const QString &path)
{
    const QFileInfo target(path);
    if (!target.exists() || target.isFile())
        return {};
    const QString shown = QDir::toNativeSeparators(path);
    if (target.isDir())
        return QCoreApplication::translate("FileWriting", "Запись отклонена: %1 — это папка").arg(shown);
    return QCoreApplication::translate("FileWriting", "Запись отклонена: %1 не является обычным файлом")
        .arg(shown);
}

QString WriteWhole(QFileDevice &file, const QByteArray &bytes)
{
    Q_ASSERT(file.openMode() & QIODevice::Unbuffered);
    qint64 written = 0;
    // A short write is followed by one for the rest: only a write that takes nothing gives the reason.
    while (written < bytes.size()) {
        const qint64 n = file.write(bytes.constData() + written, bytes.size() - written);
        if (n <= 0)
            return file.errorString();
        written += n;
    }
    return {};
}

QString SaveWhole(const QString &path, const QByteArray &bytes, bool *refused)
{
    const QString refusal = WriteTargetRefusal(path);
    if (refused)
        *refused = !refusal.isEmpty();
    if (!refusal.isEmpty())
        return refusal;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return file.errorString();
    if (const QString error = WriteWhole(file, bytes); !error.isEmpty())
        return error;
    if (!file.commit())
        return file.errorString();
    return {};
}

} // namespace gencfg
