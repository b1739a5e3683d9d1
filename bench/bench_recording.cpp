// The session recording: the CPU a recording adds to a link connected to gensim
// at a 100 ms status period, and the bytes it writes an hour; then a day's
// recording made up and decoded as fast as possible through the live path
// (link and status feed), with its time and peak memory; then the same
// recording turned into CSV and JSON lines by gencfg-cli status --from-recording,
// into a file, with their times, their ratio to the decoding and their peak memory.
//   bench_recording [SECONDS]            each phase SECONDS long (default 60)
//   bench_recording --make HOURS FILE    only write a made-up recording of HOURS

#include "BenchSupport.h"
#include "RecordingGenerator.h"
#include "link/DeviceLink.h"
#include "monitor/StatusFeed.h"
#include "record/RecordingReader.h"
#include "record/SessionRecorder.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <sys/resource.h>

using namespace gencfg;
using namespace gencfg::bench;

namespace {

constexpr int PeriodMs = 100;

// Peak resident memory of this process, from /proc.
double peakResidentMegabytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    return 0;
}

struct Phase
{
    double cpuShare = 0; // % of one core
    int records = 0;
};

Phase runPhase(DeviceLink &link, StatusFeed &feed, int seconds)
{
    int records = 0;
    const QMetaObject::Connection counting =
        QObject::connect(&feed, &StatusFeed::recordDecoded, [&records] { ++records; });
    QElapsedTimer wall;
    const double cpuBefore = processCpuSeconds();
    wall.start();
    QTest::qWait(seconds * 1000);
    const double cpu = processCpuSeconds() - cpuBefore;
    QObject::disconnect(counting);
    Q_UNUSED(link);
    return {100.0 * cpu / (double(wall.nsecsElapsed()) / 1e9), records};
}

struct ChildRun
{
    int exitCode = -1;
    double seconds = 0;
    qint64 outputBytes = 0;
    double peakMegabytes = 0;
};

// gencfg-cli beside this program, its output into a file; the peak is that of the largest child so far.
ChildRun runCli(const QStringList &arguments, const QString &output)
{
    ChildRun run;
    QProcess process;
    process.setStandardOutputFile(output);
    QElapsedTimer wall;
    wall.start();
    process.start(QCoreApplication::applicationDirPath() + QStringLiteral("/gencfg-cli"), arguments);
    if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.seconds = double(wall.elapsed()) / 1000.0;
    run.exitCode = process.exitCode();
    run.outputBytes = QFileInfo(output).size();
    rusage usage{};
    if (::getrusage(RUSAGE_CHILDREN, &usage) == 0)
        run.peakMegabytes = double(usage.ru_maxrss) / 1024.0;
    return run;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc == 4 && qstrcmp(argv[1], "--make") == 0) {
        const qint64 bytes =
            WriteGeneratedRecording(QString::fromLocal8Bit(argv[3]), QByteArray(argv[2]).toDouble());
        std::printf("wrote %lld bytes\n", static_cast<long long>(bytes));
        return bytes < 0 ? 1 : 0;
    }
    const int seconds = argc > 1 ? QByteArray(argv[1]).toInt() : 60;
    QTemporaryDir dir;

    GensimProcess gensim;
    if (!gensim.start({QStringLiteral("--variant"), QStringLiteral("diesel"), QStringLiteral("--period"),
                       QString::number(PeriodMs)})) {
        std::fprintf(stderr, "gensim did not start\n");
        return 1;
    }
    DeviceLink link;
    StatusFeed feed(link);
    if (const QString error = link.openPort(gensim.devicePath()); !error.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    QTest::qWait(500);
    const Phase plain = runPhase(link, feed, seconds);
    SessionRecorder recorder;
    recorder.setLink(&link);
    RecordingHeader header;
    header.port = gensim.devicePath();
    if (const QString failure = recorder.start(dir.filePath(QStringLiteral("bench.rec")), header);
        !failure.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(failure));
        return 1;
    }
    const qint64 writtenBefore = recorder.bytesWritten();
    const Phase recording = runPhase(link, feed, seconds);
    recorder.stop();
    const double perHour = double(recorder.bytesWritten() - writtenBefore) * 3600.0 / seconds;
    std::printf("period %d ms, %d s a phase: %d records without recording, %d with\n", PeriodMs, seconds,
                plain.records, recording.records);
    std::printf("CPU share connected: %.3f %% without recording, %.3f %% recording\n", plain.cpuShare,
                recording.cpuShare);
    std::printf("recording overhead: %.3f %% of one core\n", recording.cpuShare - plain.cpuShare);
    std::printf("bytes written an hour: %.1f MB\n", perHour / 1e6);
    gensim.stop();

    const QString day = dir.filePath(QStringLiteral("day.rec"));
    QElapsedTimer made;
    made.start();
    const qint64 dayBytes = WriteGeneratedRecording(day, 24, PeriodMs);
    std::printf("a made-up 24-hour recording: %.1f MB, written in %.1f s\n", double(dayBytes) / 1e6,
                double(made.elapsed()) / 1000.0);
    const double rssBefore = residentMegabytes();
    QElapsedTimer decoding;
    decoding.start();
    RecordingReader reader;
    if (const QString failure = reader.open(day); !failure.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(failure));
        return 1;
    }
    DeviceLink replayLink;
    StatusFeed replayFeed(replayLink);
    int records = 0;
    QObject::connect(&replayFeed, &StatusFeed::recordDecoded, [&records] { ++records; });
    RecordedChunk chunk;
    while (reader.next(chunk))
        replayLink.receive(chunk.bytes);
    const double decodeSeconds = double(decoding.elapsed()) / 1000.0;
    std::printf("24-hour recording decoded through the link: %d records in %.2f s, resident %.1f MB before, "
                "peak %.1f MB\n",
                records, decodeSeconds, rssBefore, peakResidentMegabytes());
    if (!reader.error().isEmpty())
        return 1;
    for (const char *format : {"csv", "json"}) {
        const ChildRun run = runCli({QStringLiteral("status"), QLatin1String("--") + QLatin1String(format),
                                     QStringLiteral("--from-recording"), day},
                                    dir.filePath(QStringLiteral("day.out")));
        if (run.exitCode != 0) {
            std::fprintf(stderr, "gencfg-cli status --%s failed: exit %d\n", format, run.exitCode);
            return 1;
        }
        std::printf("status --%s --from-recording of the 24-hour recording: %.2f s, %.2f times the decoding, "
                    "%.1f MB written, peak resident %.1f MB\n",
                    format, run.seconds, run.seconds / decodeSeconds, double(run.outputBytes) / 1e6,
                    run.peakMegabytes);
    }
    return 0;
}
