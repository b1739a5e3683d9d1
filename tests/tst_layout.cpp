#include "WidgetSupport.h"
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
using gencfg::test::named;

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

    QCOMPARE(named<AngularGauge>(&m, "phaseAGauge")->geometry(), QRect(0, 130, 161, 161));
    QCOMPARE(named<AngularGauge>(&m, "phaseAGauge")->tickMajorLength(), 15);
    QCOMPARE(named<AngularGauge>(&m, "phaseAGauge")->tickMinorLength(), 8);
    QCOMPARE(named<AngularGauge>(&m, "phaseAGauge")->pointerSize(), 10);
    QCOMPARE(named<AngularGauge>(&m, "phaseAGauge")->hubSize(), 15);
    // Display under the dial, caption over it: row 210, half the dial 80.
    QCOMPARE(named<NumericDisplay>(&m, "phaseADisplay")->y(),
             210 - named<NumericDisplay>(&m, "phaseADisplay")->height() / 2 + 80 + 10);
    QCOMPARE(named<QLabel>(&m, "phaseACaption")->y(),
             210 - named<QLabel>(&m, "phaseACaption")->height() / 2 - 80 - 10);
    QCOMPARE(centreOf(named<NumericDisplay>(&m, "phaseADisplay")), 80);

    QCOMPARE(named<AngularGauge>(&m, "generatorGauge")->geometry(), QRect(608, 63, 224, 224));
    QCOMPARE(named<AngularGauge>(&m, "generatorGauge")->tickMajorLength(), 20);
    QCOMPARE(named<AngularGauge>(&m, "generatorGauge")->tickMinorLength(), 10);
    QCOMPARE(named<AngularGauge>(&m, "generatorGauge")->pointerSize(), 15);
    QCOMPARE(named<AngularGauge>(&m, "generatorGauge")->hubSize(), 20);
}

void tst_Layout::bars_scaleWithTheirOwnSide()
{
    const auto form = windowOf({1000, 750});
    const MeasurementPage &m = *form->measurementPage;
    for (const LinearGauge *tall :
         {named<LinearGauge>(&m, "starterBatteryGauge"), named<LinearGauge>(&m, "temperature1Gauge"),
          named<LinearGauge>(&m, "temperature4Gauge")})
        QVERIFY2(tall->size() == QSize(70, 245), qPrintable(where(tall)));
    for (const LinearGauge *wide :
         {named<LinearGauge>(&m, "upsBatteryGauge"), named<LinearGauge>(&m, "signalGauge")})
        QVERIFY2(wide->size() == QSize(350, 70), qPrintable(where(wide)));
    QCOMPARE(named<LinearGauge>(&m, "starterBatteryGauge")->pos(), QPoint(920 - 35, 168 - 122));
    QCOMPARE(named<LinearGauge>(&m, "signalGauge")->pos(), QPoint(240 - 175, 525 - 35));
    QCOMPARE(named<LinearGauge>(&m, "temperature3Gauge")->tickMajorLength(), 20);
    QCOMPARE(named<LinearGauge>(&m, "temperature3Gauge")->tickMinorLength(), 10);
    QCOMPARE(named<LinearGauge>(&m, "temperature3Gauge")->pointerSize(), 15);
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
    for (const AngularGauge *phase :
         {named<AngularGauge>(&m, "phaseAGauge"), named<AngularGauge>(&m, "phaseBGauge"),
          named<AngularGauge>(&m, "phaseCGauge")})
        QVERIFY2(phase->size() == QSize(phaseSide, phaseSide), qPrintable(where(phase)));
    QVERIFY2(named<AngularGauge>(&m, "generatorGauge")->size() == QSize(generatorSide, generatorSide),
             qPrintable(where(named<AngularGauge>(&m, "generatorGauge"))));
}

void tst_Layout::dialOffset_halvesToTheEvenNeighbour()
{
    // Page control 1000 x 709: the phase dials are round(163.07) = 163 wide.
    const auto form = windowOf({1000, 759});
    const MeasurementPage &m = *form->measurementPage;
    QCOMPARE(named<AngularGauge>(&m, "phaseAGauge")->width(), 163);
    QCOMPARE(named<AngularGauge>(&m, "phaseAGauge")->x(), 80 - 82);
    QCOMPARE(named<AngularGauge>(&m, "phaseBGauge")->x(), 240 - 82);
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
    QCOMPARE(centreOf(named<QLabel>(&m, "temperaturesCaption")), 800);
    const LinearGauge *gauges[] = {
        named<LinearGauge>(&m, "temperature1Gauge"), named<LinearGauge>(&m, "temperature2Gauge"),
        named<LinearGauge>(&m, "temperature3Gauge"), named<LinearGauge>(&m, "temperature4Gauge")};
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
    const QList<const QWidget *> column = {
        named<QLabel>(&m, "motoclockCaption"),   named<TextDisplay>(&m, "motoclockDisplay"),
        named<QLabel>(&m, "maintenanceCaption"), named<TextDisplay>(&m, "maintenanceDisplay"),
        named<QLabel>(&m, "clockCaption"),       named<TextDisplay>(&m, "clockDisplay")};
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
    QCOMPARE(named<RectLed>(&m, "semiautoLed")->y() +
                 RoundHalfEven(named<RectLed>(&m, "semiautoLed")->height() / 2.0),
             row);
    QCOMPARE(named<RectLed>(&m, "autoLed")->y(), named<RectLed>(&m, "semiautoLed")->y() - 24);
    QCOMPARE(named<RectLed>(&m, "manualLed")->y(), named<RectLed>(&m, "semiautoLed")->y() + 24);
    for (const RectLed *led :
         {named<RectLed>(&m, "autoLed"), named<RectLed>(&m, "semiautoLed"), named<RectLed>(&m, "manualLed")})
        QVERIFY2(centreOf(led) == 400, qPrintable(where(led)));
    QCOMPARE(centreOf(named<WrapLabel>(&m, "stageLabel")), 180);
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
    QCOMPARE(named<ParamTreeView>(&params, "paramTree")->size(), QSize(986, 700 - sb - 86));
    for (const QWidget *w : std::initializer_list<const QWidget *>{
             named<QPushButton>(&params, "saveButton"), named<QPushButton>(&params, "openButton"),
             named<QPushButton>(&params, "writeButton"), named<QPushButton>(&params, "readButton"),
             named<QProgressBar>(&params, "progressBar")})
        QVERIFY2(w->y() == bottomRow(w), qPrintable(where(w)));
    QCOMPARE(named<QPushButton>(&params, "readButton")->x(),
             1000 - named<QPushButton>(&params, "readButton")->width() - 14);
    QCOMPARE(named<QPushButton>(&params, "writeButton")->x(),
             1000 - named<QPushButton>(&params, "writeButton")->width() -
                 named<QPushButton>(&params, "readButton")->width() - 19);
    QCOMPARE(named<QProgressBar>(&params, "progressBar")->width(), 440);
    QCOMPARE(named<QProgressBar>(&params, "progressBar")->x(), 270);

    const TerminalPage &terminal = *form->terminalPage;
    const auto *logSwitch = terminal.findChild<QWidget *>(QStringLiteral("logSwitch"));
    QCOMPARE(terminal.findChild<QWidget *>(QStringLiteral("trafficView"))->size(), QSize(986, 700 - sb - 60));
    for (const char *name : {"showTrafficSwitch", "clearButton", "logSwitch", "logFileButton"}) {
        const QWidget *w = terminal.findChild<QWidget *>(QLatin1String(name));
        QVERIFY2(w && w->y() == bottomRow(w), w ? qPrintable(where(w)) : name);
    }
    QCOMPARE(logSwitch->x(), 1000 - logSwitch->width() - 14);
    QCOMPARE(named<QPushButton>(&terminal, "logFileButton")->x(),
             1000 - named<QPushButton>(&terminal, "logFileButton")->width() - logSwitch->width() - 19);

    const JournalPage &journal = *form->journalPage;
    QCOMPARE(named<QPlainTextEdit>(&journal, "eventList")->geometry().x(), 0);
    QCOMPARE(named<QPlainTextEdit>(&journal, "alarmList")->geometry().x(), 500);
    QCOMPARE(named<QPlainTextEdit>(&journal, "eventList")->size(), QSize(486, 700 - sb - 90));
    QCOMPARE(named<QPlainTextEdit>(&journal, "alarmList")->size(), QSize(486, 700 - sb - 90));
    QCOMPARE(named<QLabel>(&journal, "eventsCaption")->x(),
             243 - RoundHalfEven(named<QLabel>(&journal, "eventsCaption")->width() / 2.0));
    QCOMPARE(named<QLabel>(&journal, "alarmsCaption")->x(),
             743 - RoundHalfEven(named<QLabel>(&journal, "alarmsCaption")->width() / 2.0));
    QCOMPARE(named<QPushButton>(&journal, "readJournalsButton")->y(),
             bottomRow(named<QPushButton>(&journal, "readJournalsButton")));
    QCOMPARE(named<QPushButton>(&journal, "readJournalsButton")->x(),
             500 - RoundHalfEven(named<QPushButton>(&journal, "readJournalsButton")->width() / 2.0) - 7);
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
