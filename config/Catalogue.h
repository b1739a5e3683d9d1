#pragma once

// The controller's parameter catalogue: for each device variant, every
// parameter the user sees, its place in the tree, default, unit, limits and
// where and how it is stored in the 256-byte configuration memory.

#include "config/ParamLimits.h"
#include "config/ParamValue.h"
#include "link/Commands.h"

#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>

namespace gencfg {

enum class ParamKind : quint8 {
    Group = 0,
    Number = 1,
    OnOff = 2,
    Language = 3,
    MessageType = 4,
    Temperature = 5,
    EngineType = 6,
    AccessLevel = 7,
    TestStartMode = 8,
    ReadOnly = 255,
};

struct CatalogueRow
{
    int level = 1;
    QString name;
    ParamValue value;
    QString units;
    std::optional<ValueLimits> limits; // none: the value is bounded by its field alone
    int size = 0;                      // bytes of memory the value takes
    int address = 0;                   // its first byte
    ParamKind kind = ParamKind::Group;
};
bool operator==(const CatalogueRow &a, const CatalogueRow &b);

using ParamTable = QVector<CatalogueRow>;

const ParamTable &PetrolParams();
const ParamTable &DieselParams();
const ParamTable &DryContactParams();

// The table of a variant and its highest row index (83, 82, 80).
const ParamTable &CatalogueFor(DeviceVariant variant);
int HighestIndexFor(DeviceVariant variant);

// "petrol", "diesel" or "dry", as command lines name the variants.
std::optional<DeviceVariant> VariantFromName(const QString &name);
// The variant a status frame's code names; nothing for any other code.
std::optional<DeviceVariant> VariantFromCode(quint8 code);
// The three variants in the order the variant combo lists them.
constexpr DeviceVariant Variants[] = {DeviceVariant::Petrol, DeviceVariant::Diesel,
                                      DeviceVariant::DryContact};
// The variant combo's item text, trailing blank included: "КУВ-бензин v2.0 ".
QString VariantTitle(DeviceVariant variant);

// The option texts of an option kind in code order, as the window shows them
// (translated where a translator is installed); empty for other kinds.
QStringList OptionTexts(ParamKind kind);
inline bool IsOptionKind(ParamKind kind)
{
    switch (kind) {
    case ParamKind::OnOff:
    case ParamKind::Language:
    case ParamKind::MessageType:
    case ParamKind::EngineType:
    case ParamKind::AccessLevel:
    case ParamKind::TestStartMode:
        return true;
    default:
        return false;
    }
}
// Whether a row takes a typed value: a number, a text or a temperature.
inline bool IsNumberKind(ParamKind kind)
{
    return kind == ParamKind::Number || kind == ParamKind::Temperature;
}

// A catalogue row as the tree shows it: name and units translated where a translator is installed.
CatalogueRow ShownParam(const CatalogueRow &row);

} // namespace gencfg
