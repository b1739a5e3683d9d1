#pragma once

// Which parameters differ: between the tree and the values the controller
// holds, between what was written and what was read back, between two
// parameter sets. Only coded parameters count; bytes no parameter owns
// (the engine-hour counter, the read-only fields, unassigned addresses)
// never do.

#include "config/ConfigImage.h"

#include <QString>
#include <QVector>

namespace gencfg {

class ParamModel;

struct ParamDifference
{
    int node = -1;
    QString path;
    QString first;  // the baseline, what was written, side A
    QString second; // the tree, what was read back, side B
};

enum class Compare {
    Bytes,  // a parameter differs when any of its bytes does
    Values, // a parameter differs when its values do
};

// The coded parameters of the layout's catalogue that differ between two
// images, in tree order, each with the value text both images give it.
QVector<ParamDifference> DifferingParams(const ParamModel &layout, const ConfigImageBytes &first,
                                         const ConfigImageBytes &second, Compare compare);

// Whether a read-back proves a write, given the parameters that differ between
// them: a layout without a whole catalogue has nothing to compare, so proves nothing.
bool WriteProven(const ParamModel &layout, const QVector<ParamDifference> &differences);

// Whether a node's value in the tree codes otherwise than the baseline holds
// it. A value that cannot be coded differs.
bool DiffersFromBaseline(const ParamModel &tree, int node, const ConfigImageBytes &baseline);

// The change list's column headings: "Параметр", "В устройстве", "Новое значение".
QStringList ChangeListHeadings();
// A list as copied: the headings, then one tab-separated line per parameter
// (tree path, the first value, the second value).
QString ChangeListText(const QVector<ParamDifference> &changes,
                       const QStringList &headings = ChangeListHeadings());

// A heading over the first ten of lines, then how many more.
QString ShortListText(const QString &heading, const QStringList &lines);

// What a write tells when the read-back differs: the first ten parameters
// (tree path, wanted, found), then how many more.
QString UnprovenWriteText(const QVector<ParamDifference> &differences);

// The tooltip of a changed row and of a row with changes below it.
QString BaselineValueText(const QString &value);
QString ChangesBelowText(int count);

} // namespace gencfg
