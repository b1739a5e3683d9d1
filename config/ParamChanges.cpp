#include "config/ParamChanges.h"

#include "config/ParamModel.h"
#include "config/ParamValueText.h"
#include "link/DeviceText.h"

#include <QCoreApplication>
#include <QStringList>

namespace gencfg {

namespace {

constexpr int ListedAtMost = 10;

bool SpanDiffers(const ConfigImageBytes &a, const ConfigImageBytes &b, const ByteSpan &span)
{
    for (int i = span.start; i < span.start + span.width; ++i) {
        if (a[size_t(i)] != b[size_t(i)])
            return true;
    }
    return false;
}

} // namespace

QVector<ParamDifference> DifferingParams(const ParamModel &layout, const ConfigImageBytes &first,
                                         const ConfigImageBytes &second, Compare compare)
{
    QVector<ParamDifference> differences;
    for (int node = 0; node < layout.nodeCount(); ++node) {
        const std::optional<ByteSpan> span = CodedSpan(layout, node);
        if (!span)
            continue;
        const std::optional<ParamValue> a = DecodedValue(first, layout, node);
        const std::optional<ParamValue> b = DecodedValue(second, layout, node);
        const bool differs = compare == Compare::Bytes ? SpanDiffers(first, second, *span) : a != b;
        const ParamKind kind = layout.row(node).kind;
        if (differs)
            differences.append({node, layout.path(node),
                                PrintableText(ValueText(kind, a.value_or(ParamValue()))),
                                PrintableText(ValueText(kind, b.value_or(ParamValue())))});
    }
    return differences;
}

bool WriteProven(const ParamModel &layout, const QVector<ParamDifference> &differences)
{
    return differences.isEmpty() && CatalogueInTree(layout).has_value();
}

bool DiffersFromBaseline(const ParamModel &tree, int node, const ConfigImageBytes &baseline)
{
    const std::optional<ByteSpan> span = CodedSpan(tree, node);
    if (!span)
        return false;
    // The node coded alone over a blank field, as a full encode would leave it.
    ConfigImageBytes coded = baseline;
    std::fill_n(coded.begin() + span->start, span->width, quint8(0xFF));
    if (!EncodeNode(tree, node, coded).ok)
        return true;
    return SpanDiffers(coded, baseline, *span);
}

QStringList ChangeListHeadings()
{
    return {QCoreApplication::translate("ParamChanges", "Параметр"),
            QCoreApplication::translate("ParamChanges", "В устройстве"),
            QCoreApplication::translate("ParamChanges", "Новое значение")};
}

QString ChangeListText(const QVector<ParamDifference> &changes, const QStringList &headings)
{
    QStringList lines{headings.join(QLatin1Char('\t'))};
    for (const ParamDifference &change : changes)
        lines.append(QStringList{change.path, change.first, change.second}.join(QLatin1Char('\t')));
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

QString UnprovenWriteText(const QVector<ParamDifference> &differences)
{
    QStringList lines;
    for (const ParamDifference &d : differences)
        lines.append(QCoreApplication::translate("ParamChanges", "%1: записано \"%2\", прочитано \"%3\"")
                         .arg(d.path, d.first, d.second));
    return ShortListText(QCoreApplication::translate(
                             "ParamChanges", "Запись не подтверждена: устройство вернуло другие значения."),
                         lines);
}

QString ShortListText(const QString &heading, const QStringList &lines)
{
    QStringList shown{heading};
    shown.append(lines.mid(0, ListedAtMost));
    if (lines.size() > ListedAtMost)
        shown.append(
            QCoreApplication::translate("ParamChanges", "и ещё %1").arg(lines.size() - ListedAtMost));
    return shown.join(QLatin1Char('\n'));
}

QString BaselineValueText(const QString &value)
{
    return QCoreApplication::translate("ParamChanges", "В устройстве: %1").arg(PrintableText(value));
}

QString ChangesBelowText(int count)
{
    return QCoreApplication::translate("ParamChanges", "Изменено параметров: %1").arg(count);
}

} // namespace gencfg
