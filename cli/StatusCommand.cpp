#include "cli/CommandRunners.h"
#include "cli/Console.h"
#include "cli/DeviceSession.h"
#include "cli/StatusFormat.h"

#include "monitor/TelemetryCsv.h"
#include "record/RecordingReader.h"

#include <QCoreApplication>
#include <QJsonDocument>

namespace gencfg::cli {

namespace {

// Prints status records as text, JSON lines or CSV rows, the same from a port and from a recording.
class StatusPrinter
{
public:
    explicit StatusPrinter(const Invocation &invocation)
        : m_json(invocation.has(QStringLiteral("json"))), m_csv(invocation.has(QStringLiteral("csv")))
    {}
    bool conflicting() const { return m_json && m_csv; }
    void printHeader() const
    {
        if (m_csv)
            PrintOut(TelemetryCsvHeader() + QLatin1Char('\n'));
    }
    void print(const TelemetrySample &sample)
    {
        const TelemetryRecord &record = sample.record;
        if (m_csv) {
            PrintOut(TelemetryCsvRow(sample.msecs, record) + QLatin1Char('\n'));
        } else if (m_json) {
            PrintOut(QString::fromUtf8(QJsonDocument(StatusJson(record)).toJson(QJsonDocument::Compact)) +
                     QLatin1Char('\n'));
        } else {
            PrintOut((m_first ? QString() : QStringLiteral("\n")) + StatusText(record, m_shown));
        }
        m_first = false;
    }
    bool printedAny() const { return !m_first; }

private:
    bool m_json;
    bool m_csv;
    bool m_first = true;
    ShownTexts m_shown;
};

} // namespace

int RunStatus(const Invocation &invocation)
{
    if (invocation.has(QStringLiteral("from-recording")))
        return RunStatusFromRecording(invocation);
    StatusPrinter printer(invocation);
    const bool follow = invocation.has(QStringLiteral("follow"));
    if (printer.conflicting())
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
    printer.printHeader();
    if (OutputLost())
        return OutputFailed;

    const auto printPending = [&] {
        while (!pending.isEmpty()) {
            printer.print(pending.takeFirst());
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
        if (!follow && printer.printedAny())
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

int RunStatusFromRecording(const Invocation &invocation)
{
    StatusPrinter printer(invocation);
    if (printer.conflicting())
        return Fail(InputError, QStringLiteral("gencfg-cli status: give --json or --csv, not both"));
    RecordingReader reader;
    if (const QString failure = reader.open(invocation.value(QStringLiteral("from-recording")));
        !failure.isEmpty())
        return Fail(InputError, failure);

    // The recorded bytes go through the link and the feed a live port's go through.
    DeviceLink link;
    StatusFeed feed(link);
    const qint64 start = reader.header().start.toMSecsSinceEpoch();
    qint64 at = start;
    feed.setClock([&at] { return at; });
    QObject::connect(&feed, &StatusFeed::recordDecoded,
                     [&printer](const TelemetryRecord &record, qint64 msecs) {
                         printer.print({msecs, record});
                     });
    printer.printHeader();
    RecordedChunk chunk;
    while (!OutputLost() && reader.next(chunk)) {
        if (chunk.direction != ChunkDirection::Received)
            continue;
        at = start + chunk.ms;
        link.receive(chunk.bytes);
    }
    if (OutputLost())
        return OutputFailed;
    if (!reader.error().isEmpty())
        return Fail(InputError, reader.error());
    return Done;
}

} // namespace gencfg::cli
