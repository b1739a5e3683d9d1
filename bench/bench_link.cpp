// 100 block reads against gensim: the program's CPU share while it waits for
// the controller, and how soon after the controller's frame each request
// leaves. Then journal readings stopped at moments spread over a status
// period: how long from the stop to the operation's end.

#include "BenchSupport.h"
#include "LinkWait.h"
#include "link/DeviceLink.h"
#include "monitor/JournalReading.h"

#include <QCoreApplication>
#include <QTest>
#include <cstdio>

using namespace gencfg;
using namespace gencfg::bench;

namespace {

constexpr int PeriodMs = 100;
constexpr int CancelRuns = 20;

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int reads = argc > 1 ? QByteArray(argv[1]).toInt() : 100;
    GensimProcess gensim;
    if (!gensim.start({QStringLiteral("--period"), QString::number(PeriodMs), QStringLiteral("--static"),
                       QStringLiteral("--full-journals"), QStringLiteral("--log")})) {
        std::fprintf(stderr, "gensim did not start\n");
        return 1;
    }
    DeviceLink link;
    const QString error = link.openPort(gensim.devicePath());
    if (!error.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    QTest::qWait(300);

    int failures = 0;
    QElapsedTimer wall;
    const double cpuBefore = processCpuSeconds();
    wall.start();
    for (int i = 0; i < reads; ++i) {
        SingleStepOperation read(ReadBlockStep(quint16((i % 4) * 64), 64));
        if (test::runToEnd(link, read) != OperationStatus::Succeeded)
            ++failures;
    }
    const double wallSeconds = double(wall.nsecsElapsed()) / 1e9;
    const double cpuSeconds = processCpuSeconds() - cpuBefore;

    // Half the stops come while a reply is awaited (right after a request went out), the
    // others 7 ms later in each run, so they find the reading in every phase of its steps.
    std::vector<double> cancelMs;
    for (int i = 0; i < CancelRuns; ++i) {
        JournalReadOperation reading;
        QElapsedTimer sinceCancel;
        const auto stop = [&] {
            if (sinceCancel.isValid())
                return;
            sinceCancel.start();
            reading.cancel();
        };
        QObject::connect(&reading, &DeviceOperation::finished, &app,
                         [&] { cancelMs.push_back(double(sinceCancel.nsecsElapsed()) / 1e6); });
        int requests = 0;
        if (i % 2 == 0) {
            QObject::connect(&link, &DeviceLink::echoLine, &reading, [&] {
                if (++requests == 3)
                    QTimer::singleShot(0, &reading, stop);
            });
        } else {
            QTimer::singleShot(250 + 7 * i, &reading, stop);
        }
        if (!test::runToEnd(link, reading) || reading.status() != OperationStatus::Cancelled)
            ++failures;
    }
    link.transport().close();

    const std::vector<double> delays = requestDelaysMs(parseGensimLog(gensim.stop()));
    std::printf("block reads and stops:  %d and %d (%d failed)\n", reads, CancelRuns, failures);
    std::printf("wall time:              %.2f s\n", wallSeconds);
    std::printf("CPU share while waiting: %.2f %% (target below 2 %%)\n", 100.0 * cpuSeconds / wallSeconds);
    std::printf("request delay after the controller's frame: median %.3f ms, p99 %.3f ms over %zu requests "
                "(target p99 below 5 ms)\n",
                percentile(delays, 50), percentile(delays, 99), delays.size());
    std::printf("stop to the operation's end: median %.2f ms, max %.2f ms over %zu stops "
                "(status period %d ms; target within one period)\n",
                percentile(cancelMs, 50), percentile(cancelMs, 100), cancelMs.size(), PeriodMs);
    return failures == 0 ? 0 : 1;
}
