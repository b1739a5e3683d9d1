#pragma once

// What a bench writes to one unit: the template's values with the unit's own
// row of per-unit values over them, compared with what the unit holds, so
// that only the blocks holding a differing parameter are written.

#include "config/ConfigImage.h"
#include "config/ConfigTransfer.h"
#include "config/ParamChanges.h"

#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>

namespace gencfg {

class ParamModel;
struct UnitRow;
struct UnitValues;

// The node a per-unit column names in a tree (column 0 is the first after the
// key). It must be a parameter a write codes; otherwise the error names the
// file, the header line and the column.
QString ColumnNode(const UnitValues &values, int column, const ParamModel &tree, int &node);

// Why a parameter set cannot be written with a variant's catalogue: its values
// outside their limits, a line each (path, value, limits); empty when it can.
QString TemplateRefusal(const ConfigImageBytes &templateImage, DeviceVariant variant);

struct UnitPlan
{
    QString error;                    // a cell that cannot be used, named by file, line and column
    ConfigImageBytes wanted{};        // the unit's memory as the write must leave it
    QVector<ParamDifference> changes; // path, the unit's value, the value written
    BlockSelection blocks{};          // the write-plan blocks holding a change
    bool needsWrite() const { return !changes.isEmpty(); }
};

// The template's value for every parameter, except that a row's non-empty
// cell gives its own, checked as the value dialog checks a typed or chosen
// value, and an empty cell keeps the unit's value. A parameter whose value
// the unit already holds is left as it is, bytes and all; so are bytes no
// parameter owns.
UnitPlan PlanUnit(const ConfigImageBytes &templateImage, DeviceVariant variant, const UnitValues *values,
                  const UnitRow *row, const ConfigImageBytes &unitImage);

// What a write of a plan left on the unit: the changes whose blocks were sent
// and, with a read-back, read back as written; those sent that no read-back
// proved are also named as uncertain.
struct PlanReached
{
    QVector<ParamDifference> changes;
    QStringList uncertain; // tree paths
};
PlanReached ReachedChanges(const UnitPlan &plan, DeviceVariant variant, int blocksWritten,
                           const std::optional<ConfigImageBytes> &readBack);

} // namespace gencfg
