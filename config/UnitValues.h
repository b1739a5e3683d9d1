#pragma once

// A bench's per-unit values: a UTF-8 CSV file whose header names the key
// column ("serial" or "port") and then parameters by their tree paths, as
// show-config and diff-config print them; each further row gives one unit's
// values. An empty cell keeps the value the unit holds.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>

namespace gencfg {

// A per-unit file is a few lines a unit; anything far larger is not one.
constexpr qint64 MaxUnitValuesSize = 4 * 1024 * 1024;

struct UnitRow
{
    int line = 0; // where the row starts in the file, from 1
    QString key;
    QStringList cells; // one per parameter column, trimmed
};

struct UnitValues
{
    enum class Key { Serial, Port };

    QString fileName;
    Key key = Key::Serial;
    QStringList paths; // the parameter columns' headings, from column 2
    QVector<UnitRow> rows;

    const UnitRow *find(const QString &key) const;
    // "FILE:LINE:COLUMN: what", columns counted from 1.
    QString where(int line, int column, const QString &what) const;
};

struct UnitValuesRead
{
    std::optional<UnitValues> values;
    QString error; // names the file and, for a bad cell, its line and column
};

// Cells are separated by commas, or by semicolons when the header has
// semicolons and no comma; a cell in double quotes may hold either, and ""
// stands for one quote. Blank lines are skipped. Refused whole: UTF-16 or
// other non-UTF-8 text, a control byte, a header without a key column and at
// least one parameter, a repeated heading, a row with another number of cells
// than the header, an empty or repeated key.
UnitValuesRead ParseUnitValues(const QByteArray &content, const QString &fileName);

// Refuses directories, device nodes and files over MaxUnitValuesSize, then parses.
UnitValuesRead ReadUnitValues(const QString &path);

} // namespace gencfg
