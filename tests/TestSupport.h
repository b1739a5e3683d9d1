#pragma once

// Small helpers the tests share: the parameter tree's rows, image bytes,
// whole files, and how to show rows and lists of texts in a failure message.

#include "config/ConfigImage.h"
#include "config/ParamModel.h"
#include "config/ParamValueText.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#endif

namespace gencfg::test {

inline QVector<CatalogueRow> treeRows(const ParamModel &tree)
{
    QVector<CatalogueRow> rows;
    for (int node = 0; node < tree.nodeCount(); ++node)
        rows << tree.row(node);
    return rows;
}

// The first node of a tree holding a value at a memory address; -1 when none does.
inline int nodeAt(const ParamModel &tree, int address)
{
    for (int node = 0; node < tree.nodeCount(); ++node) {
        if (tree.row(node).address == address && tree.row(node).kind != ParamKind::Group)
            return node;
    }
    return -1;
}

inline QByteArray bytesOf(const ConfigImageBytes &image, int from = 0, int count = 256)
{
    return QByteArray(reinterpret_cast<const char *>(image.data()) + from, count);
}

inline ConfigImageBytes filledImage(quint8 value)
{
    ConfigImageBytes image;
    image.fill(value);
    return image;
}

inline QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool writeAll(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

inline QString describe(const QStringList &texts)
{
    return texts.isEmpty() ? QStringLiteral("(no box)") : texts.join(QStringLiteral(" | "));
}

inline QString describe(const CatalogueRow &r)
{
    return QStringLiteral("%1|%2|%3|%4|%5|%6|%7|%8|%9")
        .arg(r.level)
        .arg(r.name, ValueText(r), r.units, MinText(r), MaxText(r))
        .arg(r.size)
        .arg(r.address)
        .arg(int(r.kind));
}

// Named pipes and limits on file sizes exist on Unix only; elsewhere makeFifo()
// fails, FileSizeLimit is never set, and the tests that need them skip.
inline bool makeFifo(const QString &path)
{
#ifdef Q_OS_UNIX
    return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
#else
    Q_UNUSED(path);
    return false;
#endif
}

// What is at path itself, a link not followed: "fifo", "dir", "link", "file", "other" or "none".
inline QString nodeKind(const QString &path)
{
#ifdef Q_OS_UNIX
    struct stat info = {};
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return QStringLiteral("none");
    if (S_ISFIFO(info.st_mode))
        return QStringLiteral("fifo");
    if (S_ISDIR(info.st_mode))
        return QStringLiteral("dir");
    if (S_ISLNK(info.st_mode))
        return QStringLiteral("link");
    return S_ISREG(info.st_mode) ? QStringLiteral("file") : QStringLiteral("other");
#else
    const QFileInfo info(path);
    if (info.isSymLink())
        return QStringLiteral("link");
    if (!info.exists())
        return QStringLiteral("none");
    return info.isDir()    ? QStringLiteral("dir")
           : info.isFile() ? QStringLiteral("file")
                           : QStringLiteral("other");
#endif
}

// A disk that fills up: while this lives, no file of the process grows beyond
// the given size; a write that crosses it is taken in part, the next one fails.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(qint64 bytes)
    {
#ifdef Q_OS_UNIX
        m_saved = ::getrlimit(RLIMIT_FSIZE, &m_before) == 0;
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_before;
        limit.rlim_cur = rlim_t(bytes);
        m_set = m_saved && ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
#else
        Q_UNUSED(bytes);
#endif
    }
    ~FileSizeLimit()
    {
#ifdef Q_OS_UNIX
        if (m_saved)
            ::setrlimit(RLIMIT_FSIZE, &m_before);
        std::signal(SIGXFSZ, m_handler);
#endif
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;
    bool isSet() const
    {
        return m_set;
    }

private:
#ifdef Q_OS_UNIX
    rlimit m_before = {};
    void (*m_handler)(int) = nullptr;
    bool m_saved = false;
#endif
    bool m_set = false;
};

} // namespace gencfg::test

namespace gencfg {
// How QCOMPARE shows a catalogue row that differs.
inline char *toString(const CatalogueRow &row)
{
    return qstrdup(qPrintable(test::describe(row)));
}
} // namespace gencfg
