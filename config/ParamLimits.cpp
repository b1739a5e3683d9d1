#include "config/ParamLimits.h"

#include "config/ParamChanges.h"
#include "config/ParamModel.h"
#include "config/ParamValueText.h"

#include <QCoreApplication>
#include <QStringList>

namespace gencfg {

bool WithinLimits(double value, const ValueLimits &limits)
{
    return value >= limits.min && value <= limits.max;
}

bool OutsideLimits(const CatalogueRow &row)
{
    if (!row.limits)
        return false;
    if (row.value.isNumber())
        return !WithinLimits(double(row.value.number), *row.limits);
    // A text value (a phone's digits) is within only as a plain whole number.
    const std::optional<qint64> number = row.value.isText() ? WholeNumber(row.value.text) : std::nullopt;
    return !number || !WithinLimits(double(*number), *row.limits);
}

bool OutsideLimits(const ParamModel &tree, int node)
{
    return node >= 0 && node < tree.nodeCount() && OutsideLimits(tree.row(node));
}

QVector<ValueOutsideLimits> ValuesOutsideLimits(const ParamModel &tree)
{
    QVector<ValueOutsideLimits> values;
    for (int node = 0; node < tree.nodeCount(); ++node) {
        if (const CatalogueRow &row = tree.row(node); OutsideLimits(row))
            values.append({node, tree.path(node), ValueText(row), MinText(row), MaxText(row)});
    }
    return values;
}

QString OutsideLimitsText(const CatalogueRow &row)
{
    return QCoreApplication::translate("ParamLimits", "Вне допустимых пределов: %1…%2")
        .arg(MinText(row), MaxText(row));
}

QString OutsideLimitsBelowText(int count)
{
    return QCoreApplication::translate("ParamLimits", "Параметров вне допустимых пределов: %1").arg(count);
}

QString AllowedRangeText(const CatalogueRow &row)
{
    return QCoreApplication::translate("ParamLimits", "Допустимо: %1…%2").arg(MinText(row), MaxText(row));
}

QString OutsideLimitsWriteRefusal(const QVector<ValueOutsideLimits> &values)
{
    QStringList lines;
    for (const ValueOutsideLimits &v : values)
        lines.append(QCoreApplication::translate("ParamLimits", "%1: %2 (допустимо %3…%4)")
                         .arg(v.path, v.value, v.min, v.max));
    return ShortListText(QCoreApplication::translate(
                             "ParamLimits", "Параметры не записаны: значения вне допустимых пределов."),
                         lines);
}

} // namespace gencfg
