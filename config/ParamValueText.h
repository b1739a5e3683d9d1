#pragma once

// A parameter's value as text: as the tree, files and messages show it, and
// as a technician or a values file gives it.

#include "config/Catalogue.h"

#include <QString>
#include <optional>

namespace gencfg {

// The shown text of a value: a number in plain digits, an option's text, a text as held.
QString ValueText(ParamKind kind, const ParamValue &value);
inline QString ValueText(const CatalogueRow &row)
{
    return ValueText(row.kind, row.value);
}

// The value a text gives a row, or nothing when the row cannot hold it: an option row takes
// one of its option texts, a row coded in 1, 2 or 4 bytes a plain whole number that fits 32
// bits, any other row the text itself as long as a controller could hand it back.
std::optional<ParamValue> ValueFromText(const CatalogueRow &row, const QString &text);

// A plain decimal whole number with an optional sign, as the tree and the catalogue write them.
std::optional<qint64> WholeNumber(const QString &text);

// The limits as the "Мин. знач" and "Макс.знач." columns show them; empty without limits.
QString MinText(const CatalogueRow &row);
QString MaxText(const CatalogueRow &row);

} // namespace gencfg
