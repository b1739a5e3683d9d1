#include "cli/BatchTable.h"

#include "cli/BatchLedger.h"
#include "cli/BatchUnit.h"
#include "cli/Console.h"

namespace gencfg::cli {

BatchTable::BatchTable(bool terminal) : m_terminal(terminal)
{}

QString BatchTable::stageText(const BatchUnit &unit)
{
    switch (unit.stage()) {
    case BatchUnit::Stage::Opening:
        return QStringLiteral("ожидание");
    case BatchUnit::Stage::Reading:
        return QStringLiteral("чтение");
    case BatchUnit::Stage::Read:
        return QStringLiteral("прочитан");
    case BatchUnit::Stage::Writing:
        return QStringLiteral("запись");
    case BatchUnit::Stage::Proving:
        return QStringLiteral("проверка");
    case BatchUnit::Stage::Finished:
        break;
    }
    return QStringLiteral("готово");
}

QString BatchTable::outcomeText(const BatchUnit &unit)
{
    switch (unit.outcome()) {
    case BatchUnit::Outcome::Pending:
        return {};
    case BatchUnit::Outcome::Proven:
        return ProvenText();
    case BatchUnit::Outcome::AlreadyConfigured:
        return AlreadyConfiguredText();
    case BatchUnit::Outcome::Failed:
        break;
    }
    return FailedText();
}

QString BatchTable::resultText(const BatchUnit &unit)
{
    const QString outcome = outcomeText(unit);
    return unit.outcome() == BatchUnit::Outcome::Failed ? outcome + QStringLiteral(": ") + unit.failure()
                                                        : outcome;
}

QString BatchTable::rowText(const BatchUnit &unit, int portWidth, bool withProgress) const
{
    QString row = unit.port().leftJustified(portWidth) + QLatin1Char(' ') +
                  (unit.serial().isEmpty() ? QStringLiteral("-") : unit.serial()).leftJustified(8) +
                  QLatin1Char(' ') + stageText(unit).leftJustified(9);
    if (withProgress)
        row += QStringLiteral(" %1%").arg(unit.percent(), 3);
    const QString result = resultText(unit);
    if (!result.isEmpty())
        row += QLatin1Char(' ') + result;
    if (!unit.note().isEmpty())
        row += QStringLiteral(" (") + unit.note() + QLatin1Char(')');
    return row;
}

void BatchTable::show(const QList<BatchUnit *> &units)
{
    int portWidth = 4;
    for (const BatchUnit *unit : units)
        portWidth = qMax(portWidth, int(unit->port().size()));
    if (!m_terminal) {
        for (const BatchUnit *unit : units) {
            const QString row = rowText(*unit, portWidth, false);
            if (m_printed.value(unit) != row) {
                m_printed.insert(unit, row);
                PrintOut(row + QLatin1Char('\n'));
            }
        }
        return;
    }
    // Back to the table's first line, each line rewritten and the rest of it cleared.
    QString drawing = m_drawn > 0 ? QStringLiteral("\x1b[%1F").arg(m_drawn) : QString();
    for (const BatchUnit *unit : units)
        drawing += rowText(*unit, portWidth, true) + QStringLiteral("\x1b[K\n");
    m_drawn = int(units.size());
    PrintOut(drawing);
}

QString BatchTable::summaryText(const QList<BatchUnit *> &units)
{
    int proven = 0;
    int configured = 0;
    int failed = 0;
    for (const BatchUnit *unit : units) {
        proven += unit->outcome() == BatchUnit::Outcome::Proven;
        configured += unit->outcome() == BatchUnit::Outcome::AlreadyConfigured;
        failed +=
            unit->outcome() == BatchUnit::Outcome::Failed || unit->outcome() == BatchUnit::Outcome::Pending;
    }
    return QStringLiteral("%1: %2, %3: %4, %5: %6")
        .arg(ProvenText())
        .arg(proven)
        .arg(AlreadyConfiguredText())
        .arg(configured)
        .arg(FailedText())
        .arg(failed);
}

void BatchTable::finish(const QList<BatchUnit *> &units)
{
    show(units);
    PrintOut(summaryText(units) + QLatin1Char('\n'));
}

} // namespace gencfg::cli
