#include "config/ParamLimits.h"

#include "config/ParamChanges.h"

#include "config/ParamEditRules.h"
#include "config/ParamModel.h"

#include <QCoreApplication>
#include <QLocale>
#include <QRegularExpression>
#include <QStringList>

namespace gencfg {

namespace {

bool isPlainInteger(const QString &text)
{
    static const QRegularExpression integer(QStringLiteral("^[+-]?[0-9]+$"));
    return integer.match(text).hasMatch();
}

} // namespace

std::optional<ValueLimits> LimitsOf(const QString &min, const QString &max)
{
    ValueLimits limits;
    // Limits are catalogue texts in plain notation, whatever the user's locale.
    if (min.isEmpty() || max.isEmpty() || !ParseDecimal(min, QLocale::c(), &limits.min) ||
        !ParseDecimal(max, QLocale::c(), &limits.max))
        return std::nullopt;
    return limits;
}

bool WithinLimits(double value, const ValueLimits &limits)
{
    return value >= limits.min && value <= limits.max;
}

bool WithinLimits(const QString &value, const QString &min, const QString &max)
{
    const std::optional<ValueLimits> limits = LimitsOf(min, max);
    if (!limits)
        return true;
    // The tree holds whole numbers in plain digits; anything else cannot be within.
    double number = 0;
    return isPlainInteger(value) && ParseDecimal(value, QLocale::c(), &number) &&
           WithinLimits(number, *limits);
}

bool OutsideLimits(const ParamModel &tree, int node)
{
    if (node < 0 || node >= tree.nodeCount())
        return false;
    const CatalogueRow &row = tree.row(node);
    return !WithinLimits(row.value, row.min, row.max);
}

QVector<ValueOutsideLimits> ValuesOutsideLimits(const ParamModel &tree)
{
    QVector<ValueOutsideLimits> values;
    for (int node = 0; node < tree.nodeCount(); ++node) {
        if (const CatalogueRow &row = tree.row(node); OutsideLimits(tree, node))
            values.append({node, tree.path(node), row.value, row.min, row.max});
    }
    return values;
}

QString OutsideLimitsText(const QString &min, const QString &max)
{
    return QCoreApplication::translate("ParamLimits", "Вне допустимых пределов: %1…%2").arg(min, max);
}

QString OutsideLimitsBelowText(int count)
{
    return QCoreApplication::translate("ParamLimits", "Параметров вне допустимых пределов: %1").arg(count);
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
