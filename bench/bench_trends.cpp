// CPU a status frame costs with the "Графики" page shown, as the record fills.
// Frames come from the simulated controller in this process and carry a
// simulated arrival time, so half an hour of record takes seconds: the record
// is filled with the given minutes of frames, then frames keep coming at the
// given period while the process CPU time of each one is taken, from its
// arrival through the window's repaint.
//
// Usage: bench_trends [--period MS] [--recorded MIN] [--span 10m|1h|all] [--measure MIN]
//                     [--resident-every MIN] [--size WxH]
//   without --period, --recorded or --span: every combination of periods 100
//   and 1000 ms, 0, 10 and 30 recorded minutes and the three spans
//   --measure  the simulated minutes measured after the record is filled (default 2)
//   --resident-every  prints the resident memory every MIN simulated minutes measured
//   --size  the window's size (default its size at start)

#include "BenchSupport.h"
#include "ChartSupport.h"
#include "WidgetSupport.h"
#include "app/MainWindow.h"
#include "link/FrameCodec.h"
#include "monitor/TrendTimeline.h"
#include "sim/ControllerModel.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTabWidget>
#include <cstdio>

using namespace gencfg;
using namespace gencfg::test;
using namespace gencfg::bench;

namespace {

constexpr double TargetPercentAt100Ms = 2.0;

struct Case
{
    int periodMs = 100;
    int recordedMinutes = 0;
    TrendTimeline::Span span = TrendTimeline::TenMinutes;
};

struct Result
{
    double meanUs = 0;
    double p99Us = 0;
    double maxUs = 0;
    int points = 0;
    double residentGrowthMb = 0;
};

const char *spanName(TrendTimeline::Span span)
{
    switch (span) {
    case TrendTimeline::OneMinute:
        return "1 min";
    case TrendTimeline::TenMinutes:
        return "10 min";
    case TrendTimeline::OneHour:
        return "1 h";
    case TrendTimeline::Everything:
        return "all";
    }
    return "?";
}

Result run(const Case &c, const QSize &size, int measureMinutes, int residentEveryMinutes)
{
    // The record ends at the real time: an empty record is shown around the real clock.
    qint64 now = QDateTime::currentMSecsSinceEpoch() - qint64(c.recordedMinutes) * 60 * 1000;
    ControllerModel controller(201, 7);
    controller.setStatic(false);

    MainWindow form;
    form.setTelemetryClock([&now] { return now; });
    const int recordedFrames = c.recordedMinutes * 60 * 1000 / c.periodMs;
    for (int i = 0; i < recordedFrames; ++i) {
        now += c.periodMs;
        controller.advance(c.periodMs);
        form.telemetryLog().append(now, DecodeStatusFrame(controller.statusFrameBytes()));
    }
    QWidget *trendsPage = named<QWidget>(&form, "trendsPage");
    pickItem(named<QComboBox>(trendsPage, "spanCombo"), c.span);
    showPage(&form, trendsPage);
    form.show();
    form.resize(size);
    QCoreApplication::processEvents();

    const auto frame = [&] {
        now += c.periodMs;
        controller.advance(c.periodMs);
        form.link().receive(FrameBytesToText(controller.statusFrameBytes()));
        // The scene's update, then the window's repaint it asks for.
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    };
    for (int i = 0; i < 5; ++i)
        frame();

    const int frames = measureMinutes * 60 * 1000 / c.periodMs;
    std::vector<double> costs;
    costs.reserve(size_t(frames));
    const double residentBefore = residentMegabytes();
    const double cpuBefore = processCpuSeconds();
    for (int i = 0; i < frames; ++i) {
        const double before = processCpuSeconds();
        frame();
        costs.push_back((processCpuSeconds() - before) * 1e6);
        const int framesPerReport = residentEveryMinutes * 60 * 1000 / c.periodMs;
        if (framesPerReport > 0 && (i + 1) % framesPerReport == 0)
            std::printf("  after %3d simulated minutes: %.2f MB resident, record of %d frames\n",
                        (i + 1) / framesPerReport * residentEveryMinutes, residentMegabytes(),
                        form.telemetryLog().size());
    }
    Result result;
    result.meanUs = (processCpuSeconds() - cpuBefore) * 1e6 / frames;
    result.p99Us = percentile(costs, 99);
    result.maxUs = percentile(costs, 100);
    result.residentGrowthMb = residentMegabytes() - residentBefore;
    for (const QList<QPointF> &line : recordLines(trendsPage))
        result.points += int(line.size());
    return result;
}

} // namespace

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    QCommandLineParser parser;
    const QCommandLineOption periodOption(QStringLiteral("period"), QStringLiteral("Status period."),
                                          QStringLiteral("MS"));
    const QCommandLineOption recordedOption(QStringLiteral("recorded"),
                                            QStringLiteral("Minutes recorded before measuring."),
                                            QStringLiteral("MIN"));
    const QCommandLineOption spanOption(QStringLiteral("span"), QStringLiteral("10m, 1h or all."),
                                        QStringLiteral("SPAN"));
    const QCommandLineOption measureOption(QStringLiteral("measure"), QStringLiteral("Minutes measured."),
                                           QStringLiteral("MIN"), QStringLiteral("2"));
    const QCommandLineOption residentOption(
        QStringLiteral("resident-every"),
        QStringLiteral("Print the resident memory every MIN simulated minutes."), QStringLiteral("MIN"),
        QStringLiteral("0"));
    const QCommandLineOption sizeOption(QStringLiteral("size"), QStringLiteral("The window's size."),
                                        QStringLiteral("WxH"));
    parser.addHelpOption();
    parser.addOptions({periodOption, recordedOption, spanOption, measureOption, residentOption, sizeOption});
    parser.process(app);

    const QList<int> periods =
        parser.isSet(periodOption) ? QList<int>{parser.value(periodOption).toInt()} : QList<int>{100, 1000};
    const QList<int> recorded = parser.isSet(recordedOption)
                                    ? QList<int>{parser.value(recordedOption).toInt()}
                                    : QList<int>{0, 10, 30};
    QList<TrendTimeline::Span> spans{TrendTimeline::TenMinutes, TrendTimeline::OneHour,
                                     TrendTimeline::Everything};
    if (parser.isSet(spanOption)) {
        const QString span = parser.value(spanOption);
        spans = {span == QLatin1String("1h")    ? TrendTimeline::OneHour
                 : span == QLatin1String("all") ? TrendTimeline::Everything
                                                : TrendTimeline::TenMinutes};
    }
    const int measureMinutes = qMax(1, parser.value(measureOption).toInt());
    const int residentEveryMinutes = qMax(0, parser.value(residentOption).toInt());
    const QStringList sizeParts = parser.value(sizeOption).split(QLatin1Char('x'));
    const QSize size = sizeParts.size() == 2 ? QSize(sizeParts[0].toInt(), sizeParts[1].toInt())
                                             : QSize(MainWindow::ClientWidth, MainWindow::ClientHeight);
    for (int period : periods) {
        if (period < 10) {
            std::fprintf(stderr, "the period wants at least 10 ms\n");
            return 2;
        }
    }

    std::printf("status frames from the simulated controller, simulated arrival times; \"Графики\" shown at "
                "%dx%d; %d simulated minutes measured after the record is filled\n",
                size.width(), size.height(), measureMinutes);
    bool withinTarget = true;
    for (int period : periods) {
        for (TrendTimeline::Span span : spans) {
            for (int minutes : recorded) {
                const Result r = run({period, minutes, span}, size, measureMinutes, residentEveryMinutes);
                const double percent = r.meanUs / (period * 10.0);
                if (period == 100 && percent >= TargetPercentAt100Ms)
                    withinTarget = false;
                std::printf(
                    "period %4d ms, span %-6s, recorded %2d min: CPU a frame mean %8.1f us, p99 %8.1f "
                    "us, max %8.1f us = %5.2f %% of one core; points drawn %5d; resident %+.2f MB\n",
                    period, spanName(span), minutes, r.meanUs, r.p99Us, r.maxUs, percent, r.points,
                    r.residentGrowthMb);
                std::fflush(stdout);
            }
        }
    }
    std::printf("target: below %.1f %% of one core at period 100 ms, whatever is recorded: %s\n",
                TargetPercentAt100Ms, withinTarget ? "met" : "missed");
    return withinTarget ? 0 : 1;
}
