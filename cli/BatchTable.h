#pragma once

// The batch's table on stdout, one line per unit: port, serial number, stage,
// progress and result. On a terminal it is redrawn in place; into a pipe a
// unit's line is printed again only when its stage or result changes.

#include <QHash>
#include <QList>
#include <QString>

namespace gencfg::cli {

class BatchUnit;

class BatchTable
{
public:
    explicit BatchTable(bool terminal);

    void show(const QList<BatchUnit *> &units);
    // The last drawing, then one line with the count of each result.
    void finish(const QList<BatchUnit *> &units);

    static QString stageText(const BatchUnit &unit);
    // The result alone, as the ledger names it; empty while the unit works.
    static QString outcomeText(const BatchUnit &unit);
    // The result, with the failure after a failed one.
    static QString resultText(const BatchUnit &unit);
    static QString summaryText(const QList<BatchUnit *> &units);

private:
    QString rowText(const BatchUnit &unit, int portWidth, bool withProgress) const;

    bool m_terminal;
    int m_drawn = 0; // lines of the last drawing on the terminal
    QHash<const BatchUnit *, QString> m_printed;
};

} // namespace gencfg::cli
