#include "cli/BatchRun.h"
#include "cli/CommandRunners.h"
#include "cli/Console.h"
#include "cli/InterruptWatch.h"

#include "config/CsvCells.h"
#include "config/ParamModel.h"
#include "config/UnitPlan.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QHash>
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
                error = values.where(1, column + 2,
                                     QStringLiteral("no parameter \"%1\" in any catalogue")
                                         .arg(QuotedInput(values.paths.at(column))));
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
                values.where(row.line, 1,
                             QStringLiteral("no --port %1 on the command line").arg(QuotedInput(row.key))) +
                    QLatin1Char('\n') + NothingWrittenText());
    }
    return Done;
}

// A link and its target, or two links to one device, are one port: two units would fight over it.
QString samePortTwice(const QStringList &ports)
{
    QHash<QString, QString> given; // the device: the name it was first given under
    for (const QString &port : ports) {
        const QString device = QFileInfo(port).canonicalFilePath();
        if (device.isEmpty())
            continue;
        if (const auto earlier = given.constFind(device); earlier != given.cend())
            return QStringLiteral("gencfg-cli batch: --port %1 and --port %2 are the same port (%3)")
                .arg(*earlier, port, device);
        given.insert(device, port);
    }
    return {};
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
    if (const QString same = samePortTwice(settings.ports); !same.isEmpty())
        return Fail(InputError, same);
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
        // Watching without ports, any port may still appear.
        if (settings.values->key == UnitValues::Key::Port && !settings.ports.isEmpty())
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
