#include "app/MainWindow.h"
#include "app/TerminalPage.h"
#include "config/ui/ParamTreeView.h"
#include "config/ui/ParamsPage.h"
#include "monitor/ui/JournalPage.h"
#include "monitor/ui/MeasurementPage.h"
#include "service/ui/ServicePage.h"
#include "widgets/AngularGauge.h"
#include "widgets/LinearGauge.h"
#include "widgets/NumericDisplay.h"
#include "widgets/Placement.h"
#include "widgets/PortComboBox.h"
#include "widgets/RectLed.h"
#include "widgets/SwitchLed.h"
#include "widgets/TextDisplay.h"
#include "widgets/WrapLabel.h"

#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <memory>

using namespace gencfg;

namespace {

// A shown window of the given outer size; the page control is 50 pixels lower.
std::unique_ptr<MainWindow> windowOf(const QSize &size)
{
    auto form = std::make_unique<MainWindow>();
    form->show();
    form->resize(size);
    QCoreApplication::processEvents();
    return form;
}

QString where(const QWidget *w)
{
    const QRect r = w->geometry();
    return QStringLiteral("%1 at %2,%3 %4x%5")
        .arg(w->objectName())
        .arg(r.x())
        .arg(r.y())
        .arg(r.width())
        .arg(r.height());
}

int centreOf(const QWidget *w)
{
    return w->x() + RoundHalfEven(w->width() / 2.0);
}

QMap<QString, QRect> geometries(const QWidget *page)
{
    QMap<QString, QRect> places;
    for (const QWidget *w : page->findChildren<QWidget *>())
        places.insert(w->objectName().isEmpty() ? QString::number(quintptr(w)) : w->objectName(),
                      w->geometry());
    return places;
}

} // namespace

class tst_Layout : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void roundHalfEven_data();
    void roundHalfEven();
    void workedExample_placesThePhaseAndGeneratorDials();
    void bars_scaleWithTheirOwnSide();
    void dialSide_followsTheShorterSideOfThePageControl_data();
    void dialSide_followsTheShorterSideOfThePageControl();
    void dialOffset_halvesToTheEvenNeighbour();
    void captions_sitFiveOrTenPixelsOverTheirGauges_data();
    void captions_sitFiveOrTenPixelsOverTheirGauges();
    void temperatureCaption_centredOverTheFourGauges();
    void statusColumn_movesSidewaysOnly();
    void modeLeds_stack24PixelsApartAroundTheModeRow();
    void otherPages_stretchAndKeepTheirButtonsAtTheEdges();
    void servicePage_neverMoves();
    void placement_dependsOnlyOnTheCurrentSize();
    void window_shrinksToHalfItsDesignSizeKeepingTheStatusBarInside();
};

void tst_Layout::roundHalfEven_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("rounded");
    QTest::newRow("80.5 down to even") << 80.5 << 80;
    QTest::newRow("81.5 up to even") << 81.5 << 82;
    QTest::newRow("0.5 to 0") << 0.5 << 0;
    QTest::newRow("-0.5 to 0") << -0.5 << 0;
    QTest::newRow("-1.5 to -2") << -1.5 << -2;
    QTest::newRow("-2.5 to -2") << -2.5 << -2;
    QTest::newRow("below a half") << 7.4999 << 7;
    QTest::newRow("above a half") << 7.5001 << 8;
    QTest::newRow("whole") << 161.0 << 161;
}

void tst_Layout::roundHalfEven()
{
    QFETCH(double, value);
    QFETCH(int, rounded);
    QCOMPARE(RoundHalfEven(value), rounded);
}

void tst_Layout::workedExample_placesThePhaseAndGeneratorDials()
{
    const auto form = windowOf({1000, 750});
    QCOMPARE(form->pageTabs->size(), QSize(1000, 700));
    const MeasurementPage &m = *form->measurementPage;

    QCOMPARE(m.phaseAGauge->geometry(), QRect(0, 130, 161, 161));
    QCOMPARE(m.phaseAGauge->tickMajorLength(), 15);
    QCOMPARE(m.phaseAGauge->tickMinorLength(), 8);
    QCOMPARE(m.phaseAGauge->pointerSize(), 10);
    QCOMPARE(m.phaseAGauge->hubSize(), 15);
    // Display under the dial, caption over it: row 210, half the dial 80.
    QCOMPARE(m.phaseADisplay->y(), 210 - m.phaseADisplay->height() / 2 + 80 + 10);
    QCOMPARE(m.phaseACaption->y(), 210 - m.phaseACaption->height() / 2 - 80 - 10);
    QCOMPARE(centreOf(m.phaseADisplay), 80);

    QCOMPARE(m.generatorGauge->geometry(), QRect(608, 63, 224, 224));
    QCOMPARE(m.generatorGauge->tickMajorLength(), 20);
    QCOMPARE(m.generatorGauge->tickMinorLength(), 10);
    QCOMPARE(m.generatorGauge->pointerSize(), 15);
    QCOMPARE(m.generatorGauge->hubSize(), 20);
}

void tst_Layout::bars_scaleWithTheirOwnSide()
{
    const auto form = windowOf({1000, 750});
    const MeasurementPage &m = *form->measurementPage;
    for (const LinearGauge *tall : {m.starterBatteryGauge, m.temperature1Gauge, m.temperature4Gauge})
        QVERIFY2(tall->size() == QSize(70, 245), qPrintable(where(tall)));
    for (const LinearGauge *wide : {m.upsBatteryGauge, m.signalGauge})
        QVERIFY2(wide->size() == QSize(350, 70), qPrintable(where(wide)));
    QCOMPARE(m.starterBatteryGauge->pos(), QPoint(920 - 35, 168 - 122));
    QCOMPARE(m.signalGauge->pos(), QPoint(240 - 175, 525 - 35));
    QCOMPARE(m.temperature3Gauge->tickMajorLength(), 20);
    QCOMPARE(m.temperature3Gauge->tickMinorLength(), 10);
    QCOMPARE(m.temperature3Gauge->pointerSize(), 15);
}

void tst_Layout::dialSide_followsTheShorterSideOfThePageControl_data()
{
    QTest::addColumn<QSize>("window");
    QTest::addColumn<int>("phaseSide");
    QTest::addColumn<int>("generatorSide");
    QTest::newRow("wide: from the height 750") << QSize(1400, 800) << 172 << 240;
    QTest::newRow("tall: from the width 800") << QSize(800, 1300) << 184 << 256;
    QTest::newRow("design size: from the height 522") << QSize(799, 572) << 120 << 167;
}

void tst_Layout::dialSide_followsTheShorterSideOfThePageControl()
{
    QFETCH(QSize, window);
    QFETCH(int, phaseSide);
    QFETCH(int, generatorSide);
    const auto form = windowOf(window);
    const MeasurementPage &m = *form->measurementPage;
    for (const AngularGauge *phase : {m.phaseAGauge, m.phaseBGauge, m.phaseCGauge})
        QVERIFY2(phase->size() == QSize(phaseSide, phaseSide), qPrintable(where(phase)));
    QVERIFY2(m.generatorGauge->size() == QSize(generatorSide, generatorSide),
             qPrintable(where(m.generatorGauge)));
}

void tst_Layout::dialOffset_halvesToTheEvenNeighbour()
{
    // Page control 1000 x 709: the phase dials are round(163.07) = 163 wide.
    const auto form = windowOf({1000, 759});
    const MeasurementPage &m = *form->measurementPage;
    QCOMPARE(m.phaseAGauge->width(), 163);
    QCOMPARE(m.phaseAGauge->x(), 80 - 82);
    QCOMPARE(m.phaseBGauge->x(), 240 - 82);
}

void tst_Layout::captions_sitFiveOrTenPixelsOverTheirGauges_data()
{
    QTest::addColumn<QString>("gauge");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("gap");
    QTest::newRow("GSM signal") << "signalGauge"
                                << "signalCaption" << 5;
    QTest::newRow("UPS") << "upsBatteryGauge"
                         << "upsBatteryCaption" << 5;
    QTest::newRow("phase B") << "phaseBGauge"
                             << "phaseBCaption" << 10;
    QTest::newRow("generator") << "generatorGauge"
                               << "generatorCaption" << 10;
    QTest::newRow("starter battery") << "starterBatteryGauge"
                                     << "starterBatteryCaption" << 10;
    QTest::newRow("registration") << "registrationLabel"
                                  << "registrationCaption" << 10;
    QTest::newRow("temperature") << "temperature1Gauge"
                                 << "temperaturesCaption" << 10;
    QTest::newRow("mode") << "stageLabel"
                          << "modeCaption" << 10;
}

void tst_Layout::captions_sitFiveOrTenPixelsOverTheirGauges()
{
    QFETCH(QString, gauge);
    QFETCH(QString, caption);
    QFETCH(int, gap);
    const auto form = windowOf({1000, 750});
    const QWidget *g = form->measurementPage->findChild<QWidget *>(gauge);
    const QWidget *c = form->measurementPage->findChild<QWidget *>(caption);
    QVERIFY(g && c);
    QCOMPARE(g->y() - c->y() - RoundHalfEven(c->height() / 2.0), gap);
}

void tst_Layout::temperatureCaption_centredOverTheFourGauges()
{
    const auto form = windowOf({1000, 750});
    const MeasurementPage &m = *form->measurementPage;
    QCOMPARE(centreOf(m.temperaturesCaption), 800);
    const LinearGauge *gauges[] = {m.temperature1Gauge, m.temperature2Gauge, m.temperature3Gauge,
                                   m.temperature4Gauge};
    const int columns[] = {680, 760, 840, 920};
    for (int i = 0; i < 4; ++i) {
        QVERIFY2(centreOf(gauges[i]) == columns[i] && gauges[i]->y() == 490 - 122,
                 qPrintable(where(gauges[i])));
    }
}

void tst_Layout::statusColumn_movesSidewaysOnly()
{
    MeasurementPage design;
    const auto form = windowOf({1000, 750});
    const MeasurementPage &m = *form->measurementPage;
    const QList<const QWidget *> column = {m.motoclockCaption,   m.motoclockDisplay, m.maintenanceCaption,
                                           m.maintenanceDisplay, m.clockCaption,     m.clockDisplay};
    QList<const QWidget *> all = column;
    for (const RectLed *led : m.flagLeds())
        all << led;
    for (const QWidget *w : all) {
        const QWidget *designed = design.findChild<QWidget *>(w->objectName());
        QVERIFY2(centreOf(w) == 550 && w->y() == designed->y(), qPrintable(where(w)));
    }
}

void tst_Layout::modeLeds_stack24PixelsApartAroundTheModeRow()
{
    const auto form = windowOf({1000, 750});
    const MeasurementPage &m = *form->measurementPage;
    const int row = 49; // round(700 x 0.07)
    QCOMPARE(m.semiautoLed->y() + RoundHalfEven(m.semiautoLed->height() / 2.0), row);
    QCOMPARE(m.autoLed->y(), m.semiautoLed->y() - 24);
    QCOMPARE(m.manualLed->y(), m.semiautoLed->y() + 24);
    for (const RectLed *led : {m.autoLed, m.semiautoLed, m.manualLed})
        QVERIFY2(centreOf(led) == 400, qPrintable(where(led)));
    QCOMPARE(centreOf(m.stageLabel), 180);
}

void tst_Layout::otherPages_stretchAndKeepTheirButtonsAtTheEdges()
{
    const auto form = windowOf({1000, 750});
    const int sb = form->statusBar->height();
    QCOMPARE(form->statusBar->geometry(), QRect(0, 750 - sb, 1000, sb));
    QCOMPARE(form->variantCombo->x(), 1000 - form->variantCombo->width() - 160);
    QCOMPARE(form->portCombo->x(), 1000 - form->portCombo->width() - 14);
    auto bottomRow = [sb](const QWidget *w) { return 700 - sb - RoundHalfEven(w->height() / 2.0) - 35; };

    const ParamsPage &params = *form->paramsPage;
    QCOMPARE(params.paramTree->size(), QSize(986, 700 - sb - 86));
    for (const QWidget *w : std::initializer_list<const QWidget *>{
             params.saveButton, params.openButton, params.writeButton, params.readButton, params.progressBar})
        QVERIFY2(w->y() == bottomRow(w), qPrintable(where(w)));
    QCOMPARE(params.readButton->x(), 1000 - params.readButton->width() - 14);
    QCOMPARE(params.writeButton->x(), 1000 - params.writeButton->width() - params.readButton->width() - 19);
    QCOMPARE(params.progressBar->width(), 440);
    QCOMPARE(params.progressBar->x(), 270);

    const TerminalPage &terminal = *form->terminalPage;
    const auto *logSwitch = terminal.findChild<QWidget *>(QStringLiteral("logSwitch"));
    QCOMPARE(terminal.findChild<QWidget *>(QStringLiteral("trafficView"))->size(), QSize(986, 700 - sb - 60));
    for (const char *name : {"showTrafficSwitch", "clearButton", "logSwitch", "logFileButton"}) {
        const QWidget *w = terminal.findChild<QWidget *>(QLatin1String(name));
        QVERIFY2(w && w->y() == bottomRow(w), w ? qPrintable(where(w)) : name);
    }
    QCOMPARE(logSwitch->x(), 1000 - logSwitch->width() - 14);
    QCOMPARE(terminal.logFileButton->x(), 1000 - terminal.logFileButton->width() - logSwitch->width() - 19);

    const JournalPage &journal = *form->journalPage;
    QCOMPARE(journal.eventList->geometry().x(), 0);
    QCOMPARE(journal.alarmList->geometry().x(), 500);
    QCOMPARE(journal.eventList->size(), QSize(486, 700 - sb - 90));
    QCOMPARE(journal.alarmList->size(), QSize(486, 700 - sb - 90));
    QCOMPARE(journal.eventsCaption->x(), 243 - RoundHalfEven(journal.eventsCaption->width() / 2.0));
    QCOMPARE(journal.alarmsCaption->x(), 743 - RoundHalfEven(journal.alarmsCaption->width() / 2.0));
    QCOMPARE(journal.readJournalsButton->y(), bottomRow(journal.readJournalsButton));
    QCOMPARE(journal.readJournalsButton->x(),
             500 - RoundHalfEven(journal.readJournalsButton->width() / 2.0) - 7);
}

void tst_Layout::servicePage_neverMoves()
{
    MainWindow form;
    const QMap<QString, QRect> designed = geometries(form.servicePage);
    form.show();
    for (const QSize &size : {QSize(1000, 750), QSize(1600, 1200), QSize(799, 572)}) {
        form.resize(size);
        QCoreApplication::processEvents();
        QCOMPARE(geometries(form.servicePage), designed);
    }
}

void tst_Layout::placement_dependsOnlyOnTheCurrentSize()
{
    const auto form = windowOf({799, 572});
    const QMap<QString, QRect> first = geometries(form->measurementPage);
    form->resize(1400, 1000);
    QCoreApplication::processEvents();
    QVERIFY(geometries(form->measurementPage) != first);
    form->resize(799, 572);
    QCoreApplication::processEvents();
    QCOMPARE(geometries(form->measurementPage), first);
}

void tst_Layout::window_shrinksToHalfItsDesignSizeKeepingTheStatusBarInside()
{
    // A window twice its design size on screen at scale factor 2 must still fit a 1920 x 1080 screen.
    const QSize half(400, 286);
    const auto form = windowOf(half);
    QVERIFY2(
        form->minimumWidth() <= half.width() && form->minimumHeight() <= half.height(),
        qPrintable(QStringLiteral("minimum %1x%2").arg(form->minimumWidth()).arg(form->minimumHeight())));
    QCOMPARE(form->size(), half);
    const int sb = form->statusBar->height();
    QCOMPARE(form->statusBar->geometry(), QRect(0, half.height() - sb, half.width(), sb));
    QVERIFY(form->rect().contains(form->portCombo->geometry()));
    QVERIFY(form->rect().contains(form->variantCombo->geometry()));
    // The proportional placement still gives every instrument a size of its own.
    for (const QWidget *w : form->measurementPage->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        QVERIFY2(w->width() > 0 && w->height() > 0, qPrintable(where(w)));
    form->resize(half / 2);
    QCoreApplication::processEvents();
    QCOMPARE(form->size(), form->minimumSize());
}

QTEST_MAIN(tst_Layout)
#include "tst_layout.moc"
