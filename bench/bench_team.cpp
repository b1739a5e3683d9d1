// The team archive's figures: a sync of 1,000 visits waiting to go to a private
// local server, and the fleet table over 10,000 controllers × 10 visits.
// bench_team [fleet CONTROLLERS [KEEP_DIR] | sync VISITS]; without arguments both, at those sizes.

#include "FleetGenerator.h"
#include "PgCluster.h"
#include "visit/FleetTable.h"
#include "visit/TeamArchive.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>

using namespace gencfg;
using namespace gencfg::test;

namespace {

int benchFleet(int controllers, const QString &keep)
{
    QTemporaryDir temporary;
    const QString root = keep.isEmpty() ? temporary.filePath(QStringLiteral("visits")) : keep;
    const QDateTime now = QDateTime::currentDateTime();
    QElapsedTimer timer;
    timer.start();
    if (GenerateFleet(VisitArchive(root), controllers, 10, now).size() != controllers)
        return std::fprintf(stderr, "the fleet could not be written to %s\n", qPrintable(root)), 1;
    std::printf("generated %d controllers x 10 visits in %.1f s\n", controllers, timer.elapsed() / 1000.0);
    for (int run = 0; run < 3; ++run) {
        timer.restart();
        const QVector<FleetRow> rows = FleetRows(VisitArchive(root), now);
        std::printf("fleet over %d controllers: %lld rows in %.3f s (goal below 1 s)\n", controllers,
                    qint64(rows.size()), timer.nsecsElapsed() / 1e9);
    }
    return 0;
}

int benchSync(int visits)
{
    PgCluster cluster;
    if (const QString missing = cluster.unavailable(); !missing.isEmpty())
        return std::fprintf(stderr, "%s\n", qPrintable(missing)), 1;
    if (const QString error = cluster.start(); !error.isEmpty())
        return std::fprintf(stderr, "%s\n", qPrintable(error)), 1;
    QTemporaryDir dir;
    const VisitArchive archive(dir.filePath(QStringLiteral("visits")));
    GenerateFleet(archive, visits / 10, 10, QDateTime::currentDateTime());
    QString error;
    const TeamArchive team(archive, *TeamServer::Parse(cluster.url(), error), QStringLiteral("bench-pc"),
                           false, dir.filePath(QStringLiteral("sent.txt")));
    std::printf("waiting: %d\n", team.pendingCount());
    QElapsedTimer timer;
    timer.start();
    const TeamSyncResult result = team.sync();
    std::printf("sync of %d waiting visits: sent %d, error '%s', in %.2f s (goal below 10 s)\n", visits,
                result.pushed, qPrintable(result.error), timer.nsecsElapsed() / 1e9);
    timer.restart();
    const TeamSyncResult again = team.sync();
    std::printf("sync again with nothing waiting: sent %d in %.2f s\n", again.pushed,
                timer.nsecsElapsed() / 1e9);
    return result.error.isEmpty() && result.pushed == visits ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.value(0) == QLatin1String("fleet"))
        return benchFleet(args.value(1, QStringLiteral("10000")).toInt(), args.value(2));
    if (args.value(0) == QLatin1String("sync"))
        return benchSync(args.value(1, QStringLiteral("1000")).toInt());
    return benchSync(1000) | benchFleet(10000, QString());
}
