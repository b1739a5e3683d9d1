// A long run of the shown window on gensim, status frames every 100 ms and
// both journals read every minute: resident memory, the frames the window
// counted against those gensim sent, and the objects under the window.
//
//   bench_soak [--seconds N | --minutes N] [--log PATH]

#include "BenchSupport.h"
#include "LinkWait.h"
#include "WidgetSupport.h"
#include "app/MainWindow.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <functional>

using namespace gencfg;
using gencfg::test::named;
using namespace gencfg::bench;

namespace {

constexpr int PeriodMs = 100;
constexpr int JournalEveryMs = 60 * 1000;
constexpr double GrowthTargetMegabytes = 1.0;

struct Sample
{
    double seconds = 0;
    double residentMegabytes = 0;
    int objects = 0;
};

Sample take(const MainWindow &form, const QElapsedTimer &clock)
{
    return {double(clock.elapsed()) / 1000.0, residentMegabytes(),
            int(form.findChildren<QObject *>().size())};
}

int lineCount(const QPlainTextEdit *memo)
{
    return memo->toPlainText().isEmpty() ? 0 : memo->blockCount();
}

struct SentFrames
{
    int status = 0;
    int replies = 0;
    int invalid = 0;
};

// Counts gensim's "TX" lines, reading the log a line at a time.
SentFrames countSent(const QString &logPath)
{
    SentFrames sent;
    QFile log(logPath);
    if (!log.open(QIODevice::ReadOnly))
        return sent;
    while (!log.atEnd()) {
        const QByteArray line = log.readLine();
        const int at = int(line.indexOf(" TX <10>"));
        if (at < 0)
            continue;
        if (line.contains("(invalid)"))
            ++sent.invalid;
        else if (line.mid(at + 8, 4) == "0115")
            ++sent.status;
        else
            ++sent.replies;
    }
    return sent;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    QCommandLineParser parser;
    const QCommandLineOption secondsOption(QStringLiteral("seconds"),
                                           QStringLiteral("Length of the run (default 600)."),
                                           QStringLiteral("N"), QStringLiteral("600"));
    const QCommandLineOption minutesOption(QStringLiteral("minutes"), QStringLiteral("Length of the run."),
                                           QStringLiteral("N"));
    const QCommandLineOption logOption(
        QStringLiteral("log"), QStringLiteral("Keep gensim's frame log here (default: a temporary file)."),
        QStringLiteral("PATH"));
    parser.addHelpOption();
    parser.addOptions({secondsOption, minutesOption, logOption});
    parser.process(app);
    bool ok = false;
    const double seconds = parser.isSet(minutesOption) ? parser.value(minutesOption).toDouble(&ok) * 60.0
                                                       : parser.value(secondsOption).toDouble(&ok);
    if (!ok || seconds < 1) {
        std::fprintf(stderr, "the length of the run wants a positive number\n");
        return 2;
    }
    const qint64 durationMs = qint64(seconds * 1000.0);

    QTemporaryDir logDir;
    const QString logPath =
        parser.isSet(logOption) ? parser.value(logOption) : logDir.filePath(QStringLiteral("gensim.log"));

    // gensim logs every frame to stderr; that goes to a file, never into our memory.
    QProcess gensim;
    gensim.setStandardErrorFile(logPath);
    gensim.start(QCoreApplication::applicationDirPath() + QStringLiteral("/gensim"),
                 {QStringLiteral("--period"), QString::number(PeriodMs), QStringLiteral("--static"),
                  QStringLiteral("--log")});
    if (!gensim.waitForStarted(5000) || !gensim.waitForReadyRead(5000)) {
        std::fprintf(stderr, "gensim did not start\n");
        return 1;
    }
    const QString devicePath = QString::fromLocal8Bit(gensim.readLine()).trimmed();

    MainWindow form;
    int boxes = 0;
    form.messages().setHandler([&boxes](const Message &m) {
        ++boxes;
        std::fprintf(stderr, "box: %s\n", qPrintable(m.text));
    });
    form.show();
    form.addExtraPort(devicePath);
    form.pickPort(devicePath);
    if (!form.link().transport().isOpen()) {
        std::fprintf(stderr, "cannot open %s\n", qPrintable(devicePath));
        return 1;
    }

    QElapsedTimer clock;
    clock.start();
    const double cpuBefore = processCpuSeconds();
    Sample start;
    Sample afterFirstMinute;
    Sample end;
    int packetsAtEnd = 0;
    int journalReads = 0;

    // The start sample once the window has shown the first frames.
    QTimer::singleShot(1000, &form, [&] { start = take(form, clock); });

    QTimer journalTimer;
    journalTimer.setInterval(JournalEveryMs);
    QObject::connect(&journalTimer, &QTimer::timeout, &form, [&] {
        if (clock.elapsed() + 10 * 1000 > durationMs)
            return; // no reading may still run when the run ends
        QElapsedTimer reading;
        reading.start();
        named<QPushButton>(&form, "readJournalsButton")->click();
        test::waitUntilIdle(form.link(), 10 * 60 * 1000);
        ++journalReads;
        std::printf("%6.1f s  journal read in %.2f s: %d events, %d alarms; %.2f MB resident\n",
                    double(clock.elapsed()) / 1000.0, double(reading.elapsed()) / 1000.0,
                    lineCount(named<QPlainTextEdit>(&form, "eventList")),
                    lineCount(named<QPlainTextEdit>(&form, "alarmList")), residentMegabytes());
        std::fflush(stdout);
        if (journalReads == 1)
            afterFirstMinute = take(form, clock);
    });
    journalTimer.start();

    std::function<void()> finish = [&] {
        if (form.link().busy()) {
            QTimer::singleShot(100, &form, finish);
            return;
        }
        // Whatever the port holds now is counted before gensim stops.
        QCoreApplication::processEvents();
        packetsAtEnd = form.link().packetCount();
        end = take(form, clock);
        QCoreApplication::quit();
    };
    QTimer::singleShot(int(durationMs), &form, finish);
    app.exec();

    const double cpuSeconds = processCpuSeconds() - cpuBefore;
    gensim.terminate();
    gensim.waitForFinished(5000);
    const SentFrames sent = countSent(logPath);
    // A frame that fails its checks is counted by no one.
    const int sentTotal = sent.status + sent.replies;

    std::printf("\nsoak of %.0f s against gensim --period %d --static\n", end.seconds, PeriodMs);
    std::printf("resident memory:        %.2f MB at %.0f s, %.2f MB at %.0f s, %.2f MB at %.0f s\n",
                start.residentMegabytes, start.seconds, afterFirstMinute.residentMegabytes,
                afterFirstMinute.seconds, end.residentMegabytes, end.seconds);
    const bool minuteTaken = journalReads > 0;
    const double growth = end.residentMegabytes - afterFirstMinute.residentMegabytes;
    if (minuteTaken)
        std::printf("growth after the first minute: %.3f MB (target below %.1f MB)\n", growth,
                    GrowthTargetMegabytes);
    else
        std::printf("growth after the first minute: not measured, the run is shorter than %d s\n",
                    JournalEveryMs / 1000 + 10);
    const int inFlight = sentTotal - packetsAtEnd;
    std::printf("frames:                 %d counted by the window; gensim sent %d (%d status, %d replies, "
                "%d invalid); difference %d (at most 1 in flight)\n",
                packetsAtEnd, sentTotal, sent.status, sent.replies, sent.invalid, inFlight);
    std::printf("objects under the window: %d after the first minute, %d at the end\n",
                afterFirstMinute.objects, end.objects);
    std::printf("journal reads:          %d; message boxes: %d\n", journalReads, boxes);
    std::printf("CPU share:              %.2f %% of the run\n", 100.0 * cpuSeconds / end.seconds);
    std::printf("gensim log:             %s\n",
                qPrintable(parser.isSet(logOption) ? logPath : QStringLiteral("(removed)")));

    const bool memoryOk = minuteTaken && growth < GrowthTargetMegabytes;
    const bool framesOk = sentTotal > 0 && inFlight >= 0 && inFlight <= 1;
    const bool objectsOk = minuteTaken && afterFirstMinute.objects == end.objects;
    return memoryOk && framesOk && objectsOk && boxes == 0 ? 0 : 1;
}
