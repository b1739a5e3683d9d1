// Both full journals read through the window, once from a simulated controller
// in this process and once from gensim in its own: the program's CPU share
// during the reading, and its length against the controller's own pace.

#include "BenchSupport.h"
#include "LinkWait.h"
#include "WidgetSupport.h"
#include "app/MainWindow.h"
#include "sim/PtySimulator.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QTest>
#include <cstdio>

using namespace gencfg;
using gencfg::test::named;
using namespace gencfg::bench;

namespace {

constexpr int PeriodMs = 100;

int lineCount(const QPlainTextEdit *memo)
{
    return memo->toPlainText().isEmpty() ? 0 : memo->blockCount();
}

// Reads both journals from the device at path and prints the figures.
bool readJournals(const char *title, const QString &path)
{
    MainWindow form;
    form.messages().setHandler(
        [](const Message &m) { std::fprintf(stderr, "box: %s\n", qPrintable(m.text)); });
    form.show();
    form.addExtraPort(path);
    form.pickPort(path);
    QTest::qWait(3 * PeriodMs);

    int requests = 0;
    QObject::connect(&form.link(), &DeviceLink::echoLine, [&requests] { ++requests; });
    QElapsedTimer wall;
    const double cpuBefore = processCpuSeconds();
    wall.start();
    named<QPushButton>(&form, "readJournalsButton")->click();
    test::waitUntilIdle(form.link(), 10 * 60 * 1000);
    const double wallSeconds = double(wall.nsecsElapsed()) / 1e9;
    const double cpuSeconds = processCpuSeconds() - cpuBefore;

    const int events = lineCount(named<QPlainTextEdit>(&form, "eventList"));
    const int alarms = lineCount(named<QPlainTextEdit>(&form, "alarmList"));
    const double paced = requests * PeriodMs / 1000.0;
    std::printf("%s\n", title);
    std::printf("  lines:                 %d events, %d alarms (full: 105, 50)\n", events, alarms);
    std::printf("  wall time:             %.2f s for %d requests (full: 155, and the last asked once more)\n",
                wallSeconds, requests);
    std::printf("  against the pace:      %.3f x the minimum of one status period per request (%.1f s)\n",
                wallSeconds / paced, paced);
    std::printf("  CPU share:             %.2f %% of wall time\n", 100.0 * cpuSeconds / wallSeconds);
    return events == 105 && alarms == 50 && requests == 156;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    bool complete = true;
    {
        PtySimulator sim(201, 7);
        sim.model().setStatic(true);
        sim.model().fillJournals();
        sim.setPeriodMs(PeriodMs);
        if (!sim.start()) {
            std::fprintf(stderr, "simulator: %s\n", qPrintable(sim.errorString()));
            return 1;
        }
        complete &=
            readJournals("controller simulated in this process (its work counts as ours):", sim.devicePath());
    }

    GensimProcess gensim;
    if (!gensim.start({QStringLiteral("--period"), QString::number(PeriodMs),
                       QStringLiteral("--full-journals"), QStringLiteral("--static"),
                       QStringLiteral("--variant"), QStringLiteral("diesel")})) {
        std::fprintf(stderr, "gensim did not start\n");
        return 1;
    }
    complete &= readJournals("gensim in its own process (target: CPU share below 2 %):", gensim.devicePath());
    gensim.stop();
    return complete ? 0 : 1;
}
