#include "app/ProportionalLayout.h"
#include "app/TForm1.h"
#include "app/TerminalPage.h"
#include "config/ui/ParamTreeView.h"
#include "config/ui/ParamsPage.h"
#include "monitor/ui/JournalPage.h"
#include "monitor/ui/MeasurementPage.h"
#include "service/ui/ServicePage.h"
#include "widgets/AngularGauge.h"
#include "widgets/LinearGauge.h"
#include "widgets/NumericDisplay.h"
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
std::unique_ptr<TForm1> windowOf(const QSize &size)
{
    auto form = std::make_unique<TForm1>();
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
    QCOMPARE(form->PageControl1->size(), QSize(1000, 700));
    const MeasurementPage &m = *form->TabSheet1;

    QCOMPARE(m.iAnalog_A->geometry(), QRect(0, 130, 161, 161));
    QCOMPARE(m.iAnalog_A->tickMajorLength(), 15);
    QCOMPARE(m.iAnalog_A->tickMinorLength(), 8);
    QCOMPARE(m.iAnalog_A->pointerSize(), 10);
    QCOMPARE(m.iAnalog_A->hubSize(), 15);
    // Display under the dial, caption over it: row 210, half the dial 80.
    QCOMPARE(m.iDigital_A->y(), 210 - m.iDigital_A->height() / 2 + 80 + 10);
    QCOMPARE(m.Label1->y(), 210 - m.Label1->height() / 2 - 80 - 10);
    QCOMPARE(centreOf(m.iDigital_A), 80);

    QCOMPARE(m.iAnalog_GU->geometry(), QRect(608, 63, 224, 224));
    QCOMPARE(m.iAnalog_GU->tickMajorLength(), 20);
    QCOMPARE(m.iAnalog_GU->tickMinorLength(), 10);
    QCOMPARE(m.iAnalog_GU->pointerSize(), 15);
    QCOMPARE(m.iAnalog_GU->hubSize(), 20);
}

void tst_Layout::bars_scaleWithTheirOwnSide()
{
    const auto form = windowOf({1000, 750});
    const MeasurementPage &m = *form->TabSheet1;
    for (const LinearGauge *tall : {m.iAnalog_ACC, m.iAnalog_Temperature, m.iAnalog_Temperature4})
        QVERIFY2(tall->size() == QSize(70, 245), qPrintable(where(tall)));
    for (const LinearGauge *wide : {m.iAnalog_UPS, m.iAnalog_SignalStrength})
        QVERIFY2(wide->size() == QSize(350, 70), qPrintable(where(wide)));
    QCOMPARE(m.iAnalog_ACC->pos(), QPoint(920 - 35, 168 - 122));
    QCOMPARE(m.iAnalog_SignalStrength->pos(), QPoint(240 - 175, 525 - 35));
    QCOMPARE(m.iAnalog_Temperature3->tickMajorLength(), 20);
    QCOMPARE(m.iAnalog_Temperature3->tickMinorLength(), 10);
    QCOMPARE(m.iAnalog_Temperature3->pointerSize(), 15);
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
    const MeasurementPage &m = *form->TabSheet1;
    for (const AngularGauge *phase : {m.iAnalog_A, m.iAnalog_B, m.iAnalog_C})
        QVERIFY2(phase->size() == QSize(phaseSide, phaseSide), qPrintable(where(phase)));
    QVERIFY2(m.iAnalog_GU->size() == QSize(generatorSide, generatorSide), qPrintable(where(m.iAnalog_GU)));
}

void tst_Layout::dialOffset_halvesToTheEvenNeighbour()
{
    // Page control 1000 x 709: the phase dials are round(163.07) = 163 wide.
    const auto form = windowOf({1000, 759});
    const MeasurementPage &m = *form->TabSheet1;
    QCOMPARE(m.iAnalog_A->width(), 163);
    QCOMPARE(m.iAnalog_A->x(), 80 - 82);
    QCOMPARE(m.iAnalog_B->x(), 240 - 82);
}

void tst_Layout::captions_sitFiveOrTenPixelsOverTheirGauges_data()
{
    QTest::addColumn<QString>("gauge");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("gap");
    QTest::newRow("GSM signal") << "iAnalog_SignalStrength"
                                << "Label8" << 5;
    QTest::newRow("UPS") << "iAnalog_UPS"
                         << "Label17" << 5;
    QTest::newRow("phase B") << "iAnalog_B"
                             << "Label2" << 10;
    QTest::newRow("generator") << "iAnalog_GU"
                               << "Label4" << 10;
    QTest::newRow("starter battery") << "iAnalog_ACC"
                                     << "Label5" << 10;
    QTest::newRow("registration") << "iLabel_Carrier"
                                  << "Label9" << 10;
    QTest::newRow("temperature") << "iAnalog_Temperature"
                                 << "Label11" << 10;
    QTest::newRow("mode") << "iLabel_Status"
                          << "Label10" << 10;
}

void tst_Layout::captions_sitFiveOrTenPixelsOverTheirGauges()
{
    QFETCH(QString, gauge);
    QFETCH(QString, caption);
    QFETCH(int, gap);
    const auto form = windowOf({1000, 750});
    const QWidget *g = form->TabSheet1->findChild<QWidget *>(gauge);
    const QWidget *c = form->TabSheet1->findChild<QWidget *>(caption);
    QVERIFY(g && c);
    QCOMPARE(g->y() - c->y() - RoundHalfEven(c->height() / 2.0), gap);
}

void tst_Layout::temperatureCaption_centredOverTheFourGauges()
{
    const auto form = windowOf({1000, 750});
    const MeasurementPage &m = *form->TabSheet1;
    QCOMPARE(centreOf(m.Label11), 800);
    const LinearGauge *gauges[] = {m.iAnalog_Temperature, m.iAnalog_Temperature2, m.iAnalog_Temperature3,
                                   m.iAnalog_Temperature4};
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
    const MeasurementPage &m = *form->TabSheet1;
    const QList<const QWidget *> column = {m.Label6,   m.iEdit_Motoclock, m.Label7,
                                           m.iEdit_TO, m.Label18,         m.iEdit_Time};
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
    const MeasurementPage &m = *form->TabSheet1;
    const int row = 49; // round(700 x 0.07)
    QCOMPARE(m.iLed_Semiauto->y() + RoundHalfEven(m.iLed_Semiauto->height() / 2.0), row);
    QCOMPARE(m.iLed_Auto->y(), m.iLed_Semiauto->y() - 24);
    QCOMPARE(m.iLed_Manual->y(), m.iLed_Semiauto->y() + 24);
    for (const RectLed *led : {m.iLed_Auto, m.iLed_Semiauto, m.iLed_Manual})
        QVERIFY2(centreOf(led) == 400, qPrintable(where(led)));
    QCOMPARE(centreOf(m.iLabel_Status), 180);
}

void tst_Layout::otherPages_stretchAndKeepTheirButtonsAtTheEdges()
{
    const auto form = windowOf({1000, 750});
    const int sb = form->StatusBar1->height();
    QCOMPARE(form->StatusBar1->geometry(), QRect(0, 750 - sb, 1000, sb));
    QCOMPARE(form->ComboBox_DeviceVersions->x(), 1000 - form->ComboBox_DeviceVersions->width() - 160);
    QCOMPARE(form->AfPortComboBox1->x(), 1000 - form->AfPortComboBox1->width() - 14);
    auto bottomRow = [sb](const QWidget *w) { return 700 - sb - RoundHalfEven(w->height() / 2.0) - 35; };

    const ParamsPage &params = *form->TabSheet2;
    QCOMPARE(params.TreeList1->size(), QSize(986, 700 - sb - 86));
    for (const QWidget *w : std::initializer_list<const QWidget *>{
             params.Button1, params.Button2, params.Button3, params.Button4, params.ProgressBar1})
        QVERIFY2(w->y() == bottomRow(w), qPrintable(where(w)));
    QCOMPARE(params.Button4->x(), 1000 - params.Button4->width() - 14);
    QCOMPARE(params.Button3->x(), 1000 - params.Button3->width() - params.Button4->width() - 19);
    QCOMPARE(params.ProgressBar1->width(), 440);
    QCOMPARE(params.ProgressBar1->x(), 270);

    const TerminalPage &terminal = *form->TabSheet3;
    QCOMPARE(terminal.Memo1->size(), QSize(986, 700 - sb - 60));
    for (const QWidget *w : std::initializer_list<const QWidget *>{terminal.iSwitchLed2, terminal.Button5,
                                                                   terminal.iSwitchLed1, terminal.Button6})
        QVERIFY2(w->y() == bottomRow(w), qPrintable(where(w)));
    QCOMPARE(terminal.iSwitchLed1->x(), 1000 - terminal.iSwitchLed1->width() - 14);
    QCOMPARE(terminal.Button6->x(), 1000 - terminal.Button6->width() - terminal.iSwitchLed1->width() - 19);

    const JournalPage &journal = *form->TabSheet5;
    QCOMPARE(journal.Memo3->geometry().x(), 0);
    QCOMPARE(journal.Memo4->geometry().x(), 500);
    QCOMPARE(journal.Memo3->size(), QSize(486, 700 - sb - 90));
    QCOMPARE(journal.Memo4->size(), QSize(486, 700 - sb - 90));
    QCOMPARE(journal.Label19->x(), 243 - RoundHalfEven(journal.Label19->width() / 2.0));
    QCOMPARE(journal.Label20->x(), 743 - RoundHalfEven(journal.Label20->width() / 2.0));
    QCOMPARE(journal.Button13->y(), bottomRow(journal.Button13));
    QCOMPARE(journal.Button13->x(), 500 - RoundHalfEven(journal.Button13->width() / 2.0) - 7);
}

void tst_Layout::servicePage_neverMoves()
{
    TForm1 form;
    const QMap<QString, QRect> designed = geometries(form.TabSheet4);
    form.show();
    for (const QSize &size : {QSize(1000, 750), QSize(1600, 1200), QSize(799, 572)}) {
        form.resize(size);
        QCoreApplication::processEvents();
        QCOMPARE(geometries(form.TabSheet4), designed);
    }
}

void tst_Layout::placement_dependsOnlyOnTheCurrentSize()
{
    const auto form = windowOf({799, 572});
    const QMap<QString, QRect> first = geometries(form->TabSheet1);
    form->resize(1400, 1000);
    QCoreApplication::processEvents();
    QVERIFY(geometries(form->TabSheet1) != first);
    form->resize(799, 572);
    QCoreApplication::processEvents();
    QCOMPARE(geometries(form->TabSheet1), first);
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
    const int sb = form->StatusBar1->height();
    QCOMPARE(form->StatusBar1->geometry(), QRect(0, half.height() - sb, half.width(), sb));
    QVERIFY(form->rect().contains(form->AfPortComboBox1->geometry()));
    QVERIFY(form->rect().contains(form->ComboBox_DeviceVersions->geometry()));
    // The proportional placement still gives every instrument a size of its own.
    for (const QWidget *w : form->TabSheet1->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        QVERIFY2(w->width() > 0 && w->height() > 0, qPrintable(where(w)));
    form->resize(half / 2);
    QCoreApplication::processEvents();
    QCOMPARE(form->size(), form->minimumSize());
}

QTEST_MAIN(tst_Layout)
#include "tst_layout.moc"
