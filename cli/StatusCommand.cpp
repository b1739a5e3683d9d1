#include "cli/CommandRunners.h"
#include "cli/Console.h"
#include "cli/DeviceSession.h"
#include "cli/StatusFormat.h"

#include <QCoreApplication>
#include <QJsonDocument>

namespace gencfg::cli {

int RunStatus(const Invocation &invocation)
{
    const bool json = invocation.has(QStringLiteral("json"));
    const bool follow = invocation.has(QStringLiteral("follow"));
    DeviceSession session;
    if (const int opened = session.open(invocation.value(QStringLiteral("port"))); opened != Done)
        return opened;

    // Several frames can arrive in one read; none of them is skipped.
    QList<TelemetryRecord> pending;
    QObject::connect(&session, &DeviceSession::statusReceived,
                     [&pending](const TelemetryRecord &record) { pending.append(record); });

    ShownTexts shown;
    bool first = true;
    const auto printPending = [&] {
        while (!pending.isEmpty()) {
            const TelemetryRecord record = pending.takeFirst();
            if (json) {
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
