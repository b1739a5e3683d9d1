// The "Графики" page on the window, against the simulated controller in memory.

#include "ChartSupport.h"
#include "FormSim.h"
#include "TestSupport.h"
#include "WidgetSupport.h"
#include "link/FrameCodec.h"
#include "monitor/TelemetryCsv.h"
#include "monitor/TrendTimeline.h"
#include "monitor/ui/TrendChartView.h"
#include "sim/ControllerModel.h"
#include "widgets/SwitchLed.h"

#include <QChart>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QImage>
#include <QLineEdit>
#include <QLineSeries>
#include <QPushButton>
#include <QRubberBand>
#include <QScatterSeries>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>
#include <QValueAxis>

#include <cerrno>
#include <cstring>

using namespace gencfg;
using namespace gencfg::test;

namespace {

// The window on a controller whose values move, the "Графики" page shown over a
// minute: a few frames fill several pixel columns.
struct TrendsWindow : FormSim
{
    TrendsWindow() : FormSim(40, 201)
    {
        sim.model().setStatic(false);
        form.show();
        showPage(&form, page);
        pickItem(named<QComboBox>(page, "spanCombo"), TrendTimeline::OneMinute);
    }
    bool ready(int frames) { return QTest::qWaitForWindowExposed(&form) && settle(frames); }

    QWidget *page = named<QWidget>(&form, "trendsPage");
};

// The page's three plots: voltages, batteries, temperatures.
QList<TrendChartView *> charts(const QWidget *page)
{
    return {named<TrendChartView>(page, "voltageChart"), named<TrendChartView>(page, "batteryChart"),
            named<TrendChartView>(page, "temperatureChart")};
}

// The time range the plots show, in milliseconds since the epoch.
QPair<qint64, qint64> shownRange(const QWidget *page)
{
    const auto *time =
        qobject_cast<QDateTimeAxis *>(charts(page).first()->chart()->axes(Qt::Horizontal).value(0));
    return {time->min().toMSecsSinceEpoch(), time->max().toMSecsSinceEpoch()};
}

// The user's zoom to from..to on the voltage plot.
void zoom(const QWidget *page, qint64 from, qint64 to)
{
    Q_EMIT charts(page).first()->rangeRequested(from, to);
}

// Saves through the page's button and the file dialog; the failure the box tells, or an empty text.
QString saveThrough(FormSim &s, QWidget *page, const char *button, const QString &path)
{
    const int before = s.boxes.count();
    answerFileDialog(page, path);
    named<QPushButton>(page, button)->click();
    fileDialogClosed();
    return s.boxes.count() == before ? QString() : s.boxes.lastText();
}

// The labels an axis shows: Qt Charts spaces the ticks evenly from min to max and
// prints each with the axis' format ("%d" truncates).
QStringList valueLabels(const QValueAxis *axis)
{
    QStringList labels;
    const QString format = axis->labelFormat();
    const int decimals = format == QLatin1String("%d") ? -1 : format.mid(2, 1).toInt();
    for (int i = 0; i < axis->tickCount(); ++i) {
        const double value = axis->min() + i * (axis->max() - axis->min()) / (axis->tickCount() - 1);
        labels << (decimals < 0 ? QString::number(qint64(value)) : QString::number(value, 'f', decimals));
    }
    return labels;
}

QStringList timeLabels(const QDateTimeAxis *axis)
{
    QStringList labels;
    const double min = double(axis->min().toMSecsSinceEpoch());
    const double max = double(axis->max().toMSecsSinceEpoch());
    for (int i = 0; i < axis->tickCount(); ++i)
        labels << QDateTime::fromMSecsSinceEpoch(qRound64(min + i * (max - min) / (axis->tickCount() - 1)))
                      .toString(axis->format());
    return labels;
}

// Every label of every axis of the page's three plots, each its own text; a failure names the axis.
QString repeatedLabels(const QWidget *page)
{
    QString repeated;
    for (TrendChartView *view : charts(page)) {
        QStringList labels;
        if (const auto *values = qobject_cast<QValueAxis *>(view->chart()->axes(Qt::Vertical).value(0)))
            labels = valueLabels(values);
        if (const auto *time = qobject_cast<QDateTimeAxis *>(view->chart()->axes(Qt::Horizontal).value(0)))
            labels << timeLabels(time);
        if (QSet<QString>(labels.cbegin(), labels.cend()).size() != labels.size())
            repeated += view->accessibleName() + QStringLiteral(": ") + labels.join(QLatin1Char(' ')) +
                        QLatin1Char('\n');
    }
    return repeated;
}

} // namespace

class tst_TrendsPage : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void livePlots_followTheNewestFrameUntilZoomedAndSaveTheRecord();
    void changeMarks_showTheirTextOnHover();
    void rightDrag_shadesTheSpanInTheViewAndAsksForIt();
    void longRecord_framesHandTheChartOnlyTheNewestPartOfEachLine_data();
    void longRecord_framesHandTheChartOnlyTheNewestPartOfEachLine();
    void saves_ontoAFullDisk_keepTheOldFileAndGiveTheSystemsReason();
    void axisLabels_neverRepeatOverNarrowRanges();
};

void tst_TrendsPage::livePlots_followTheNewestFrameUntilZoomedAndSaveTheRecord()
{
    TrendsWindow s;
    QWidget *page = s.page;
    QVERIFY(s.ready(20));

    const TelemetryLog &log = s.form.telemetryLog();
    QCOMPARE(log.size(), s.form.link().packetCount());
    // Live: the axis moves on in steps of a thirtieth of its span.
    auto [from0, to0] = shownRange(page);
    QVERIFY(to0 >= log.newest().msecs && to0 - log.newest().msecs <= 2000);
    QCOMPARE(to0 - from0, qint64(60 * 1000));
    QCOMPARE(recordLines(page).at(0).last().x(), double(log.newest().msecs));
    // What frame after frame built is what the whole record gives when built at once.
    const QList<QList<QPointF>> incremental = recordLines(page);
    QCOMPARE(incremental.size(), 10);
    named<QPushButton>(page, "nowButton")->click();
    QVERIFY(incremental.at(0).size() > 4);
    QCOMPARE(recordLines(page), incremental);
    QCOMPARE(recordLines(page).at(0).last().y(), double(log.newest().record.VoltageA));

    // Zoomed in: the span stays where it was while frames come.
    const qint64 from = log.at(1).msecs;
    const qint64 to = log.at(4).msecs;
    zoom(page, from, to);
    QVERIFY(s.settle(3));
    QCOMPARE(shownRange(page), qMakePair(from, to));
    const QList<QList<QPointF>> zoomed = recordLines(page);
    for (const QPointF &point : zoomed.at(4))
        QVERIFY(point.x() >= log.at(0).msecs && point.x() <= log.at(5).msecs);
    named<QPushButton>(page, "nowButton")->click();
    QVERIFY(s.settle(1));
    QVERIFY(shownRange(page).second >= log.newest().msecs);

    QTemporaryDir dir;
    const QString csv = dir.filePath(QStringLiteral("trend.csv"));
    const int framesBefore = log.size();
    QCOMPARE(saveThrough(s, page, "saveCsvButton", csv), QString());
    // Frames go on arriving while the dialog closes: the file holds the record as it was when saved.
    const QByteArray saved = readAll(csv);
    const int rows = int(saved.count("\r\n")) - 1;
    QVERIFY2(rows >= framesBefore && rows <= log.size(), qPrintable(QString::number(rows)));
    QCOMPARE(saved, TelemetryCsv(log, 0, rows));
    const QString png = dir.filePath(QStringLiteral("trend.png"));
    QCOMPARE(saveThrough(s, page, "savePictureButton", png), QString());
    QVERIFY(QImage(png).width() > 100);

    // Continuous recording: a line a frame from the moment the switch goes on.
    const QString watch = dir.filePath(QStringLiteral("watch.csv"));
    named<QLineEdit>(page, "recordFileEdit")->setText(watch);
    named<SwitchLed>(page, "recordSwitch")->click();
    QVERIFY(named<SwitchLed>(page, "recordSwitch")->isActive());
    const int before = log.size();
    QVERIFY(s.settle(4));
    const int recorded = log.size() - before;
    named<SwitchLed>(page, "recordSwitch")->click();
    QVERIFY(!named<SwitchLed>(page, "recordSwitch")->isActive());
    QVERIFY(s.settle(2));
    QCOMPARE(int(readAll(watch).count('\n')), 1 + recorded);
    QVERIFY(s.boxes.all().isEmpty());
}

void tst_TrendsPage::changeMarks_showTheirTextOnHover()
{
    TrendsWindow s;
    QWidget *page = s.page;
    QVERIFY(s.ready(10));
    TrendChartView *voltages = charts(page).first();
    QScatterSeries *marks = nullptr;
    for (QAbstractSeries *series : voltages->chart()->series()) {
        if (auto *scatter = qobject_cast<QScatterSeries *>(series))
            marks = scatter;
    }
    QVERIFY(marks && !marks->points().isEmpty());

    const QPoint at =
        voltages->mapFromScene(voltages->chart()->mapToPosition(marks->points().first(), marks));
    QTest::mouseMove(voltages->viewport(), at + QPoint(-20, -20));
    QTest::mouseMove(voltages->viewport(), at);
    QTRY_VERIFY(QToolTip::isVisible());
    QCOMPARE(QToolTip::text(), QStringLiteral("Авто: Питание от сети"));
    // The text stays while the pointer rests on the mark.
    QTest::qWait(1500);
    QVERIFY(QToolTip::isVisible());
}

void tst_TrendsPage::rightDrag_shadesTheSpanInTheViewAndAsksForIt()
{
    TrendsWindow s;
    QVERIFY(s.ready(6));
    // A minute that ended in the past: nothing on the plot moves while the test looks at it.
    const qint64 end = s.form.telemetryLog().at(1).msecs;
    zoom(s.page, end - 60 * 1000, end);
    TrendChartView *voltages = charts(s.page).first();
    QWidget *plot = voltages->viewport();
    const int row = TrendChartView::PlotTop + 4;
    const int left = plot->width() / 3;
    const int right = plot->width() / 2;
    const QPoint inside((left + right) / 2, row);
    const QPoint outside(right + 20, row);
    const QImage before = plot->grab().toImage();
    QSignalSpy asked(voltages, &TrendChartView::rangeRequested);
    QTest::mousePress(plot, Qt::RightButton, {}, QPoint(left, row));
    QTest::mouseMove(plot, QPoint(right, row));
    // The view paints the span itself: no child widget is placed over the plot.
    QVERIFY(voltages->findChildren<QRubberBand *>().isEmpty());
    const QImage during = plot->grab().toImage();
    QVERIFY(during.pixel(inside) != before.pixel(inside));
    QCOMPARE(during.pixel(outside), before.pixel(outside));
    QTest::mouseRelease(plot, Qt::RightButton, {}, QPoint(right, row));
    QCOMPARE(asked.count(), 1);
    QVERIFY(asked.first().at(0).toLongLong() < asked.first().at(1).toLongLong());
}

void tst_TrendsPage::longRecord_framesHandTheChartOnlyTheNewestPartOfEachLine_data()
{
    QTest::addColumn<int>("span");
    QTest::newRow("10 min") << int(TrendTimeline::TenMinutes);
    QTest::newRow("1 h") << int(TrendTimeline::OneHour);
    QTest::newRow("all") << int(TrendTimeline::Everything);
}

void tst_TrendsPage::longRecord_framesHandTheChartOnlyTheNewestPartOfEachLine()
{
    QFETCH(int, span);
    constexpr int PeriodMs = 250;
    MainWindow form;
    const TelemetryLog &log = form.telemetryLog();
    ControllerModel controller(201, 7);
    controller.setStatic(false);
    qint64 now = QDateTime::currentMSecsSinceEpoch() - 30 * 60 * 1000;
    form.setTelemetryClock([&now] { return now; });
    // Half an hour recorded before the page is shown.
    for (int i = 0; i < 30 * 60 * 1000 / PeriodMs; ++i) {
        now += PeriodMs;
        controller.advance(PeriodMs);
        form.telemetryLog().append(now, DecodeStatusFrame(controller.statusFrameBytes()));
    }
    QWidget *page = named<QWidget>(&form, "trendsPage");
    pickItem(named<QComboBox>(page, "spanCombo"), span);
    showPage(&form, page);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));

    qint64 handed = 0;
    for (const TrendChartView *view : charts(page)) {
        for (QAbstractSeries *series : view->chart()->series()) {
            if (auto *line = qobject_cast<QLineSeries *>(series))
                connect(line, &QXYSeries::pointsReplaced, page, [&handed, line] { handed += line->count(); });
        }
    }
    // Three minutes of frames: the axis moves on and columns settle and go meanwhile.
    const int frames = 3 * 60 * 1000 / PeriodMs;
    for (int i = 0; i < frames; ++i) {
        now += PeriodMs;
        controller.advance(PeriodMs);
        form.link().receive(FrameBytesToText(controller.statusFrameBytes()));
    }

    const int pixels = int(charts(page).first()->chart()->plotArea().width());
    const QList<QList<QPointF>> incremental = recordLines(page);
    QCOMPARE(incremental.size(), 10);
    qsizetype drawn = 0;
    for (int trend = 0; trend < 10; ++trend) {
        drawn += incremental.at(trend).size();
        // Two points a pixel column and the newest sample, whatever is recorded.
        QVERIFY2(incremental.at(trend).size() <= 2 * (pixels + 3) + 1, qPrintable(QString::number(trend)));
    }
    QVERIFY2(drawn / 10 > 200, qPrintable(QString::number(drawn)));
    // On average a frame hands the chart fewer points than a line draws: never every line again.
    QVERIFY2(handed / frames < drawn / 10,
             qPrintable(QStringLiteral("%1 points a frame, %2 a line").arg(handed / frames).arg(drawn / 10)));
    QCOMPARE(incremental.at(0).last(), QPointF(double(now), log.newest().record.VoltageA));

    // What frame after frame built is what the record gives when built at once, beyond the leftmost columns.
    const auto [shownFrom, shownTo] = shownRange(page);
    const double from = double(shownFrom + (shownTo - shownFrom) / 100);
    const auto shown = [from](const QList<QPointF> &points) {
        QList<QPointF> kept;
        for (const QPointF &point : points) {
            if (point.x() >= from)
                kept << point;
        }
        return kept;
    };
    named<QPushButton>(page, "nowButton")->click();
    const QList<QList<QPointF>> atOnce = recordLines(page);
    for (int trend = 0; trend < 10; ++trend)
        QCOMPARE(shown(atOnce.at(trend)), shown(incremental.at(trend)));
}

void tst_TrendsPage::saves_ontoAFullDisk_keepTheOldFileAndGiveTheSystemsReason()
{
#ifndef Q_OS_UNIX
    QSKIP("needs a limit on file sizes");
#endif
    TrendsWindow s;
    QVERIFY(s.ready(5));
    QTemporaryDir dir;
    for (const QString &name : {QStringLiteral("trend.csv"), QStringLiteral("trend.png")}) {
        const QString path = dir.filePath(name);
        QVERIFY(writeAll(path, "old"));
        QString failure;
        {
            FileSizeLimit full(200);
            QVERIFY(full.isSet());
            failure = saveThrough(
                s, s.page, name.endsWith(QLatin1String(".csv")) ? "saveCsvButton" : "savePictureButton",
                path);
        }
        QCOMPARE(failure, QStringLiteral("Не удалось сохранить %1: %2")
                              .arg(path, QString::fromLocal8Bit(std::strerror(EFBIG))));
        QCOMPARE(readAll(path), QByteArray("old"));
    }
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
             (QStringList{QStringLiteral("trend.csv"), QStringLiteral("trend.png")}));

    QCOMPARE(s.boxes.count(), 2);
    s.boxes.clear();

    // The disk fills while recording: the switch goes off and the reason is told once, after the frame.
    const QString watch = dir.filePath(QStringLiteral("watch.csv"));
    named<QLineEdit>(s.page, "recordFileEdit")->setText(watch);
    named<SwitchLed>(s.page, "recordSwitch")->click();
    QVERIFY(named<SwitchLed>(s.page, "recordSwitch")->isActive());
    {
        FileSizeLimit full(readAll(watch).size() + 40);
        QVERIFY(full.isSet());
        QVERIFY(s.settle(3));
    }
    QVERIFY(!named<SwitchLed>(s.page, "recordSwitch")->isActive());
    QVERIFY(named<QLineEdit>(s.page, "recordFileEdit")->isEnabled());
    QTRY_COMPARE(s.boxes.count(), 1);
    QVERIFY2(s.boxes.lastText().contains(QString::fromLocal8Bit(std::strerror(EFBIG))),
             qPrintable(s.boxes.lastText()));
    QVERIFY(readAll(watch).endsWith("\r\n"));
    // Recording stopped: later frames leave the file as it is.
    const QByteArray kept = readAll(watch);
    QVERIFY(s.settle(2));
    QCOMPARE(readAll(watch), kept);
}

void tst_TrendsPage::axisLabels_neverRepeatOverNarrowRanges()
{
    // Readings that do not move: every phase at 220 V, both batteries at 13.6 V, every sensor at 0 °C.
    FormSim s(40, 201);
    ControllerState &state = s.sim.model().state();
    state.voltageGU = state.voltageA = state.voltageB = state.voltageC = 220;
    state.accVoltage = state.upsVoltage = 136;
    std::fill(std::begin(state.temperatures), std::end(state.temperatures), qint8(0));
    QWidget *page = named<QWidget>(&s.form, "trendsPage");
    s.form.show();
    showPage(&s.form, page);
    QVERIFY(QTest::qWaitForWindowExposed(&s.form));
    // Before the first frame as well.
    QString repeated = repeatedLabels(page);
    QVERIFY2(repeated.isEmpty(), qPrintable(repeated));
    pickItem(named<QComboBox>(page, "spanCombo"), TrendTimeline::OneMinute);
    QVERIFY(s.settle(5));
    repeated = repeatedLabels(page);
    QVERIFY2(repeated.isEmpty(), qPrintable(repeated));

    const TelemetryLog &log = s.form.telemetryLog();
    const qint64 newest = log.newest().msecs;
    for (const qint64 span : {qint64(2000), qint64(5999), qint64(3 * 24 * 3600 * 1000LL)}) {
        zoom(page, newest - span, newest);
        repeated = repeatedLabels(page);
        QVERIFY2(repeated.isEmpty(), qPrintable(QStringLiteral("over %1 ms:\n%2").arg(span).arg(repeated)));
    }
}

QTEST_MAIN(tst_TrendsPage)
#include "tst_trendspage.moc"
