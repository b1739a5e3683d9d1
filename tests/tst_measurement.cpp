#include "ControllerFrames.h"
#include "FormSim.h"
#include "TestSupport.h"
#include "WidgetSupport.h"
#include "app/MainWindow.h"
#include "widgets/AngularGauge.h"
#include "widgets/LinearGauge.h"
#include "widgets/NumericDisplay.h"
#include "widgets/RectLed.h"
#include "widgets/SwitchLed.h"
#include "widgets/TextDisplay.h"
#include "widgets/WrapLabel.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QSet>
#include <QSignalSpy>
#include <QTest>
#include <QTimerEvent>

using namespace gencfg;
using namespace gencfg::test;

namespace {

const QColor Blue(0, 0, 255);
const QColor Red(255, 0, 0);
const QColor Yellow(255, 255, 0);

// The window as status frames reach it: the measurement page and the service page's mode switches.
struct Window
{
    void show(const Status &status) { form.link().receive(status.frame()); }
    // One tick of the window's blink timer.
    void tick()
    {
        QTimerEvent event(named<QTimer>(&form, "faultBlinkTimer")->timerId());
        QCoreApplication::sendEvent(named<QTimer>(&form, "faultBlinkTimer"), &event);
    }

    MainWindow form;
    QWidget *page = named<QWidget>(&form, "measurementPage");
    SwitchLed *autoSwitch = named<SwitchLed>(named<QWidget>(&form, "servicePage"), "autoModeSwitch");
    SwitchLed *semiautoSwitch = named<SwitchLed>(named<QWidget>(&form, "servicePage"), "semiautoModeSwitch");
};

// The window after reading image from a simulated controller: the gauges take their sections from it.
struct ReadingWindow : FormSim
{
    bool read(const ConfigImageBytes &image)
    {
        sim.model().writeMemory(0, bytesOf(image));
        if (!settle())
            return false;
        named<QPushButton>(&form, "readButton")->click();
        return finish() && boxes.lastText() == QStringLiteral("Параметры успешно прочитаны из устройства.");
    }
    QWidget *page = named<QWidget>(&form, "measurementPage");
};

// The status flag LEDs in the order of StatusFlags(), each found by the caption it shows.
QList<const RectLed *> flagLeds(const QWidget *page)
{
    QList<const RectLed *> leds;
    const QList<RectLed *> all = page->findChildren<RectLed *>();
    for (const StatusFlag &flag : StatusFlags()) {
        const auto led = std::find_if(all.cbegin(), all.cend(), [&flag](const RectLed *l) {
            return l->caption() == FlagCaption(flag);
        });
        leds << (led == all.cend() ? nullptr : *led);
    }
    return leds;
}

// The displays that show "---" until the first status frame.
QList<LcdPanel *> dataDisplays(const QWidget *page)
{
    return page->findChildren<LcdPanel *>();
}

QByteArray text(const LcdPanel *display)
{
    return display->shownText().toUtf8();
}

} // namespace

class tst_Measurement : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();

    void startUp_everyDisplayShowsDashesAndTheGaugesRest();
    void firstFrame_takesEveryDisplayOutOfItsErrorState();
    void voltageBytes_showAsVoltsOnGaugesAndDisplays();
    void readings_showInTheirUnits();
    void signalQuality_showsAsDbmOutOfRangeAsTheFloorUnknownAsNoData_data();
    void signalQuality_showsAsDbmOutOfRangeAsTheFloorUnknownAsNoData();
    void statusCaption_followsModeAndStage_data();
    void statusCaption_followsModeAndStage();
    void modeLedsAndSwitches_followTheMode_data();
    void modeLedsAndSwitches_followTheMode();
    void registration_knownCodesSetTheCaptionOthersKeepIt_data();
    void registration_knownCodesSetTheCaptionOthersKeepIt();
    void flagLeds_eachFollowsItsOwnBit_data();
    void flagLeds_eachFollowsItsOwnBit();
    void generatorPointer_blinksFromLowVoltageUntilTheGeneratorRuns();
    void thresholds_moveTheSectionEnds();
    void thresholds_upsUpperLimitPicksTheScale_data();
    void thresholds_upsUpperLimitPicksTheScale();
    void shortStatusFrame_keepsTheEarlierBytesBeyondIt();
    void longestStatusFrame_isDecodedWithinTheReceiveBuffer();
    void captions_keepTheirLatinAndCyrillicLetters();
    void everyInstrument_hasItsOwnAccessibleName();
};

void tst_Measurement::initTestCase()
{
    QLocale::setDefault(QLocale::c());
}

void tst_Measurement::startUp_everyDisplayShowsDashesAndTheGaugesRest()
{
    Window w;
    const QWidget *page = w.page;

    QStringList names;
    for (const LcdPanel *display : dataDisplays(page)) {
        names << display->objectName();
        QVERIFY2(display->errorActive() && display->shownText() == QStringLiteral("---"),
                 qPrintable(display->objectName() + QStringLiteral(" shows ") + display->shownText()));
    }
    names.sort();
    QStringList expected({"phaseADisplay", "starterBatteryDisplay", "phaseBDisplay", "phaseCDisplay",
                          "generatorDisplay", "signalDisplay", "temperature1Display", "temperature2Display",
                          "temperature3Display", "temperature4Display", "upsBatteryDisplay",
                          "motoclockDisplay", "maintenanceDisplay", "clockDisplay"});
    expected.sort();
    QCOMPARE(names, expected);
    QVERIFY(named<WrapLabel>(page, "stageLabel")->caption().isEmpty());
    QVERIFY(named<WrapLabel>(page, "registrationLabel")->caption().isEmpty());

    for (const ScaleGauge *gauge : std::initializer_list<const ScaleGauge *>{
             named<AngularGauge>(page, "phaseAGauge"), named<AngularGauge>(page, "phaseBGauge"),
             named<AngularGauge>(page, "phaseCGauge"), named<AngularGauge>(page, "generatorGauge"),
             named<LinearGauge>(page, "starterBatteryGauge"), named<LinearGauge>(page, "signalGauge"),
             named<LinearGauge>(page, "upsBatteryGauge"), named<LinearGauge>(page, "temperature1Gauge")})
        QVERIFY2(gauge->value() == 0, qPrintable(gauge->objectName()));
    for (const ScaleGauge *gauge : std::initializer_list<const ScaleGauge *>{
             named<LinearGauge>(page, "temperature2Gauge"), named<LinearGauge>(page, "temperature3Gauge"),
             named<LinearGauge>(page, "temperature4Gauge")})
        QVERIFY2(gauge->value() == 10, qPrintable(gauge->objectName()));
    // At rest the voltage pointers lie at the low end of their scale, the signal pointer at the high end.
    QCOMPARE(named<AngularGauge>(page, "generatorGauge")->shownValue(), 140.0);
    QCOMPARE(named<LinearGauge>(page, "signalGauge")->shownValue(), -51.0);

    const QList<const RectLed *> leds = flagLeds(page);
    QCOMPARE(leds.size(), 13);
    QVERIFY(!leds.contains(nullptr));
    QCOMPARE(QSet<const RectLed *>(leds.cbegin(), leds.cend()).size(), 13);
    for (const RectLed *led : page->findChildren<RectLed *>())
        QVERIFY2(!led->isActive(), qPrintable(led->objectName()));
    // No blinking: the generator pointer stays blue on the blink timer's tick.
    QCOMPARE(named<AngularGauge>(page, "generatorGauge")->pointerColor(), Blue);
    w.tick();
    QCOMPARE(named<AngularGauge>(page, "generatorGauge")->pointerColor(), Blue);
}

void tst_Measurement::firstFrame_takesEveryDisplayOutOfItsErrorState()
{
    Window p;
    p.show(Status());
    for (const LcdPanel *display : dataDisplays(p.page))
        QVERIFY2(!display->errorActive() && display->shownText() != QStringLiteral("---"),
                 qPrintable(display->objectName() + QStringLiteral(" shows ") + display->shownText()));
}

void tst_Measurement::voltageBytes_showAsVoltsOnGaugesAndDisplays()
{
    Window p;
    p.show(Status().at(8, 49).at(9, 50).at(10, 170).at(11, 205));
    const QWidget *m = p.page;
    QCOMPARE(named<AngularGauge>(m, "generatorGauge")->value(), 0.0);
    QCOMPARE(named<AngularGauge>(m, "phaseAGauge")->value(), 100.0);
    QCOMPARE(named<AngularGauge>(m, "phaseBGauge")->value(), 220.0);
    QCOMPARE(named<AngularGauge>(m, "phaseCGauge")->value(), 255.0);
    QCOMPARE(text(named<NumericDisplay>(m, "generatorDisplay")), "0В");
    QCOMPARE(text(named<NumericDisplay>(m, "phaseADisplay")), "100В");
    QCOMPARE(text(named<NumericDisplay>(m, "phaseBDisplay")), "220В");
    QCOMPARE(text(named<NumericDisplay>(m, "phaseCDisplay")), "255В");
    QCOMPARE(named<AngularGauge>(m, "phaseAGauge")->shownValue(), 140.0);
    QCOMPARE(named<AngularGauge>(m, "phaseCGauge")->shownValue(), 255.0);
}

void tst_Measurement::readings_showInTheirUnits()
{
    Window p;
    p.show(Status()
               .word(15, 136)
               .word(17, 245)
               .word(21, 0)
               .word(23, 733)
               .word(25, 59)
               .at(27, 0x09)
               .at(28, 0x05)
               .at(29, 0x30)
               .at(32, 0xF6)
               .at(33, 1)
               .at(34, 0x80)
               .at(35, 0x7F));
    const QWidget *m = p.page;
    QCOMPARE(named<LinearGauge>(m, "starterBatteryGauge")->value(), 13.6);
    QCOMPARE(text(named<NumericDisplay>(m, "starterBatteryDisplay")), "13.6В");
    QCOMPARE(named<LinearGauge>(m, "upsBatteryGauge")->value(), 24.5);
    QCOMPARE(text(named<NumericDisplay>(m, "upsBatteryDisplay")), "24.5 В");
    QCOMPARE(text(named<TextDisplay>(m, "motoclockDisplay")), "12ч 13м");
    QCOMPARE(text(named<TextDisplay>(m, "maintenanceDisplay")), "0ч 59м");
    QCOMPARE(text(named<TextDisplay>(m, "clockDisplay")), "09:05:30");
    QCOMPARE(named<LinearGauge>(m, "temperature1Gauge")->value(), -10.0);
    QCOMPARE(text(named<NumericDisplay>(m, "temperature1Display")), "-10 C");
    QCOMPARE(named<LinearGauge>(m, "temperature2Gauge")->value(), 1.0);
    QCOMPARE(text(named<NumericDisplay>(m, "temperature2Display")), "1 C");
    QCOMPARE(named<LinearGauge>(m, "temperature3Gauge")->value(), -128.0);
    QCOMPARE(text(named<NumericDisplay>(m, "temperature3Display")), "-128 C");
    QCOMPARE(named<LinearGauge>(m, "temperature4Gauge")->value(), 127.0);
    QCOMPARE(text(named<NumericDisplay>(m, "temperature4Display")), "127 C");

    // The counter is unsigned; a clock byte that is no valid time shows dashes in its place.
    p.show(Status().word(21, 0xFFFF).word(23, 0xFFC4).at(27, 0xFF).at(28, 0x1A).at(29, 0x59));
    QCOMPARE(text(named<TextDisplay>(m, "motoclockDisplay")), "71582787ч 16м");
    QCOMPARE(text(named<TextDisplay>(m, "clockDisplay")), "--:--:59");
}

void tst_Measurement::signalQuality_showsAsDbmOutOfRangeAsTheFloorUnknownAsNoData_data()
{
    QTest::addColumn<int>("quality");
    QTest::addColumn<QVariant>("dbm"); // null: no data
    QTest::newRow("0 is the floor") << 0 << QVariant(-113);
    QTest::newRow("17 in between") << 17 << QVariant(-79);
    QTest::newRow("31 is the top") << 31 << QVariant(-51);
    QTest::newRow("32 is out of range") << 32 << QVariant(-113);
    QTest::newRow("99 is unknown") << 99 << QVariant();
}

void tst_Measurement::signalQuality_showsAsDbmOutOfRangeAsTheFloorUnknownAsNoData()
{
    QFETCH(int, quality);
    QFETCH(QVariant, dbm);
    Window p;
    // A known level first: an unknown one after it must not leave the old reading standing.
    p.show(Status().at(30, 20));
    p.show(Status().at(30, quint8(quality)));
    const QWidget *m = p.page;
    if (dbm.isValid()) {
        QCOMPARE(named<LinearGauge>(m, "signalGauge")->value(), dbm.toDouble());
        QCOMPARE(text(named<NumericDisplay>(m, "signalDisplay")),
                 QStringLiteral("%1дБм").arg(dbm.toInt()).toUtf8());
        QVERIFY(!named<NumericDisplay>(m, "signalDisplay")->errorActive());
    } else {
        // As before the first frame: the gauge at rest, the display in its error state.
        QCOMPARE(named<LinearGauge>(m, "signalGauge")->value(), 0.0);
        QVERIFY(named<NumericDisplay>(m, "signalDisplay")->errorActive());
        QCOMPARE(text(named<NumericDisplay>(m, "signalDisplay")), "---");
    }
    // The next frame with a level shows it again.
    p.show(Status().at(30, 31));
    QVERIFY(!named<NumericDisplay>(m, "signalDisplay")->errorActive());
    QCOMPARE(text(named<NumericDisplay>(m, "signalDisplay")), "-51дБм");
}

void tst_Measurement::statusCaption_followsModeAndStage_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("stage");
    QTest::addColumn<int>("timer");
    QTest::addColumn<QString>("caption");
    const QString before = QStringLiteral("Питание от сети");
    QTest::newRow("stage 1 with its timer") << 2 << 1 << 90 << "Пропадание сети\n\r00:01:30";
    QTest::newRow("stage 3, attempt 2, starter") << 2 << 3 << 0x0104 << "Запуск ГУ\n\rстартер  N:2";
    QTest::newRow("stage 3, unknown step") << 2 << 3 << 0x0009 << "Запуск ГУ\n\rN:1";
    QTest::newRow("stage 27 keeps the caption") << 2 << 27 << 0 << before;
    QTest::newRow("manual mode hides the stage") << 1 << 5 << 90 << "Ручной режим";
    QTest::newRow("mode 0 keeps the caption") << 0 << 1 << 90 << before;
}

void tst_Measurement::statusCaption_followsModeAndStage()
{
    QFETCH(int, mode);
    QFETCH(int, stage);
    QFETCH(int, timer);
    QFETCH(QString, caption);
    Window p;
    p.show(Status().mode(2, 0));
    p.show(Status().mode(quint8(mode), quint8(stage), quint16(timer)));
    QCOMPARE(named<WrapLabel>(p.page, "stageLabel")->caption(), caption);
}

void tst_Measurement::modeLedsAndSwitches_followTheMode_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("flags1");
    // Lit states of autoLed, semiautoLed, manualLed, autoModeSwitch, semiautoModeSwitch.
    QTest::addColumn<QString>("lit");
    // Every row starts from the semi-automatic display: "01001".
    QTest::newRow("automatic") << 2 << 0x00 << "10010";
    QTest::newRow("automatic, other flags") << 2 << 0xDF << "10010";
    QTest::newRow("semi-automatic") << 2 << 0x20 << "01001";
    QTest::newRow("manual leaves the switches") << 1 << 0x00 << "00101";
    QTest::newRow("manual with the semi-automatic flag") << 1 << 0x20 << "00101";
    QTest::newRow("mode 0 leaves everything") << 0 << 0x00 << "01001";
    QTest::newRow("mode 3 leaves everything") << 3 << 0x00 << "01001";
}

void tst_Measurement::modeLedsAndSwitches_followTheMode()
{
    QFETCH(int, mode);
    QFETCH(int, flags1);
    QFETCH(QString, lit);
    Window p;
    p.show(Status().mode(2, 0, 0, 0x20));
    QSignalSpy autoClicks(p.autoSwitch, &SwitchLed::clicked);
    QSignalSpy semiautoClicks(p.semiautoSwitch, &SwitchLed::clicked);
    QSignalSpy autoChanges(p.autoSwitch, &SwitchLed::changed);
    QSignalSpy semiautoChanges(p.semiautoSwitch, &SwitchLed::changed);

    p.show(Status().mode(quint8(mode), 0, 0, quint8(flags1)).at(9, 170));
    const QWidget *m = p.page;
    QString shown;
    for (bool on :
         {named<RectLed>(m, "autoLed")->isActive(), named<RectLed>(m, "semiautoLed")->isActive(),
          named<RectLed>(m, "manualLed")->isActive(), p.autoSwitch->isActive(), p.semiautoSwitch->isActive()})
        shown += on ? QLatin1Char('1') : QLatin1Char('0');
    QCOMPARE(shown, lit);
    QVERIFY2(autoClicks.isEmpty() && semiautoClicks.isEmpty() && autoChanges.isEmpty() &&
                 semiautoChanges.isEmpty(),
             "the status frame must not act as a user click");
    QCOMPARE(text(named<NumericDisplay>(m, "phaseADisplay")), "220В");
}

void tst_Measurement::registration_knownCodesSetTheCaptionOthersKeepIt_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("caption");
    QTest::newRow("0") << 0 << "Не зарегистрирован.\n\rПоиск сети не ведется";
    QTest::newRow("1") << 1 << "Зарегистрирован\n\rв домашней сети";
    QTest::newRow("3") << 3 << "Регистрация отклонена";
    QTest::newRow("5") << 5 << "Зарегистрирован\n\rв роуминге";
    QTest::newRow("6 keeps") << 6 << "Регистрация отклонена";
    QTest::newRow("255 keeps") << 255 << "Регистрация отклонена";
}

void tst_Measurement::registration_knownCodesSetTheCaptionOthersKeepIt()
{
    QFETCH(int, code);
    QFETCH(QString, caption);
    Window p;
    p.show(Status().at(31, 3));
    p.show(Status().at(31, quint8(code)));
    QCOMPARE(named<WrapLabel>(p.page, "registrationLabel")->caption(), caption);
}

void tst_Measurement::flagLeds_eachFollowsItsOwnBit_data()
{
    QTest::addColumn<int>("flags1");
    QTest::addColumn<int>("flags2");
    QTest::addColumn<QString>("lit");
    for (const StatusFlag &flag : StatusFlags()) {
        const int bits = 1 << flag.bit();
        QTest::newRow(qPrintable(flag.key))
            << (flag.byte() == 1 ? bits : 0) << (flag.byte() == 2 ? bits : 0) << flag.key;
    }
    QTest::newRow("uninterpreted bits light nothing") << 0xE0 << 0x00 << QString();
}

void tst_Measurement::flagLeds_eachFollowsItsOwnBit()
{
    QFETCH(int, flags1);
    QFETCH(int, flags2);
    QFETCH(QString, lit);
    Window p;
    // Everything lit first, so a LED that ignores its bit stays lit.
    p.show(Status().at(2, 0xFF).at(3, 0xFF));
    p.show(Status().at(2, quint8(flags1)).at(3, quint8(flags2)));
    QStringList litNow;
    const QList<const RectLed *> leds = flagLeds(p.page);
    for (int i = 0; i < leds.size(); ++i) {
        if (leds.at(i)->isActive())
            litNow << StatusFlags().at(i).key;
    }
    QCOMPARE(litNow.join(QLatin1Char(',')), lit);
}

void tst_Measurement::generatorPointer_blinksFromLowVoltageUntilTheGeneratorRuns()
{
    Window p;
    const ScaleGauge &gu = *named<AngularGauge>(p.page, "generatorGauge");
    auto tick = [&p, &gu] {
        p.tick();
        return gu.pointerColor();
    };

    QCOMPARE(tick(), Blue);
    // Blinking starts with the next tick.
    p.show(Status().mode(2, 22));
    QCOMPARE(gu.pointerColor(), Blue);
    QCOMPARE(tick(), Yellow);
    QCOMPARE(tick(), Red);
    QCOMPARE(tick(), Yellow);

    p.show(Status().mode(2, 9));
    QCOMPARE(tick(), Red);
    // Stage 5 stops the blinking only in automatic mode.
    p.show(Status().mode(1, 5));
    QCOMPARE(tick(), Yellow);

    p.show(Status().mode(2, 5));
    QCOMPARE(gu.pointerColor(), Blue);
    QCOMPARE(tick(), Blue);

    p.show(Status().mode(2, 23));
    QCOMPARE(tick(), Yellow);
}

void tst_Measurement::thresholds_moveTheSectionEnds()
{
    ConfigImageBytes image;
    image.fill(0xFF);
    auto word = [&image](int address, quint16 value) {
        image[address] = quint8(value >> 8);
        image[address + 1] = quint8(value);
    };
    word(32, 170);
    word(34, 250);
    word(36, 185);
    word(38, 255);
    image[15] = 0xFB;
    word(40, 115);
    word(42, 205);
    word(44, 275);

    ReadingWindow w;
    QVERIFY(w.read(image));
    const QWidget *m = w.page;
    QCOMPARE(named<AngularGauge>(m, "generatorGauge")->lowAlarm(), 170.0);
    QCOMPARE(named<AngularGauge>(m, "generatorGauge")->highAlarm(), 250.0);
    for (const ScaleGauge *phase : std::initializer_list<const ScaleGauge *>{
             named<AngularGauge>(m, "phaseAGauge"), named<AngularGauge>(m, "phaseBGauge"),
             named<AngularGauge>(m, "phaseCGauge")}) {
        QCOMPARE(phase->lowAlarm(), 185.0);
        QCOMPARE(phase->highAlarm(), 255.0);
    }
    QCOMPARE(named<LinearGauge>(m, "temperature1Gauge")->lowAlarm(), -5.0);
    QCOMPARE(named<LinearGauge>(m, "starterBatteryGauge")->lowAlarm(), 11.5);
    QCOMPARE(named<LinearGauge>(m, "upsBatteryGauge")->lowAlarm(), 20.0);
    QCOMPARE(named<LinearGauge>(m, "upsBatteryGauge")->highAlarm(), 28.0);
    QCOMPARE(named<LinearGauge>(m, "upsBatteryGauge")->minimum(), 16.0);
    QCOMPARE(named<LinearGauge>(m, "upsBatteryGauge")->maximum(), 32.0);
    for (const ScaleGauge *gauge : std::initializer_list<const ScaleGauge *>{
             named<LinearGauge>(m, "temperature2Gauge"), named<LinearGauge>(m, "temperature3Gauge"),
             named<LinearGauge>(m, "temperature4Gauge"), named<LinearGauge>(m, "signalGauge")}) {
        QVERIFY2(gauge->lowAlarm() == (gauge == named<LinearGauge>(m, "signalGauge") ? -95.0 : 40.0),
                 qPrintable(gauge->objectName() + QStringLiteral(" is not a threshold gauge")));
    }
}

void tst_Measurement::thresholds_upsUpperLimitPicksTheScale_data()
{
    QTest::addColumn<int>("upper");
    QTest::addColumn<double>("min");
    QTest::addColumn<double>("max");
    QTest::newRow("159") << 159 << 8.0 << 16.0;
    QTest::newRow("160") << 160 << 16.0 << 32.0;
    QTest::newRow("319") << 319 << 16.0 << 32.0;
    QTest::newRow("320") << 320 << 32.0 << 64.0;
    QTest::newRow("639") << 639 << 32.0 << 64.0;
    QTest::newRow("640") << 640 << 64.0 << 120.0;
    QTest::newRow("1199") << 1199 << 64.0 << 120.0;
    QTest::newRow("1200 keeps the scale") << 1200 << 8.0 << 16.0;
    QTest::newRow("65535 keeps the scale") << 65535 << 8.0 << 16.0;
}

void tst_Measurement::thresholds_upsUpperLimitPicksTheScale()
{
    QFETCH(int, upper);
    QFETCH(double, min);
    QFETCH(double, max);
    ConfigImageBytes image;
    image.fill(0);
    ReadingWindow w;
    QVERIFY(w.read(image)); // scale 8 to 16
    image[44] = quint8(upper >> 8);
    image[45] = quint8(upper);
    QVERIFY(w.read(image));
    const QWidget *m = w.page;
    QCOMPARE(named<LinearGauge>(m, "upsBatteryGauge")->minimum(), min);
    QCOMPARE(named<LinearGauge>(m, "upsBatteryGauge")->maximum(), max);
}

void tst_Measurement::shortStatusFrame_keepsTheEarlierBytesBeyondIt()
{
    MainWindow form;
    const QWidget *m = named<QWidget>(&form, "measurementPage");
    form.link().receive(Status()
                            .word(17, 245)
                            .word(23, 733)
                            .at(27, 0x09)
                            .at(28, 0x05)
                            .at(29, 0x30)
                            .at(31, 1)
                            .at(32, 0xF6)
                            .frame());
    QCOMPARE(text(named<TextDisplay>(m, "clockDisplay")), "09:05:30");

    // Ten data bytes: mode 2, stage 0, generator 220 V, phase A 255 V.
    const QByteArray shortData = Status().at(8, 170).at(9, 205).data().left(10);
    form.link().receive(deviceFrame(CMD_STATUS, shortData));
    QCOMPARE(form.link().packetCount(), 2);
    QCOMPARE(text(named<NumericDisplay>(m, "generatorDisplay")), "220В");
    QCOMPARE(text(named<NumericDisplay>(m, "phaseADisplay")), "255В");
    QCOMPARE(text(named<NumericDisplay>(m, "upsBatteryDisplay")), "24.5 В");
    QCOMPARE(text(named<TextDisplay>(m, "motoclockDisplay")), "12ч 13м");
    QCOMPARE(text(named<TextDisplay>(m, "clockDisplay")), "09:05:30");
    QCOMPARE(named<WrapLabel>(m, "registrationLabel")->caption(),
             QStringLiteral("Зарегистрирован\n\rв домашней сети"));
    QCOMPARE(text(named<NumericDisplay>(m, "temperature1Display")), "-10 C");
}

void tst_Measurement::longestStatusFrame_isDecodedWithinTheReceiveBuffer()
{
    MainWindow form;
    QByteArray data(255, char(0x7F));
    data.replace(0, 36, Status().at(8, 170).at(32, 0xF6).data());
    form.link().receive(deviceFrame(CMD_STATUS, data));
    QCOMPARE(form.link().packetCount(), 1);
    QCOMPARE(text(named<NumericDisplay>(&form, "generatorDisplay")), "220В");
    QCOMPARE(text(named<NumericDisplay>(&form, "temperature1Display")), "-10 C");
}

void tst_Measurement::captions_keepTheirLatinAndCyrillicLetters()
{
    MainWindow form;
    const QWidget *m = named<QWidget>(&form, "measurementPage");
    // Phase A and C end in Cyrillic letters, phase B in a Latin one.
    QCOMPARE(named<QLabel>(m, "phaseACaption")->text().back(), QChar(0x0410));
    QCOMPARE(named<QLabel>(m, "phaseBCaption")->text().back(), QChar('B'));
    QCOMPARE(named<QLabel>(m, "phaseCCaption")->text().back(), QChar(0x0421));
    QCOMPARE(named<NumericDisplay>(m, "temperature4Display")->unitsText(), QStringLiteral(" C"));
    QCOMPARE(named<NumericDisplay>(m, "upsBatteryDisplay")->unitsText(), QStringLiteral(" В"));
    QCOMPARE(named<NumericDisplay>(m, "starterBatteryDisplay")->unitsText(), QStringLiteral("В"));
    QCOMPARE(named<QLabel>(m, "registrationCaption")->text(), QStringLiteral("Резистрация в сети"));
}

void tst_Measurement::everyInstrument_hasItsOwnAccessibleName()
{
    MainWindow form;
    QSet<QString> seen;
    for (const QWidget *w :
         named<QWidget>(&form, "measurementPage")->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        const QString name = w->accessibleName();
        QVERIFY2(!name.isEmpty(), qPrintable(w->objectName()));
        QVERIFY2(name != QStringLiteral("Стрелочный индикатор") &&
                     name != QStringLiteral("Линейный индикатор") &&
                     name != QStringLiteral("Цифровой индикатор"),
                 qPrintable(w->objectName() + QStringLiteral(" keeps the generic name ") + name));
        if (qobject_cast<const QLabel *>(w))
            continue; // a caption shares its text with the instrument under it
        QVERIFY2(!seen.contains(name), qPrintable(w->objectName() + QStringLiteral(" repeats ") + name));
        seen.insert(name);
    }
}

QTEST_MAIN(tst_Measurement)
#include "tst_measurement.moc"
