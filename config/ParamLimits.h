#pragma once

// Whether a parameter's value lies within the limits its catalogue row gives
// it. One rule for the tree's marks, the window's write and gencfg-cli; files
// and controllers may hold any byte, so values outside are shown, not refused.

#include <QString>
#include <QVector>

namespace gencfg {

class ParamModel;
struct CatalogueRow;

// Inclusive limits, as the row's "Мин. знач" and "Макс.знач." columns show them.
struct ValueLimits
{
    double min = 0;
    double max = 0;
};

bool WithinLimits(double value, const ValueLimits &limits);

// Whether a row's value lies outside its limits; a row without limits bounds nothing,
// and a value that is no whole number (a phone with other characters) cannot be within.
bool OutsideLimits(const CatalogueRow &row);
bool OutsideLimits(const ParamModel &tree, int node);

struct ValueOutsideLimits
{
    int node = -1;
    QString path;
    QString value;
    QString min;
    QString max;
};

// Every node whose value lies outside its limits, in tree order, with the texts that name them.
QVector<ValueOutsideLimits> ValuesOutsideLimits(const ParamModel &tree);

// The mark of a row outside its limits, and of a row with such rows below it.
QString OutsideLimitsText(const CatalogueRow &row);
QString OutsideLimitsBelowText(int count);
// The limits a value must keep: "Допустимо: 160…220".
QString AllowedRangeText(const CatalogueRow &row);
// Why "Записать" sends nothing: the first ten rows (path, value, limits), then how many more.
QString OutsideLimitsWriteRefusal(const QVector<ValueOutsideLimits> &values);

} // namespace gencfg
