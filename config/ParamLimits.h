#pragma once

// Whether a parameter's value lies within the limits its catalogue row gives
// it. One rule for the tree's marks, the window's write and gencfg-cli; files
// and controllers may hold any byte, so values outside are shown, not refused.

#include <QString>
#include <QVector>
#include <optional>

namespace gencfg {

class ParamModel;

// Inclusive limits, as the row's "Мин. знач" and "Макс.знач." texts give them.
struct ValueLimits
{
    double min = 0;
    double max = 0;
};

// Nothing when either text is empty or not a number: such a row bounds nothing.
std::optional<ValueLimits> LimitsOf(const QString &min, const QString &max);
bool WithinLimits(double value, const ValueLimits &limits);
// A value text of the tree: within when it is a plain decimal integer from min to max.
bool WithinLimits(const QString &value, const QString &min, const QString &max);

// Whether a node holds a value outside its row's limits.
bool OutsideLimits(const ParamModel &tree, int node);

struct ValueOutsideLimits
{
    int node = -1;
    QString path;
    QString value;
    QString min;
    QString max;
};

// Every node whose value lies outside its limits, in tree order.
QVector<ValueOutsideLimits> ValuesOutsideLimits(const ParamModel &tree);

// The mark of a row outside its limits, and of a row with such rows below it.
QString OutsideLimitsText(const QString &min, const QString &max);
QString OutsideLimitsBelowText(int count);
// Why "Записать" sends nothing: the first ten rows (path, value, limits), then how many more.
QString OutsideLimitsWriteRefusal(const QVector<ValueOutsideLimits> &values);

} // namespace gencfg
