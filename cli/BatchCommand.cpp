#include "cli/BatchRun.h"
#include "cli/CommandRunners.h"
#include "cli/Console.h"
#include "cli/InterruptWatch.h"

#include "config/ParamModel.h"
#include "config/UnitPlan.h"

#include <QEventLoop>
#include <QSet>

namespace gencfg::cli {

namespace {

// A column must name a parameter of the catalogue given, or of one of the three when none is.
int checkColumns(const UnitValues &values, std::optional<DeviceVariant> variant)
{
    for (int column = 0; column < values.paths.size(); ++column) {
        QString error;
        for (const DeviceVariant candidate : Variants) {
            if (variant && candidate != *variant)
                continue;
            ParamModel tree;
            LoadVariantTree(candidate, tree);
            int node = -1;
            error = ColumnNode(values, column, tree, node);
            if (error.isEmpty())
                break;
            if (!variant && node < 0)
                error = values.where(
                    1, column + 2,
                    QStringLiteral("no parameter \"%1\" in any catalogue").arg(values.paths.at(column)));
        }
        if (!error.isEmpty())
            return Fail(InputError, error + QLatin1Char('\n') + NothingWrittenText());
    }
    return Done;
}

int checkPortRows(const UnitValues &values, const QStringList &ports)
{
    for (const UnitRow &row : values.rows) {
        if (!ports.contains(row.key))
            return Fail(
                InputError,
                values.where(row.line, 1, QStringLiteral("no --port %1 on the command line").arg(row.key)) +
                    QLatin1Char('\n') + NothingWrittenText());
    }
    return Done;
}

} // namespace

int RunBatch(const Invocation &invocation)
{
    BatchSettings settings;
    settings.watch = invocation.has(QStringLiteral("watch"));
    settings.ports = invocation.values(QStringLiteral("port"));
    if (settings.ports.isEmpty() && !settings.watch)
        return Fail(InputError,
                    QStringLiteral("gencfg-cli batch: give a --port for every controller, or --watch"));
    if (QSet<QString>(settings.ports.cbegin(), settings.ports.cend()).size() != settings.ports.size())
        return Fail(InputError, QStringLiteral("gencfg-cli batch: a port is given more than once"));
    if (const int read = ReadParamImage(invocation.argument(0), settings.templateImage); read != Done)
        return read;
    if (invocation.has(QStringLiteral("variant"))) {
        settings.variant = VariantFromName(invocation.value(QStringLiteral("variant")));
        if (const QString refusal = TemplateRefusal(settings.templateImage, *settings.variant);
            !refusal.isEmpty())
            return Fail(InputError,
                        refusal + QStringLiteral("\nnot written: the template holds values outside "
                                                 "their limits"));
    }
    if (invocation.has(QStringLiteral("values"))) {
        UnitValuesRead read = ReadUnitValues(invocation.value(QStringLiteral("values")));
        if (!read.values)
            return Fail(InputError, read.error);
        settings.values = std::move(read.values);
        if (const int checked = checkColumns(*settings.values, settings.variant); checked != Done)
            return checked;
        if (settings.values->key == UnitValues::Key::Port && !settings.watch)
            if (const int checked = checkPortRows(*settings.values, settings.ports); checked != Done)
                return checked;
    }
    BatchLedger ledger;
    if (invocation.has(QStringLiteral("ledger"))) {
        if (const QString failure = ledger.open(invocation.value(QStringLiteral("ledger")));
            !failure.isEmpty())
            return Fail(InputError, failure);
    }

    BatchTable table(StdoutIsTerminal());
    BatchRun run(std::move(settings), ledger, table);
    InterruptWatch interrupt;
    interrupt.install();
    QObject::connect(&interrupt, &InterruptWatch::interrupted, &run, &BatchRun::stop);
    QEventLoop loop;
    QObject::connect(&run, &BatchRun::done, &loop, &QEventLoop::quit, Qt::QueuedConnection);
    run.start();
    loop.exec();
    return run.exitStatus();
}

} // namespace gencfg::cli
