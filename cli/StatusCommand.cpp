#include "cli/CommandRunners.h"
#include "cli/Console.h"
#include "cli/DeviceSession.h"
#include "cli/StatusFormat.h"

#include "monitor/TelemetryCsv.h"

#include <QCoreApplication>
#include <QJsonDocument>

namespace gencfg::cli {

int RunStatus(const Invocation &invocation)
{
    const bool json = invocation.has(QStringLiteral("json"));
    const bool csv = invocation.has(QStringLiteral("csv"));
    const bool follow = invocation.has(QStringLiteral("follow"));
    if (json && csv)
        return Fail(InputError, QStringLiteral("gencfg-cli status: give --json or --csv, not both"));
    DeviceSession session;
    if (const int opened = session.open(invocation.value(QStringLiteral("port"))); opened != Done)
        return opened;

    // Several frames can arrive in one read; none of them is skipped, each keeps its arrival time.
    QList<TelemetrySample> pending;
    QObject::connect(&session.statusFeed(), &StatusFeed::recordDecoded,
                     [&pending](const TelemetryRecord &record, qint64 msecs) {
                         pending.append({msecs, record});
                     });
    if (csv)
        PrintOut(TelemetryCsvHeader() + QLatin1Char('\n'));
    if (OutputLost())
        return OutputFailed;

    ShownTexts shown;
    bool first = true;
    const auto printPending = [&] {
        while (!pending.isEmpty()) {
            const TelemetrySample sample = pending.takeFirst();
            const TelemetryRecord &record = sample.record;
            if (csv) {
                PrintOut(TelemetryCsvRow(sample.msecs, record) + QLatin1Char('\n'));
            } else if (json) {
                PrintOut(QString::fromUtf8(QJsonDocument(StatusJson(record)).toJson(QJsonDocument::Compact)) +
                         QLatin1Char('\n'));
            } else {
                PrintOut((first ? QString() : QStringLiteral("\n")) + StatusText(record, shown));
            }
            first = false;
            if (!follow)
                return;
        }
    };
    for (;;) {
        const bool arrived =
            session.waitFor([&] { return !pending.isEmpty() || session.interrupted(); }, BlockBound);
        printPending();
        // A follower whose reader is gone would run on for nothing.
        if (OutputLost())
            return OutputFailed;
        if (!follow && !first)
            return Done;
        if (session.interrupted()) {
            // Frames already at the port when the signal came are still printed, none is lost.
            QCoreApplication::processEvents();
            printPending();
            return follow ? Done : session.failure(OperationStatus::Cancelled);
        }
        if (!arrived)
            return session.noAnswer();
    }
}

} // namespace gencfg::cli
