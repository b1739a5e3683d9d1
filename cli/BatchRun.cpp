#include "cli/BatchRun.h"

#include "cli/Console.h"
#include "cli/ExitStatus.h"
#include "config/CsvCells.h"
#include "config/ParamModel.h"
#include "link/NetworkPortName.h"
#include "monitor/TelemetryJson.h"

#include <QFileInfo>
#include <QSerialPortInfo>

namespace gencfg::cli {

namespace {

constexpr int RedrawMs = 100;

QString ChangedParam(const ParamDifference &change)
{
    return change.path + QLatin1Char('=') + change.second;
}

} // namespace

BatchRun::BatchRun(BatchSettings settings, BatchLedger &ledger, BatchTable &table, QObject *parent)
    : QObject(parent), m_settings(std::move(settings)), m_ledger(ledger), m_table(table),
      m_ledgerInUse(ledger.isOpen())
{
    m_poll.setInterval(WatchPollMs);
    connect(&m_poll, &QTimer::timeout, this, &BatchRun::pollPorts);
    m_redraw.setSingleShot(true);
    m_redraw.setInterval(RedrawMs);
    connect(&m_redraw, &QTimer::timeout, this, [this] { m_table.show(m_units); });
}

void BatchRun::start()
{
    if (!m_settings.watch) {
        // Every unit exists before any starts: one failing at once must not look like the last one.
        QList<BatchUnit *> units;
        for (const QString &port : std::as_const(m_settings.ports))
            units.append(addUnit(port));
        for (BatchUnit *unit : std::as_const(units))
            unit->start();
        return;
    }
    // Without named ports, the ports already there when the watch begins are the computer's own.
    if (m_settings.ports.isEmpty()) {
        const QStringList present = presentPorts();
        m_presentAtStart = QSet<QString>(present.cbegin(), present.cend());
    }
    m_poll.start();
    pollPorts();
}

void BatchRun::stop()
{
    m_stopping = true;
    m_poll.stop();
    for (BatchUnit *unit : std::as_const(m_units))
        unit->stop();
    checkDone();
}

QStringList BatchRun::presentPorts() const
{
    QStringList present;
    if (!m_settings.ports.isEmpty()) {
        for (const QString &port : m_settings.ports) {
            // A network port has no node to look at: its unit tells when its device is away.
            if (IsNetworkPortName(port) || QFileInfo::exists(port))
                present.append(port);
        }
        return present;
    }
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts())
        present.append(info.systemLocation());
    return present;
}

void BatchRun::pollPorts()
{
    if (m_ledgerFailed)
        return;
    const QStringList present = presentPorts();
    // A port gone, or with another device behind it, is free for the next controller.
    for (auto it = m_onPort.begin(); it != m_onPort.end();) {
        BatchUnit *unit = it.value();
        if (!present.contains(it.key()) ||
            (unit->outcome() != BatchUnit::Outcome::Pending && unit->deviceReplaced())) {
            unit->closePort();
            it = m_onPort.erase(it);
        } else {
            ++it;
        }
    }
    for (const QString &port : present) {
        if (!m_onPort.contains(port) && !m_presentAtStart.contains(port))
            addUnit(port)->start();
    }
}

BatchUnit *BatchRun::addUnit(const QString &port)
{
    auto *unit = new BatchUnit(port, m_settings.variant, this);
    m_units.append(unit);
    m_onPort.insert(port, unit);
    connect(unit, &BatchUnit::changed, this, &BatchRun::redraw);
    connect(unit, &BatchUnit::readDone, this, [this, unit] { onUnitRead(unit); });
    connect(unit, &BatchUnit::finished, this, [this, unit] { onUnitFinished(unit); });
    redraw();
    return unit;
}

void BatchRun::redraw()
{
    if (!m_redraw.isActive())
        m_redraw.start();
}

void BatchRun::onUnitRead(BatchUnit *unit)
{
    if (m_stopping) {
        unit->stop();
        return;
    }
    if (const QString proven = m_ledger.provenAt(unit->serial());
        !proven.isEmpty() && !unit->serial().isEmpty())
        unit->addNote(QStringLiteral("в журнале: %1 %2").arg(ProvenText(), proven));
    if (m_settings.watch) {
        if (const QString ambiguous = checkRepeatedSerials(m_onPort.values(), unit); !ambiguous.isEmpty()) {
            unit->fail(ambiguous, InputError);
            return;
        }
        const UnitPlan plan = planFor(*unit);
        if (plan.error.isEmpty())
            unit->write(plan);
        else
            unit->fail(plan.error, InputError);
        return;
    }
    planAll();
}

void BatchRun::planAll()
{
    if (m_planned || m_stopping)
        return;
    for (const BatchUnit *unit : std::as_const(m_units)) {
        if (unit->stage() != BatchUnit::Stage::Read && unit->stage() != BatchUnit::Stage::Finished)
            return;
    }
    m_planned = true;
    QStringList errors;
    QHash<BatchUnit *, UnitPlan> plans;
    bool allRead = true;
    QSet<QString> serials;
    if (const QString ambiguous = checkRepeatedSerials(m_units); !ambiguous.isEmpty())
        errors.append(ambiguous);
    for (BatchUnit *unit : std::as_const(m_units)) {
        if (unit->stage() != BatchUnit::Stage::Read) {
            allRead = false;
            continue;
        }
        serials.insert(unit->serial());
        const UnitPlan plan = planFor(*unit);
        if (!plan.error.isEmpty() && !errors.contains(plan.error))
            errors.append(plan.error);
        plans.insert(unit, plan);
    }
    if (m_settings.values && m_settings.values->key == UnitValues::Key::Serial) {
        for (const UnitRow &row : std::as_const(m_settings.values->rows)) {
            if (serials.contains(row.key))
                continue;
            const QString missing = m_settings.values->where(
                row.line, 1,
                QStringLiteral("no controller on the bench has serial number %1").arg(QuotedInput(row.key)));
            // A unit that could not be read may be the one; the units read are still configured.
            if (allRead)
                errors.append(missing);
            else
                PrintErr(missing + QStringLiteral(" (or it is one of those not read)\n"));
        }
    }
    if (!errors.isEmpty()) {
        m_inputError = true;
        for (const QString &error : std::as_const(errors))
            PrintErr(error + QLatin1Char('\n'));
        PrintErr(NothingWrittenText() + QLatin1Char('\n'));
        for (BatchUnit *unit : std::as_const(m_units))
            unit->fail(QStringLiteral("not written: the input cannot be used"), InputError);
        return;
    }
    for (auto it = plans.cbegin(); it != plans.cend(); ++it)
        it.key()->write(it.value());
}

QString BatchRun::checkRepeatedSerials(const QList<BatchUnit *> &units, BatchUnit *only)
{
    QHash<QString, QStringList> portsOf;
    for (const BatchUnit *unit : units) {
        if (unit->wasRead() && !unit->serial().isEmpty())
            portsOf[unit->serial()].append(unit->port());
    }
    const std::optional<UnitValues> &values = m_settings.values;
    for (BatchUnit *unit : units) {
        const QStringList ports = portsOf.value(unit->serial());
        if (ports.size() < 2 || unit->stage() != BatchUnit::Stage::Read || (only && unit != only))
            continue;
        if (values && values->key == UnitValues::Key::Serial) {
            if (const UnitRow *row = values->find(unit->serial()))
                return values->where(row->line, 1,
                                     QStringLiteral("serial number %1 is reported by %2 controllers on the "
                                                    "bench: %3")
                                         .arg(unit->serial())
                                         .arg(ports.size())
                                         .arg(ports.join(QStringLiteral(", "))));
        }
        QStringList others = ports;
        others.removeAll(unit->port());
        unit->addNote(QStringLiteral("serial number %1 also on %2")
                          .arg(unit->serial(), others.join(QStringLiteral(", "))));
    }
    return {};
}

UnitPlan BatchRun::planFor(const BatchUnit &unit)
{
    const std::optional<UnitValues> &values = m_settings.values;
    const UnitRow *row = nullptr;
    if (values)
        row = values->find(values->key == UnitValues::Key::Serial ? unit.serial() : unit.port());
    UnitPlan plan;
    plan.error = TemplateRefusal(m_settings.templateImage, *unit.variant());
    if (!plan.error.isEmpty()) {
        plan.error.prepend(QStringLiteral("the template cannot be written to %1:\n")
                               .arg(VariantTitle(*unit.variant()).trimmed()));
        return plan;
    }
    return PlanUnit(m_settings.templateImage, *unit.variant(), values ? &*values : nullptr, row,
                    unit.image());
}

void BatchRun::onUnitFinished(BatchUnit *unit)
{
    if (m_settings.watch)
        unit->watchDevice();
    // A batch stopped by bad input finished no unit: nothing was done to record.
    if (m_ledgerInUse && !m_inputError)
        recordInLedger(unit);
    redraw();
    // A unit that failed before it was read may be the last the others wait for.
    if (!m_settings.watch)
        planAll();
    checkDone();
}

void BatchRun::recordInLedger(BatchUnit *unit)
{
    LedgerLine line;
    line.time = LedgerTime();
    line.port = unit->port();
    line.serial = unit->serial();
    line.variant = unit->variant() ? VariantName(quint8(*unit->variant())) : QString();
    line.result = BatchTable::outcomeText(*unit);
    for (const ParamDifference &change : unit->changes())
        line.changed.append(ChangedParam(change));
    line.failure = unit->failure();
    QStringList notes;
    if (m_settings.values && unit->wasRead() &&
        !m_settings.values->find(m_settings.values->key == UnitValues::Key::Serial ? unit->serial()
                                                                                   : unit->port()))
        notes.append(QStringLiteral("no row in %1: the template alone").arg(m_settings.values->fileName));
    if (!unit->uncertain().isEmpty())
        notes.append(QStringLiteral("sent but not read back, uncertain: %1")
                         .arg(unit->uncertain().join(QStringLiteral("; "))));
    if (!unit->note().isEmpty())
        notes.append(unit->note());
    line.note = notes.join(QStringLiteral("; "));
    const QString failure = m_ledger.append(line);
    if (failure.isEmpty())
        return;
    if (!m_ledgerFailed) {
        m_ledgerFailed = true;
        PrintErr(QStringLiteral("the ledger cannot be written: %1\n").arg(failure));
        // Nothing is configured that the ledger cannot keep.
        if (m_settings.watch) {
            m_poll.stop();
            PrintErr(QStringLiteral("no further unit is started\n"));
        }
    }
    unit->addNote(QStringLiteral("not in the ledger"));
    PrintErr(QStringLiteral("not in the ledger: %1 %2 %3\n")
                 .arg(line.port, line.serial.isEmpty() ? QStringLiteral("-") : line.serial,
                      BatchTable::resultText(*unit)));
}

void BatchRun::checkDone()
{
    if (m_done || (m_settings.watch && !m_stopping && !m_ledgerFailed))
        return;
    for (const BatchUnit *unit : std::as_const(m_units)) {
        if (unit->outcome() == BatchUnit::Outcome::Pending)
            return;
    }
    m_done = true;
    m_poll.stop();
    m_redraw.stop();
    m_table.finish(m_units);
    Q_EMIT done();
}

int BatchRun::exitStatus() const
{
    // The record is incomplete: that outweighs even an interruption.
    if (m_ledgerFailed)
        return LedgerFailed;
    if (m_stopping)
        return Interrupted;
    if (m_inputError)
        return InputError;
    // The gravest first: a write not proven, then a port that cannot be opened, then no answer.
    for (const int grave : {int(VerifyMismatch), int(PortUnavailable), int(InputError), int(NoAnswer)}) {
        for (const BatchUnit *unit : m_units) {
            if (unit->outcome() == BatchUnit::Outcome::Failed && unit->exitStatus() == grave)
                return grave;
        }
    }
    return Done;
}

} // namespace gencfg::cli
