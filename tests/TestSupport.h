#pragma once

// Small helpers the tests share: the parameter tree as texts, image bytes,
// whole files, and how to show a list of texts in a failure message.

#include "config/ConfigImage.h"
#include "config/ParamModel.h"

#include <QByteArray>
#include <QFile>
#include <QStringList>

namespace gencfg::test {

inline QStringList treeTexts(const ParamModel &tree)
{
    QStringList texts;
    for (int node = 0; node < tree.nodeCount(); ++node)
        texts << tree.nodeText(node);
    return texts;
}

// The first node of a tree holding a value at a memory address; -1 when none does.
inline int nodeAt(const ParamModel &tree, int address)
{
    for (int node = 0; node < tree.nodeCount(); ++node) {
        if (tree.field(node, FieldAddress) == QString::number(address) &&
            tree.field(node, FieldKind) != QLatin1String("0"))
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

} // namespace gencfg::test
