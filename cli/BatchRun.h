#pragma once

// A batch: every unit on the bench read, its plan made from the template and
// its row of per-unit values, then written and proven, all units at once on
// one event loop. Without --watch the plans wait until every unit is read, so
// a per-unit value that cannot be used stops the batch before anything is
// written; with --watch each port that appears is a new unit, planned as soon
// as it is read.

#include "cli/BatchLedger.h"
#include "cli/BatchTable.h"
#include "cli/BatchUnit.h"
#include "config/UnitValues.h"

#include <QHash>
#include <QObject>
#include <QSet>
#include <QTimer>
#include <optional>

namespace gencfg::cli {

struct BatchSettings
{
    ConfigImageBytes templateImage{};
    std::optional<DeviceVariant> variant;
    std::optional<UnitValues> values;
    QStringList ports; // with watch and none given: the system's serial ports
    bool watch = false;
};

// What a batch stopped by its input tells last.
inline QString NothingWrittenText()
{
    return QStringLiteral("nothing written to any controller");
}

class BatchRun : public QObject
{
    Q_OBJECT
public:
    // The ledger may be closed: then no line is kept.
    BatchRun(BatchSettings settings, BatchLedger &ledger, BatchTable &table, QObject *parent = nullptr);

    void start();
    // Ctrl+C: every unit stops after the request on its line.
    void stop();
    int exitStatus() const;

    // How often a watching batch looks for ports that came or went.
    static constexpr int WatchPollMs = 500;

Q_SIGNALS:
    void done();

private:
    BatchUnit *addUnit(const QString &port);
    void onUnitRead(BatchUnit *unit);
    void onUnitFinished(BatchUnit *unit);
    void planAll();
    // Two units read with one serial number: an error when a row is keyed by it, else a note on
    // each (or on only that one) waiting for its plan.
    QString checkRepeatedSerials(const QList<BatchUnit *> &units, BatchUnit *only = nullptr);
    void recordInLedger(BatchUnit *unit);
    // The plan for a unit read, or the error naming the cell that cannot be used.
    UnitPlan planFor(const BatchUnit &unit);
    void pollPorts();
    QStringList presentPorts() const;
    void redraw();
    void checkDone();

    BatchSettings m_settings;
    BatchLedger &m_ledger;
    BatchTable &m_table;
    QList<BatchUnit *> m_units;
    QHash<QString, BatchUnit *> m_onPort; // watched ports with the unit of the device on each
    QSet<QString> m_presentAtStart;
    QTimer m_poll;
    QTimer m_redraw;
    bool m_stopping = false;
    bool m_inputError = false;
    bool m_planned = false; // the units read have their plans
    bool m_ledgerInUse = false;
    bool m_ledgerFailed = false;
    bool m_done = false;
};

} // namespace gencfg::cli
