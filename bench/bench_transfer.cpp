// Times a full parameter read and a full write through the "Параметры" page
// against a simulated controller whose line runs at the pace of 9600 baud, and
// compares each with the least time the device allows: one status period per
// request (four for the read, eight for the write with its read-back) plus the
// wire time of the request and reply frames.
//
// Usage: bench_transfer [repetitions] [period-ms ...]   (defaults: 5, 100 1000)

#include "LinkWait.h"
#include "WidgetSupport.h"
#include "app/MainWindow.h"
#include "link/FrameCodec.h"
#include "sim/PtySimulator.h"

#include <QProgressBar>

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace gencfg;
using gencfg::test::named;

namespace {

constexpr double BitsPerByte = 10; // 8N1
constexpr double Baud = 9600;
constexpr double Target = 1.2;

double WireMs(qsizetype bytes)
{
    return double(bytes) * BitsPerByte * 1000.0 / Baud;
}

// Frame text length of a device frame with n data bytes: start, 2 hex per byte, end.
qsizetype DeviceFrameLength(int n)
{
    return 2 + 2 * (6 + n);
}

double ReadWireMs()
{
    double ms = 0;
    for (int address : {0, 64, 128, 192})
        ms += WireMs(BuildReadFrame(quint16(address), 64).size() + DeviceFrameLength(64));
    return ms;
}

double WriteWireMs()
{
    double ms = 0;
    const std::pair<int, int> plan[] = {{4, 60}, {64, 64}, {128, 52}, {192, 64}};
    for (const auto &[address, length] : plan)
        ms += WireMs(BuildWriteFrame(quint16(address), quint8(length), QByteArray(length, '\0')).size());
    return ms;
}

struct Figures
{
    std::vector<double> ms;
    int failedAtStep[9] = {}; // by the progress shown when the failure box came up
    int steps = 4;
    int failures() const
    {
        int n = 0;
        for (int step = 1; step <= steps; ++step)
            n += failedAtStep[step];
        return n;
    }
};

void Report(const char *what, int periodMs, double minimumMs, Figures figures)
{
    const auto failures = [&figures] {
        QString text = QString::number(figures.failures());
        for (int step = 1; step <= figures.steps; ++step) {
            if (figures.failedAtStep[step] > 0)
                text += QStringLiteral(" (%1 at step %2)").arg(figures.failedAtStep[step]).arg(step);
        }
        return text;
    };
    if (figures.ms.empty()) {
        std::printf("%-5s period %4d ms: every run failed: %s\n", what, periodMs, qPrintable(failures()));
        return;
    }
    std::sort(figures.ms.begin(), figures.ms.end());
    const double median = figures.ms[figures.ms.size() / 2];
    const double worst = figures.ms.back();
    std::printf("%-5s period %4d ms: minimum %7.1f ms | best %7.1f  median %7.1f  worst %7.1f ms | "
                "ratio median %.2f worst %.2f (target <= %.1f)%s | failed %s\n",
                what, periodMs, minimumMs, figures.ms.front(), median, worst, median / minimumMs,
                worst / minimumMs, Target, worst / minimumMs <= Target ? "" : "  OVER",
                qPrintable(failures()));
}

void Run(int periodMs, int repetitions)
{
    PtySimulator sim(200, 1);
    sim.model().setStatic(true);
    sim.setPaced(true);
    sim.setPeriodMs(periodMs);
    if (!sim.start()) {
        std::printf("cannot start the simulator: %s\n", qPrintable(sim.errorString()));
        return;
    }
    MainWindow form;
    QStringList boxes;
    int progressAtBox = 0;
    form.messages().setHandler([&](const Message &m) {
        boxes << m.text;
        progressAtBox = named<QProgressBar>(&form, "progressBar")->value();
    });
    form.addExtraPort(sim.devicePath());
    form.pickPort(sim.devicePath());
    if (!QTest::qWaitFor([&form] { return form.link().packetCount() > 0; }, 5 * periodMs + 2000)) {
        std::printf("no status frame from the simulator\n");
        return;
    }

    const auto timed = [&](const char *button, const QString &success, Figures &figures) {
        boxes.clear();
        QElapsedTimer clock;
        clock.start();
        named<QPushButton>(&form, button)->click();
        test::waitUntilIdle(form.link());
        const double ms = double(clock.nsecsElapsed()) / 1e6;
        if (boxes == QStringList{success})
            figures.ms.push_back(ms);
        else
            ++figures.failedAtStep[qBound(1, progressAtBox * figures.steps / 100, figures.steps)];
    };

    Figures reads;
    Figures writes;
    writes.steps = 8; // four blocks written, four read back
    for (int i = 0; i < repetitions; ++i) {
        timed("readButton", QStringLiteral("Параметры успешно прочитаны из устройства."), reads);
        timed("writeButton", QStringLiteral("Параметры успешно записаны в устройство."), writes);
    }
    Report("read", periodMs, 4 * periodMs + ReadWireMs(), reads);
    Report("write", periodMs, 8 * periodMs + WriteWireMs() + ReadWireMs(), writes);
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int repetitions = argc > 1 ? std::max(1, QByteArray(argv[1]).toInt()) : 5;
    std::vector<int> periods;
    for (int i = 2; i < argc; ++i)
        periods.push_back(std::max(1, QByteArray(argv[i]).toInt()));
    if (periods.empty())
        periods = {100, 1000};
    for (int period : periods)
        Run(period, repetitions);
    return 0;
}
