// 100 block reads against gensim: the program's CPU share while it waits for
// the controller, and how soon after the controller's frame each request leaves.

#include "BenchSupport.h"
#include "LinkWait.h"
#include "link/DeviceLink.h"

#include <QCoreApplication>
#include <QTest>
#include <cstdio>

using namespace gencfg;
using namespace gencfg::bench;

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int reads = argc > 1 ? QByteArray(argv[1]).toInt() : 100;
    GensimProcess gensim;
    if (!gensim.start({QStringLiteral("--period"), QStringLiteral("100"), QStringLiteral("--static"),
                       QStringLiteral("--log")})) {
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
    link.AfComPort1().close();

    const std::vector<double> delays = requestDelaysMs(parseGensimLog(gensim.stop()));
    std::printf("block reads:            %d (%d failed)\n", reads, failures);
    std::printf("wall time:              %.2f s\n", wallSeconds);
    std::printf("CPU share while waiting: %.2f %% (target below 2 %%)\n", 100.0 * cpuSeconds / wallSeconds);
    std::printf("request delay after the controller's frame: median %.3f ms, p99 %.3f ms over %zu requests "
                "(target p99 below 5 ms)\n",
                percentile(delays, 50), percentile(delays, 99), delays.size());
    return failures == 0 ? 0 : 1;
}
