#include "cli/CommandRunners.h"
#include "cli/Console.h"
#include "cli/ExitStatus.h"
#include "cli/StatusFormat.h"

#include "visit/ArchiveSettings.h"
#include "visit/FleetTable.h"
#include "visit/TeamArchive.h"

#include "link/DeviceText.h"

#include <QDir>

namespace gencfg::cli {

int RunHistory(const Invocation &invocation)
{
    const VisitArchive archive = ArchiveSettings::Read().archive();
    if (invocation.arguments.isEmpty()) {
        // One line per controller: its serial number, how many visits, the newest.
        for (const QString &serial : archive.serials()) {
            const QVector<Visit> visits = archive.visits(serial);
            PrintOut(QStringLiteral("%1\t%2\t%3\n")
                         .arg(serial.isEmpty() ? NoSerialFolder : serial)
                         .arg(visits.size())
                         .arg(VisitTimeText(visits.constLast().time)));
        }
        return Done;
    }
    const QString serial = SerialNamed(invocation.argument(0));
    const QVector<Visit> visits = archive.visits(serial);
    if (visits.isEmpty())
        return Fail(InputError, QStringLiteral("no visit of %1 is kept in %2")
                                    .arg(invocation.argument(0), QDir::toNativeSeparators(archive.root())));
    for (const Visit &visit : visits) {
        const QString variant = VariantName(visit.variantCode);
        QStringList fields{VisitTimeText(visit.time),
                           VisitKindName(visit.kind),
                           variant.isEmpty() ? QString::number(visit.variantCode) : variant,
                           visit.programVersion,
                           QDir::toNativeSeparators(visit.folder),
                           PrintableText(visit.technician),
                           PrintableText(visit.pc)};
        if (VisitInFuture(visit))
            fields.append(QStringLiteral("dated in the future: never taken as last"));
        PrintOut(fields.join(QLatin1Char('\t')) + QLatin1Char('\n'));
    }
    return Done;
}

int RunArchive(const Invocation &invocation)
{
    const ArchiveSettings settings = ArchiveSettings::Read();
    const QString url = invocation.has(QStringLiteral("archive-server"))
                            ? invocation.value(QStringLiteral("archive-server"))
                            : settings.server;
    if (invocation.argument(0) != QLatin1String("sync"))
        return Fail(InputError, QStringLiteral("archive: unknown action %1; the one there is: sync")
                                    .arg(PrintableText(invocation.argument(0))));
    if (url.isEmpty())
        return Fail(InputError,
                    QStringLiteral("no team archive: give --archive-server URL or set [archive] server="));
    QString error;
    const std::optional<TeamServer> server = TeamServer::Parse(url, error);
    if (!server)
        return Fail(InputError, error);
    const TeamSyncResult result =
        TeamArchive(settings.archive(), *server, settings.pc, settings.pullAll).sync();
    for (const QString &skipped : result.skipped)
        PrintErr(QStringLiteral("not taken: %1\n").arg(skipped));
    PrintOut(QStringLiteral("sent %1, fetched %2, skipped %3, waiting %4\n")
                 .arg(result.pushed)
                 .arg(result.pulled)
                 .arg(result.skipped.size())
                 .arg(result.pending));
    if (!result.error.isEmpty())
        return Fail(result.reached ? NoAnswer : PortUnavailable, result.error);
    return Done;
}

int RunFleet(const Invocation &invocation)
{
    const bool csv = invocation.has(QStringLiteral("csv"));
    const bool json = invocation.has(QStringLiteral("json"));
    if (csv && json)
        return Fail(InputError, QStringLiteral("gencfg-cli fleet: give --json or --csv, not both"));
    std::optional<qint64> due;
    if (invocation.has(QStringLiteral("due"))) {
        bool ok = false;
        due = invocation.value(QStringLiteral("due")).toLongLong(&ok);
        if (!ok || *due < 0 || *due > 100000)
            return Fail(InputError, QStringLiteral("--due: %1 is no number of days from 0 to 100000")
                                        .arg(PrintableText(invocation.value(QStringLiteral("due")))));
    }
    const QDateTime now = QDateTime::currentDateTime();
    QVector<FleetRow> rows = FleetRows(ArchiveSettings::Read().archive(), now);
    if (due)
        rows = DueWithin(rows, *due, now);
    const QByteArray out = csv ? FleetCsv(rows, now) : json ? FleetJson(rows, now) : FleetText(rows, now);
    PrintOutBytes(out);
    return OutputLost() ? OutputFailed : Done;
}

} // namespace gencfg::cli
