#include "cli/BatchRun.h"

#include "cli/Console.h"
#include "cli/ExitStatus.h"
#include "config/ParamModel.h"
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
    : QObject(parent), m_settings(std::move(settings)), m_ledger(ledger), m_table(table)
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
        for (const QString &port : std::as_const(m_settings.ports))
            addUnit(port);
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
            if (QFileInfo::exists(port))
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
    const QStringList present = presentPorts();
    // A port gone is free for the next controller plugged in.
    for (auto it = m_busyPorts.begin(); it != m_busyPorts.end();) {
        if (!present.contains(*it))
            it = m_busyPorts.erase(it);
        else
            ++it;
    }
    for (const QString &port : present) {
        if (!m_busyPorts.contains(port) && !m_presentAtStart.contains(port))
            addUnit(port);
    }
}

void BatchRun::addUnit(const QString &port)
{
    auto *unit = new BatchUnit(port, m_settings.variant, this);
    m_units.append(unit);
    m_busyPorts.insert(port);
    connect(unit, &BatchUnit::changed, this, &BatchRun::redraw);
    connect(unit, &BatchUnit::readDone, this, [this, unit] { onUnitRead(unit); });
    connect(unit, &BatchUnit::finished, this, [this, unit] { onUnitFinished(unit); });
    unit->start();
    redraw();
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
        unit->setNote(QStringLiteral("в журнале: %1 %2").arg(ProvenText(), proven));
    if (m_settings.watch) {
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
                row.line, 1, QStringLiteral("no controller on the bench has serial number %1").arg(row.key));
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
        unit->closePort();
    // A batch stopped by bad input finished no unit: nothing was done to record.
    if (m_ledger.isOpen() && !m_inputError) {
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
        if (!unit->note().isEmpty())
            notes.append(unit->note());
        line.note = notes.join(QStringLiteral("; "));
        if (const QString failure = m_ledger.append(line); !failure.isEmpty()) {
            m_ledgerFailed = true;
            PrintErr(QStringLiteral("the ledger cannot be written: %1\n").arg(failure));
        }
    }
    redraw();
    // A unit that failed before it was read may be the last the others wait for.
    if (!m_settings.watch)
        planAll();
    checkDone();
}

void BatchRun::checkDone()
{
    if (m_settings.watch && !m_stopping)
        return;
    for (const BatchUnit *unit : std::as_const(m_units)) {
        if (unit->outcome() == BatchUnit::Outcome::Pending)
            return;
    }
    m_redraw.stop();
    m_table.finish(m_units);
    Q_EMIT done();
}

int BatchRun::exitStatus() const
{
    if (m_stopping)
        return Interrupted;
    if (m_inputError)
        return InputError;
    int status = Done;
    // The gravest first: a write not proven, then a port that cannot be opened, then no answer.
    for (const int grave : {int(VerifyMismatch), int(PortUnavailable), int(InputError), int(NoAnswer)}) {
        for (const BatchUnit *unit : m_units) {
            if (unit->outcome() == BatchUnit::Outcome::Failed && unit->exitStatus() == grave)
                return grave;
        }
    }
    if (m_ledgerFailed)
        status = OutputFailed;
    return status;
}

} // namespace gencfg::cli
