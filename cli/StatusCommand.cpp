#include "cli/CommandRunners.h"
#include "cli/Console.h"
#include "cli/DeviceSession.h"
#include "cli/StatusFormat.h"

#include "monitor/TelemetryCsv.h"
#include "record/RecordingReader.h"

#include <QCoreApplication>

namespace gencfg::cli {

namespace {

// Prints status records as text, JSON lines or CSV rows, the same from a port and from a recording.
// From a port each record is written as it comes; from a recording in large blocks.
class StatusPrinter
{
public:
    // Output gathered up to this size before it is written.
    static constexpr int BlockSize = 256 * 1024;

    StatusPrinter(const Invocation &invocation, bool inBlocks)
        : m_json(invocation.has(QStringLiteral("json"))), m_csv(invocation.has(QStringLiteral("csv"))),
          m_inBlocks(inBlocks)
    {
        m_out.reserve(inBlocks ? BlockSize + 4096 : 4096);
    }
    ~StatusPrinter() { flush(); }
    StatusPrinter(const StatusPrinter &) = delete;
    StatusPrinter &operator=(const StatusPrinter &) = delete;

    bool conflicting() const { return m_json && m_csv; }
    void printHeader()
    {
        if (!m_csv)
            return;
        m_out += TelemetryCsvHeader().toUtf8() + '\n';
        flush();
    }
    void print(const TelemetrySample &sample)
    {
        const TelemetryRecord &record = sample.record;
        if (m_csv) {
            m_csvWriter.appendRow(m_out, sample.msecs, record);
            m_out += '\n';
        } else if (m_json) {
            m_jsonWriter.appendLine(m_out, record);
            m_out += '\n';
        } else {
            if (!m_first)
                m_out += '\n';
            m_out += StatusText(record, m_shown).toUtf8();
        }
        m_first = false;
        if (!m_inBlocks || m_out.size() >= BlockSize)
            flush();
    }
    void flush()
    {
        if (m_out.isEmpty())
            return;
        PrintOutBytes(m_out);
        m_out.clear();
    }
    bool printedAny() const { return !m_first; }

private:
    bool m_json;
    bool m_csv;
    bool m_inBlocks;
    bool m_first = true;
    QByteArray m_out;
    ShownTexts m_shown;
    TelemetryCsvWriter m_csvWriter;
    StatusJsonWriter m_jsonWriter;
};

} // namespace

int RunStatus(const Invocation &invocation)
{
    if (invocation.has(QStringLiteral("from-recording")))
        return RunStatusFromRecording(invocation);
    StatusPrinter printer(invocation, false);
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
    StatusPrinter printer(invocation, true);
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
    // Every row before a damaged line is out before the damage is named.
    printer.flush();
    if (OutputLost())
        return OutputFailed;
    if (!reader.error().isEmpty())
        return Fail(InputError, reader.error());
    return Done;
}

} // namespace gencfg::cli
