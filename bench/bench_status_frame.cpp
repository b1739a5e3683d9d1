// Cost of one status frame from arrival to a repainted window: dispatch,
// decoding, display, the telemetry record and the repaint of the whole window.
//
// Usage: bench_status_frame [frames] [width height] [--trends] [--day] [--all] [--full-repaint]
//   --trends  the "Графики" page is the one shown (else the measurement page)
//   --day     the record already holds a full day, a frame a second
//   --all     the plots show the whole record (else the last 10 minutes)
//   --full-repaint  every widget of the window is painted again each frame, not only
//                   what the frame changed, as the window does by itself

#include "WidgetSupport.h"
#include "app/MainWindow.h"
#include "link/Commands.h"
#include "link/FrameCodec.h"
#include "monitor/StatusFrameMap.h"
#include "monitor/TrendTimeline.h"

#include <QDateTime>
#include <QTabWidget>

#include <QApplication>
#include <QElapsedTimer>
#include <QTextStream>
#include <algorithm>
#include <vector>

using namespace gencfg;
using namespace gencfg::test;

namespace {

// The status frame as the controller sends it, with values that change from frame to frame.
QByteArray statusFrameText(int n)
{
    using namespace StatusFrameMap;
    QByteArray data(Size, '\0');
    data[VariantCode] = char(200);
    data[Flags1] = char(n & 0x1F);
    data[Flags2] = char(n * 7);
    data[Mode] = char(AutomaticMode);
    data[Stage] = char(n % 27);
    data[StageTimer] = char(n >> 8);
    data[StageTimer + 1] = char(n);
    for (int i = GeneratorVoltage; i <= PhaseC; ++i)
        data[i] = char(150 + (n * (i - 5)) % 100);
    data[StarterBattery + 1] = char(100 + n % 60);
    data[UpsBattery + 1] = char(200 + n % 80);
    data[EngineMinutes + 3] = char(n);
    data[MaintenanceMinutes + 1] = char(n * 3);
    data[ClockHours] = char(ByteToBcd(quint8(n / 3600 % 24)));
    data[ClockMinutes] = char(ByteToBcd(quint8(n / 60 % 60)));
    data[ClockSeconds] = char(ByteToBcd(quint8(n % 60)));
    data[SignalQuality] = char(n % 40);
    data[Registration] = char(n % 7);
    for (int i = FirstTemperature; i < FirstTemperature + TemperatureCount; ++i)
        data[i] = char(-20 + (n + i) % 60);

    return DeviceFrameText(CMD_STATUS, data);
}

} // namespace

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStringList args = app.arguments();
    const bool trends = args.removeAll(QStringLiteral("--trends")) > 0;
    const bool day = args.removeAll(QStringLiteral("--day")) > 0;
    const bool all = args.removeAll(QStringLiteral("--all")) > 0;
    const bool fullRepaint = args.removeAll(QStringLiteral("--full-repaint")) > 0;
    const int frames = qMax(1, args.value(1, QStringLiteral("500")).toInt());
    const QSize size(args.value(2, QStringLiteral("799")).toInt(),
                     args.value(3, QStringLiteral("572")).toInt());

    MainWindow form;
    if (day) {
        const TelemetryRecord record = DecodeStatusFrame(DecodeFrameText(statusFrameText(0)));
        const qint64 now = QDateTime::currentMSecsSinceEpoch();
        for (int i = TelemetryLog::DayAtOneFramePerSecond; i > 0; --i)
            form.telemetryLog().append(now - 1000 * qint64(i), record);
    }
    if (trends) {
        QWidget *trendsPage = named<QWidget>(&form, "trendsPage");
        pickItem(named<QComboBox>(trendsPage, "spanCombo"),
                 all ? TrendTimeline::Everything : TrendTimeline::TenMinutes);
        showPage(&form, trendsPage);
    }
    form.show();
    form.resize(size);
    QCoreApplication::processEvents();

    std::vector<QByteArray> texts;
    texts.reserve(size_t(frames));
    for (int n = 0; n < frames; ++n)
        texts.push_back(statusFrameText(n));

    std::vector<qint64> costs;
    costs.reserve(texts.size());
    QElapsedTimer timer;
    for (const QByteArray &text : texts) {
        timer.start();
        form.link().receive(text);
        if (fullRepaint)
            form.repaint();
        else
            QCoreApplication::sendPostedEvents(&form, QEvent::UpdateRequest);
        costs.push_back(timer.nsecsElapsed());
    }

    std::sort(costs.begin(), costs.end());
    const auto micros = [](qint64 ns) { return ns / 1000.0; };
    QTextStream(stdout)
        << "repaint: " << (fullRepaint ? "the whole window" : "what the frame changed") << "\n"
        << "page shown: " << (trends ? (all ? "trends, whole record" : "trends, 10 min") : "measurement")
        << ", record before: " << (day ? TelemetryLog::DayAtOneFramePerSecond : 0) << " frames ("
        << double(TelemetryLog::DayAtOneFramePerSecond * TelemetryLog::BytesPerSample) / 1048576.0
        << " MB for a full day)\n"
        << "status frames: " << frames << " at " << size.width() << "x" << size.height() << ", accepted "
        << form.link().packetCount() << "\n"
        << "median per frame incl. display and repaint: " << micros(costs[costs.size() / 2]) << " us\n"
        << "90th percentile: " << micros(costs[costs.size() * 9 / 10]) << " us\n";
    return form.link().packetCount() == frames ? 0 : 1;
}
