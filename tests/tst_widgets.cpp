#include "widgets/AngularGauge.h"
#include "widgets/CaptionText.h"
#include "widgets/LinearGauge.h"
#include "widgets/Messages.h"
#include "widgets/NumericDisplay.h"
#include "widgets/PortComboBox.h"
#include "widgets/RectLed.h"
#include "widgets/SwitchLed.h"
#include "widgets/TextDisplay.h"
#include "widgets/WrapLabel.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QImage>
#include <QMessageBox>
#include <QMetaProperty>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <memory>
#include <utility>

#include "ExpectedTexts.h"

using namespace gencfg;

namespace {

std::unique_ptr<QWidget> makeWidget(const QString &kind)
{
    if (kind == QLatin1String("AngularGauge"))
        return std::make_unique<AngularGauge>();
    if (kind == QLatin1String("LinearGauge"))
        return std::make_unique<LinearGauge>();
    if (kind == QLatin1String("NumericDisplay"))
        return std::make_unique<NumericDisplay>();
    if (kind == QLatin1String("TextDisplay"))
        return std::make_unique<TextDisplay>();
    if (kind == QLatin1String("RectLed"))
        return std::make_unique<RectLed>();
    if (kind == QLatin1String("SwitchLed"))
        return std::make_unique<SwitchLed>();
    if (kind == QLatin1String("WrapLabel"))
        return std::make_unique<WrapLabel>();
    return nullptr;
}

// Counts the paint events one widget receives.
class PaintCounter : public QObject
{
public:
    explicit PaintCounter(QWidget *target) { target->installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++count;
        return false;
    }
};

void voltageScale(ScaleGauge &g)
{
    g.setMinimum(140);
    g.setMaximum(300);
    g.setLowAlarm(180);
    g.setHighAlarm(260);
    g.setTickMajorCount(9);
    g.setTickMinorCount(3);
}

QString describe(const QList<ScaleGauge::Section> &sections)
{
    QStringList parts;
    for (const ScaleGauge::Section &s : sections)
        parts << QStringLiteral("%1..%2 %3").arg(s.from).arg(s.to).arg(s.color.name());
    return parts.join(QLatin1String(", "));
}

QString accessibleText(QWidget *w, QAccessible::Text which)
{
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(w);
    return iface ? iface->text(which) : QStringLiteral("<no interface>");
}

} // namespace

class TestWidgets : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void cleanup();

    void setter_equalValue_noSignalNoRepaint_data();
    void setter_equalValue_noSignalNoRepaint();

    void shownPosition_clampedToScale_data();
    void shownPosition_clampedToScale();
    void scaleReversedWhileBeingReset_pointerStaysOnScale();
    void pointerPaintedAtClampedPosition_data();
    void pointerPaintedAtClampedPosition();
    void angularPointer_pointsWhereThePositionLies();
    void sections_followEndsAndCount_data();
    void sections_followEndsAndCount();
    void tickLabels_useLocaleAndNeededDecimals();
    void readings_repaintOverAKeptScale();

    void numericText_data();
    void numericText();
    void errorActive_showsErrorTextAndBack();
    void textDisplay_errorTextAndBack();

    void switchLed_userClick_flipsAndEmitsClickedThenChanged();
    void switchLed_space_flips();
    void switchLed_releaseOutside_doesNotFlip();
    void switchLed_setActive_emitsOnlyActiveChanged();
    void switchLed_accessibleToggle_actsLikeAClick();

    void displayCaption_data();
    void displayCaption();
    void twoLineCaptions_showAsTwoCleanLines();

    void angularAutoSize_keepsSquare();
    void angularAutoSizeOff_keepsGivenSize();

    void accessibleDescription_followsShownText();

    void paint_anySize_doesNotCrash_data();
    void paint_anySize_doesNotCrash();

    void portChooser_marksAHeldPortBusyAndStillPicksItsName();

    void messageBox_returnsAtOnce_windowModal_deletedOnClose();

private:
    QLocale m_startLocale;
};

void TestWidgets::initTestCase()
{
    m_startLocale = QLocale();
    QLocale::setDefault(QLocale::c());
}

void TestWidgets::cleanupTestCase()
{
    QLocale::setDefault(m_startLocale);
}

void TestWidgets::cleanup()
{
    QLocale::setDefault(QLocale::c());
}

void TestWidgets::setter_equalValue_noSignalNoRepaint_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QByteArray>("property");
    QTest::addColumn<QVariant>("other");

    QTest::newRow("angular Position") << "AngularGauge" << QByteArray("value") << QVariant(60.0);
    QTest::newRow("angular maximum") << "AngularGauge" << QByteArray("maximum") << QVariant(300.0);
    QTest::newRow("angular lowAlarm") << "AngularGauge" << QByteArray("lowAlarm") << QVariant(50.0);
    QTest::newRow("angular highAlarm") << "AngularGauge" << QByteArray("highAlarm") << QVariant(90.0);
    QTest::newRow("angular PointerColor")
        << "AngularGauge" << QByteArray("pointerColor") << QVariant(QColor(255, 255, 0));
    QTest::newRow("angular TickMajorLength")
        << "AngularGauge" << QByteArray("tickMajorLength") << QVariant(15);
    QTest::newRow("angular HubSize") << "AngularGauge" << QByteArray("hubSize") << QVariant(20);
    QTest::newRow("linear Orientation")
        << "LinearGauge" << QByteArray("orientation") << QVariant::fromValue(Qt::Horizontal);
    QTest::newRow("linear SectionCount") << "LinearGauge" << QByteArray("sectionCount") << QVariant(2);
    QTest::newRow("linear normalColor")
        << "LinearGauge" << QByteArray("normalColor") << QVariant(QColor(240, 200, 0));
    QTest::newRow("numeric Value") << "NumericDisplay" << QByteArray("value") << QVariant(13.6);
    QTest::newRow("numeric Precision") << "NumericDisplay" << QByteArray("precision") << QVariant(1);
    QTest::newRow("numeric UnitsText") << "NumericDisplay" << QByteArray("unitsText") << QVariant("В");
    QTest::newRow("numeric ErrorActive") << "NumericDisplay" << QByteArray("errorActive") << QVariant(true);
    QTest::newRow("text Text") << "TextDisplay" << QByteArray("text") << QVariant("12ч 13м");
    QTest::newRow("rect led Active") << "RectLed" << QByteArray("active") << QVariant(true);
    QTest::newRow("rect led Caption") << "RectLed" << QByteArray("caption") << QVariant("GPRS");
    QTest::newRow("switch led Active") << "SwitchLed" << QByteArray("active") << QVariant(true);
    QTest::newRow("label Caption") << "WrapLabel" << QByteArray("caption") << QVariant("Питание от сети");
}

void TestWidgets::setter_equalValue_noSignalNoRepaint()
{
    QFETCH(QString, kind);
    QFETCH(QByteArray, property);
    QFETCH(QVariant, other);

    QWidget window;
    std::unique_ptr<QWidget> owned = makeWidget(kind);
    QWidget *w = owned.release();
    w->setParent(&window);
    w->resize(w->sizeHint());
    window.resize(400, 400);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCoreApplication::processEvents();

    const QMetaObject *mo = w->metaObject();
    const QMetaProperty mp = mo->property(mo->indexOfProperty(property.constData()));
    QVERIFY2(mp.isValid() && mp.hasNotifySignal(), property.constData());
    QSignalSpy notify(w, mp.notifySignal());
    PaintCounter paints(w);

    QVERIFY(w->setProperty(property.constData(), w->property(property.constData())));
    QCoreApplication::processEvents();
    QVERIFY2(notify.isEmpty(),
             qPrintable(QStringLiteral("equal value emitted %1 times").arg(notify.count())));
    QVERIFY2(paints.count == 0,
             qPrintable(QStringLiteral("equal value repainted %1 times").arg(paints.count)));

    QVERIFY(w->setProperty(property.constData(), other));
    QCoreApplication::processEvents();
    QCOMPARE(w->property(property.constData()), other);
    QCOMPARE(notify.count(), 1);
    QVERIFY2(paints.count > 0, "a new value was not repainted");
}

void TestWidgets::shownPosition_clampedToScale_data()
{
    QTest::addColumn<double>("low");
    QTest::addColumn<double>("high");
    QTest::addColumn<double>("position");
    QTest::addColumn<double>("shown");

    QTest::newRow("0 V on a voltage scale shows at 140") << 140.0 << 300.0 << 0.0 << 140.0;
    QTest::newRow("inside the scale unchanged") << 140.0 << 300.0 << 220.0 << 220.0;
    QTest::newRow("above the scale shows at its top") << 140.0 << 300.0 << 305.0 << 300.0;
    QTest::newRow("no-data 0 on the signal scale shows at -51") << -113.0 << -51.0 << 0.0 << -51.0;
    QTest::newRow("fraction kept on a battery scale") << 6.0 << 16.0 << 13.6 << 13.6;
}

void TestWidgets::shownPosition_clampedToScale()
{
    QFETCH(double, low);
    QFETCH(double, high);
    QFETCH(double, position);
    QFETCH(double, shown);

    AngularGauge angular;
    LinearGauge linear(Qt::Horizontal);
    for (ScaleGauge *g : {static_cast<ScaleGauge *>(&angular), static_cast<ScaleGauge *>(&linear)}) {
        g->setMinimum(low);
        g->setMaximum(high);
        g->setValue(position);
        QCOMPARE(g->value(), position);
        QCOMPARE(g->shownValue(), shown);
    }
}

void TestWidgets::scaleReversedWhileBeingReset_pointerStaysOnScale()
{
    LinearGauge ups(Qt::Horizontal);
    ups.setMinimum(8);
    ups.setMaximum(16);
    ups.setValue(24.5);
    // Moving to 32..64 sets the minimum first, so for a moment it lies above the maximum.
    ups.setMinimum(32);
    QVERIFY2(ups.shownValue() >= 16 && ups.shownValue() <= 32,
             qPrintable(QStringLiteral("shown %1 outside 16..32").arg(ups.shownValue())));
    ups.resize(300, 70);
    QVERIFY(!ups.grab().isNull());
    ups.setMaximum(64);
    QCOMPARE(ups.shownValue(), 32.0);
}

void TestWidgets::pointerPaintedAtClampedPosition_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("angular") << "AngularGauge";
    QTest::newRow("linear vertical") << "LinearGauge";
}

void TestWidgets::pointerPaintedAtClampedPosition()
{
    QFETCH(QString, kind);
    std::unique_ptr<QWidget> w = makeWidget(kind);
    auto *g = static_cast<ScaleGauge *>(w.get());
    g->setMinimum(0);
    g->setMaximum(100);
    g->setPointerSize(12);
    g->resize(200, 200);
    auto imageAt = [&](double position) {
        g->setValue(position);
        return g->grab().toImage();
    };

    const QImage top = imageAt(100);
    QVERIFY2(imageAt(150) == top, "a position above the scale is not painted at its top");
    const QImage bottom = imageAt(0);
    QVERIFY2(imageAt(-40) == bottom, "a position below the scale is not painted at its bottom");
    QVERIFY2(imageAt(50) != top && imageAt(50) != bottom, "the pointer does not move inside the scale");
}

void TestWidgets::angularPointer_pointsWhereThePositionLies()
{
    AngularGauge g;
    g.setMinimum(0);
    g.setMaximum(100);
    g.setPointerSize(20);
    g.setPointerColor(QColor(255, 0, 255));
    g.resize(200, 200);

    auto isPointer = [](QRgb c) { return qRed(c) > 200 && qGreen(c) < 60 && qBlue(c) > 200; };
    g.setValue(50); // straight up
    QImage image = g.grab().toImage();
    QVERIFY2(isPointer(image.pixel(100, 50)), qPrintable(QColor(image.pixel(100, 50)).name()));
    QVERIFY2(!isPointer(image.pixel(150, 150)), "pointer found at the high end while at mid-scale");

    g.setValue(1000); // clamped to the high end, lower right
    image = g.grab().toImage();
    QVERIFY2(isPointer(image.pixel(140, 140)), qPrintable(QColor(image.pixel(140, 140)).name()));
    QVERIFY2(!isPointer(image.pixel(100, 50)), "pointer still up after moving to the high end");
}

void TestWidgets::sections_followEndsAndCount_data()
{
    QTest::addColumn<double>("low");
    QTest::addColumn<double>("high");
    QTest::addColumn<int>("count");
    QTest::addColumn<double>("end1");
    QTest::addColumn<double>("end2");
    QTest::addColumn<QString>("expected");

    QTest::newRow("voltage: red to 180, green to 260, red above")
        << 140.0 << 300.0 << 3 << 180.0 << 260.0 << "140..180 #ff0000, 180..260 #00ff00, 260..300 #0000ff";
    QTest::newRow("battery: red to 8, green above")
        << 6.0 << 16.0 << 2 << 8.4 << 99.0 << "6..8.4 #ff0000, 8.4..16 #00ff00";
    QTest::newRow("sensor 2: one colour throughout")
        << -20.0 << 40.0 << 1 << 10.0 << 20.0 << "-20..40 #ff0000";
    QTest::newRow("threshold beyond the scale is clipped")
        << 140.0 << 300.0 << 3 << 100.0 << 400.0 << "140..300 #00ff00";
    QTest::newRow("second end below the first leaves no middle")
        << 16.0 << 32.0 << 3 << 29.0 << 19.0 << "16..29 #ff0000, 29..32 #0000ff";
}

void TestWidgets::sections_followEndsAndCount()
{
    QFETCH(double, low);
    QFETCH(double, high);
    QFETCH(int, count);
    QFETCH(double, end1);
    QFETCH(double, end2);
    QFETCH(QString, expected);

    LinearGauge g;
    g.setMinimum(low);
    g.setMaximum(high);
    g.setSectionCount(count);
    g.setLowAlarm(end1);
    g.setHighAlarm(end2);
    g.setLowColor(QColor(255, 0, 0));
    g.setNormalColor(QColor(0, 255, 0));
    g.setHighColor(QColor(0, 0, 255));
    QCOMPARE(describe(g.sections()), expected);
}

void TestWidgets::tickLabels_useLocaleAndNeededDecimals()
{
    AngularGauge voltage;
    voltageScale(voltage);
    QStringList labels;
    for (double v : voltage.majorTickValues())
        labels << voltage.tickLabel(v);
    QCOMPARE(labels.join(' '), QStringLiteral("140 160 180 200 220 240 260 280 300"));
    QCOMPARE(voltage.minorTickValues().size(), 8 * 3);

    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    LinearGauge signal(Qt::Horizontal);
    signal.setMinimum(-113);
    signal.setMaximum(-51);
    signal.setTickMajorCount(5);
    labels.clear();
    for (double v : signal.majorTickValues())
        labels << signal.tickLabel(v);
    QCOMPARE(labels.join(' '), QStringLiteral("-113,0 -97,5 -82,0 -66,5 -51,0"));
}

void TestWidgets::readings_repaintOverAKeptScale()
{
    QWidget window;
    window.resize(540, 220);
    auto *angular = new AngularGauge(&window);
    angular->setGeometry(0, 0, 200, 200);
    auto *linear = new LinearGauge(Qt::Horizontal, &window);
    linear->setGeometry(210, 0, 300, 70);
    auto *digital = new NumericDisplay(&window);
    digital->setGeometry(210, 100, 120, 30);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    for (ScaleGauge *g : {static_cast<ScaleGauge *>(angular), static_cast<ScaleGauge *>(linear)}) {
        const QByteArray kind = g->metaObject()->className();
        voltageScale(*g);
        g->setValue(220);
        const QImage start = g->grab().toImage();
        g->setValue(250);
        QVERIFY2(g->grab().toImage() != start, kind.constData());
        g->setValue(220);
        QVERIFY2(g->grab().toImage() == start,
                 (kind + " changed after a reading went and came back").constData());

        // A scale change must reach the kept picture of the scale, and undoing it restore it.
        const std::pair<const char *, QVariant> changes[] = {{"lowAlarm", 200.0},
                                                             {"normalColor", QColor(240, 200, 0)},
                                                             {"maximum", 320.0},
                                                             {"tickMinorCount", 1},
                                                             {"tickMajorLength", 16}};
        for (const auto &[name, value] : changes) {
            const QVariant before = g->property(name);
            QVERIFY(g->setProperty(name, value));
            QVERIFY2(g->grab().toImage() != start, (kind + ' ' + name + " not painted").constData());
            QVERIFY(g->setProperty(name, before));
            QVERIFY2(g->grab().toImage() == start, (kind + ' ' + name + " set back not painted").constData());
        }
        QFont bold = g->font();
        bold.setBold(true);
        g->setFont(bold);
        QVERIFY2(g->grab().toImage() != start, (kind + " font not painted").constData());
    }

    // A frame that leaves the text and the pointer as they are shown schedules no repaint.
    digital->setValue(220.2);
    angular->setValue(400); // shown at 300
    QCoreApplication::processEvents();
    PaintCounter digitalPaints(digital);
    PaintCounter angularPaints(angular);
    digital->setValue(219.8);
    digital->setErrorText(QStringLiteral("???")); // shown only while in error
    angular->setValue(500);
    QCoreApplication::processEvents();
    QCOMPARE(digitalPaints.count, 0);
    QCOMPARE(angularPaints.count, 0);
    digital->setValue(221);
    QCoreApplication::processEvents();
    QVERIFY(digitalPaints.count > 0);
}

void TestWidgets::numericText_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("precision");
    QTest::addColumn<QString>("units");
    QTest::addColumn<QString>("expected");

    QTest::newRow("phase voltage") << "C" << 220.0 << 0 << "В"
                                   << "220В";
    QTest::newRow("starter battery, C locale") << "C" << 13.6 << 1 << "В"
                                               << "13.6В";
    QTest::newRow("starter battery, Russian locale") << "ru_RU" << 13.6 << 1 << "В"
                                                     << "13,6В";
    QTest::newRow("UPS units begin with a blank") << "C" << 24.5 << 1 << " В"
                                                  << "24.5 В";
    QTest::newRow("signal level") << "C" << -87.0 << 0 << "дБм"
                                  << "-87дБм";
    QTest::newRow("temperature, Latin C") << "C" << -10.0 << 0 << " C"
                                          << "-10 C";
    QTest::newRow("rounds to the decimals") << "C" << 13.649 << 1 << "В"
                                            << "13.6В";
    QTest::newRow("no negative zero") << "C" << -0.04 << 1 << "В"
                                      << "0.0В";
    QTest::newRow("no group separator") << "ru_RU" << 1234.5 << 1 << "В"
                                        << "1234,5В";
}

void TestWidgets::numericText()
{
    QFETCH(QString, locale);
    QFETCH(double, value);
    QFETCH(int, precision);
    QFETCH(QString, units);
    QFETCH(QString, expected);

    QLocale::setDefault(QLocale(locale));
    NumericDisplay d;
    d.setPrecision(precision);
    d.setUnitsText(units);
    d.setValue(value);
    QCOMPARE(d.text(), expected);
    QCOMPARE(d.accessibleDescription(), expected);
}

void TestWidgets::errorActive_showsErrorTextAndBack()
{
    NumericDisplay d;
    d.setUnitsText(QStringLiteral("В"));
    d.setValue(220);
    d.setErrorActive(true);
    QCOMPARE(d.text(), QStringLiteral("---"));
    QCOMPARE(d.accessibleDescription(), QStringLiteral("---"));

    d.setValue(230); // values arriving meanwhile are kept for later
    QCOMPARE(d.text(), QStringLiteral("---"));
    d.setErrorActive(false);
    QCOMPARE(d.text(), QStringLiteral("230В"));
    QCOMPARE(d.accessibleDescription(), QStringLiteral("230В"));
}

void TestWidgets::textDisplay_errorTextAndBack()
{
    TextDisplay t;
    t.setErrorActive(true);
    t.setText(QStringLiteral("09:05:30"));
    QCOMPARE(t.shownText(), QStringLiteral("---"));
    QCOMPARE(t.text(), QStringLiteral("09:05:30"));
    t.setErrorActive(false);
    QCOMPARE(t.shownText(), QStringLiteral("09:05:30"));
    QCOMPARE(accessibleText(&t, QAccessible::Description), QStringLiteral("09:05:30"));
}

void TestWidgets::switchLed_userClick_flipsAndEmitsClickedThenChanged()
{
    SwitchLed led(QStringLiteral("Режим Авто"));
    led.resize(led.sizeHint());
    QStringList order;
    QList<bool> changedTo;
    connect(&led, &SwitchLed::clicked, this, [&] { order << QStringLiteral("clicked"); });
    connect(&led, &SwitchLed::changed, this, [&](bool on) {
        order << QStringLiteral("changed");
        changedTo << on;
    });
    QSignalSpy anyChange(&led, &SwitchLed::activeChanged);

    QTest::mouseClick(&led, Qt::LeftButton);
    QVERIFY(led.isActive());
    QCOMPARE(order, QStringList({"clicked", "changed"}));
    QCOMPARE(changedTo, QList<bool>{true});
    QCOMPARE(anyChange.count(), 1);

    QTest::mouseClick(&led, Qt::LeftButton);
    QVERIFY(!led.isActive());
    QCOMPARE(changedTo, QList<bool>({true, false}));
}

void TestWidgets::switchLed_space_flips()
{
    SwitchLed led(QStringLiteral("Вести лог"));
    QSignalSpy changed(&led, &SwitchLed::changed);
    QTest::keyClick(&led, Qt::Key_Space);
    QVERIFY(led.isActive());
    QCOMPARE(changed.count(), 1);
    QTest::keyClick(&led, Qt::Key_Return);
    QVERIFY2(led.isActive(), "a key other than Space flipped the switch");
}

void TestWidgets::switchLed_releaseOutside_doesNotFlip()
{
    SwitchLed led(QStringLiteral("Отображать данные"));
    led.resize(120, 30);
    QSignalSpy clicked(&led, &SwitchLed::clicked);
    QTest::mousePress(&led, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseRelease(&led, Qt::LeftButton, {}, QPoint(300, 10));
    QVERIFY(!led.isActive());
    QCOMPARE(clicked.count(), 0);
}

void TestWidgets::switchLed_setActive_emitsOnlyActiveChanged()
{
    SwitchLed led(QStringLiteral("Режим Полу-авто"));
    QSignalSpy clicked(&led, &SwitchLed::clicked);
    QSignalSpy changed(&led, &SwitchLed::changed);
    QSignalSpy anyChange(&led, &SwitchLed::activeChanged);

    led.setActive(true);
    led.setActive(false);
    QCOMPARE(anyChange.count(), 2);
    QCOMPARE(clicked.count(), 0);
    QCOMPARE(changed.count(), 0);
}

void TestWidgets::switchLed_accessibleToggle_actsLikeAClick()
{
    SwitchLed led(QStringLiteral("Режим Авто"));
    QSignalSpy changed(&led, &SwitchLed::changed);
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(&led);
    QVERIFY(iface);
    QCOMPARE(iface->role(), QAccessible::CheckBox);
    QVERIFY(iface->state().checkable);
    QVERIFY(!iface->state().checked);
    QVERIFY(iface->actionInterface());

    iface->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    QVERIFY(led.isActive());
    QVERIFY(iface->state().checked);
    QCOMPARE(changed.count(), 1);
}

void TestWidgets::displayCaption_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("shown");

    QTest::newRow("line feed then carriage return") << "Авария:\n\rнет запуска ГУ"
                                                    << "Авария:\nнет запуска ГУ";
    QTest::newRow("carriage return then line feed") << "Работа/\r\nотдых"
                                                    << "Работа/\nотдых";
    QTest::newRow("stray carriage return dropped") << "GSM\r модем"
                                                   << "GSM модем";
    QTest::newRow("single line untouched") << "Питание от сети"
                                           << "Питание от сети";
    QTest::newRow("two breaks") << "a\n\rb\n\rc"
                                << "a\nb\nc";
}

void TestWidgets::displayCaption()
{
    QFETCH(QString, stored);
    QFETCH(QString, shown);
    QCOMPARE(gencfg::displayCaption(stored), shown);
}

void TestWidgets::twoLineCaptions_showAsTwoCleanLines()
{
    WrapLabel status;
    status.setCaption(QStringLiteral("Пропадание сети\n\r00:01:30"));
    QCOMPARE(status.caption(), QStringLiteral("Пропадание сети\n\r00:01:30"));
    QCOMPARE(status.shownText().split('\n'), QStringList({"Пропадание сети", "00:01:30"}));
    QCOMPARE(status.accessibleDescription(), QStringLiteral("Пропадание сети 00:01:30"));

    RectLed led(QStringLiteral("Работа/\n\rотдых"));
    QCOMPARE(led.shownCaption().split('\n'), QStringList({"Работа/", "отдых"}));
    QVERIFY(!led.accessibleName().contains('\r'));

    SwitchLed sw(QStringLiteral("Режим\n\rАвто"));
    QCOMPARE(sw.shownCaption().split('\n'), QStringList({"Режим", "Авто"}));

    // A second line must make the painted text taller than one line.
    status.resize(220, 60);
    WrapLabel oneLine;
    oneLine.setCaption(QStringLiteral("Пропадание сети 00:01:30"));
    oneLine.resize(220, 60);
    auto inkRows = [](const QImage &image) {
        int rows = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (image.pixelColor(x, y) != image.pixelColor(0, 0)) {
                    ++rows;
                    break;
                }
            }
        }
        return rows;
    };
    const int twoLines = inkRows(status.grab().toImage());
    const int single = inkRows(oneLine.grab().toImage());
    QVERIFY2(twoLines > single * 3 / 2,
             qPrintable(QStringLiteral("ink rows: two lines %1, one line %2").arg(twoLines).arg(single)));
}

void TestWidgets::angularAutoSize_keepsSquare()
{
    QWidget page;
    page.resize(600, 600);
    auto *g = new AngularGauge(&page);
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    QVERIFY(g->autoSize());

    g->resize(g->width(), 161); // the layout sets the height first
    QCOMPARE(g->size(), QSize(161, 161));
    g->resize(200, 150);
    QCOMPARE(g->size(), QSize(150, 150));
    g->resize(224, 150); // only the width changed
    QCOMPARE(g->size(), QSize(224, 224));
    QVERIFY(g->hasHeightForWidth());
    QCOMPARE(g->heightForWidth(90), 90);
}

void TestWidgets::angularAutoSizeOff_keepsGivenSize()
{
    QWidget page;
    page.resize(600, 600);
    auto *g = new AngularGauge(&page);
    g->setAutoSize(false);
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    g->resize(200, 150);
    QCOMPARE(g->size(), QSize(200, 150));
    g->setAutoSize(true);
    QCOMPARE(g->size(), QSize(150, 150));
}

void TestWidgets::accessibleDescription_followsShownText()
{
    AngularGauge gauge;
    voltageScale(gauge);
    gauge.setAccessibleName(QStringLiteral("Фаза А"));
    gauge.setValue(220);
    QCOMPARE(accessibleText(&gauge, QAccessible::Name), QStringLiteral("Фаза А"));
    QCOMPARE(accessibleText(&gauge, QAccessible::Description), QStringLiteral("220"));
    gauge.setValue(0);
    QCOMPARE(accessibleText(&gauge, QAccessible::Description), QStringLiteral("140"));
    gauge.setUnitsText(QStringLiteral("В"));
    QCOMPARE(accessibleText(&gauge, QAccessible::Description), QStringLiteral("140 В"));

    NumericDisplay digital;
    digital.setUnitsText(QStringLiteral("дБм"));
    digital.setValue(-87);
    QCOMPARE(accessibleText(&digital, QAccessible::Description), QStringLiteral("-87дБм"));

    RectLed led(QStringLiteral("GSM модем"));
    QCOMPARE(accessibleText(&led, QAccessible::Name), QStringLiteral("GSM модем"));
    QCOMPARE(accessibleText(&led, QAccessible::Description), QStringLiteral("выкл."));
    led.setActive(true);
    QCOMPARE(accessibleText(&led, QAccessible::Description), QStringLiteral("вкл."));

    SwitchLed sw(QStringLiteral("Вести лог"));
    sw.click();
    QCOMPARE(accessibleText(&sw, QAccessible::Description), QStringLiteral("вкл."));

    WrapLabel label;
    label.setCaption(QStringLiteral("Зарегистрирован\n\rв роуминге"));
    QCOMPARE(accessibleText(&label, QAccessible::Description), QStringLiteral("Зарегистрирован в роуминге"));
}

void TestWidgets::paint_anySize_doesNotCrash_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QSize>("size");
    const QStringList kinds = {"AngularGauge", "LinearGauge", "NumericDisplay", "TextDisplay",
                               "RectLed",      "SwitchLed",   "WrapLabel"};
    for (const QString &kind : kinds) {
        for (const QSize &size : {QSize(1, 1), QSize(20, 20), QSize(800, 800)}) {
            const QByteArray name =
                QStringLiteral("%1 %2x%3").arg(kind).arg(size.width()).arg(size.height()).toUtf8();
            QTest::newRow(name.constData()) << kind << size;
        }
    }
}

void TestWidgets::paint_anySize_doesNotCrash()
{
    QFETCH(QString, kind);
    QFETCH(QSize, size);
    std::unique_ptr<QWidget> w = makeWidget(kind);
    w->setProperty("value", 42.0);
    w->setProperty("value", 220.0);
    w->setProperty("unitsText", "В");
    w->setProperty("text", "12ч 13м");
    w->setProperty("caption", "Авария:\n\rнет запуска ГУ");
    w->setProperty("active", true);
    w->resize(size);

    const QImage image = w->grab().toImage();
    QCOMPARE(image.size(), size);
    if (size.width() >= 800) {
        bool painted = false;
        for (int y = 0; y < image.height() && !painted; y += 7) {
            for (int x = 0; x < image.width() && !painted; x += 7)
                painted = image.pixel(x, y) != image.pixel(0, 0);
        }
        QVERIFY2(painted, "nothing painted at 800x800");
    }
}

void TestWidgets::portChooser_marksAHeldPortBusyAndStillPicksItsName()
{
    const QString held = QStringLiteral("/tmp/gencfg-held");
    const QString free = QStringLiteral("/tmp/gencfg-free");
    PortComboBox chooser;
    chooser.setBusyProbe([held](const QString &path) { return path == held; });
    chooser.addExtraPort(held);
    chooser.addExtraPort(free);
    const int heldIndex = chooser.findData(held);
    QVERIFY(heldIndex >= 0);
    const QComboBox &list = chooser;
    QCOMPARE(list.itemText(heldIndex), held + gencfg::test::PortBusyMark);
    QCOMPARE(list.itemText(chooser.findData(free)), free);
    QCOMPARE(chooser.portText(held), held);

    QSignalSpy picked(&chooser, &PortComboBox::portPicked);
    Q_EMIT chooser.activated(heldIndex);
    QCOMPARE(picked.count(), 1);
    QCOMPARE(picked.at(0).at(0).toString(), held);
}

void TestWidgets::messageBox_returnsAtOnce_windowModal_deletedOnClose()
{
    QWidget window;
    window.show();
    Messages messages(&window);
    // A box still open long after show() would have had to return is closed, so a waiting show() ends.
    QTimer::singleShot(2000, &window, [&window] {
        for (QMessageBox *box : window.findChildren<QMessageBox *>())
            box->done(QMessageBox::Ok);
    });
    int seen = 0;
    messages.show(Message::Warning, QStringLiteral("Caption"), QStringLiteral("Text"), &window,
                  [&seen] { ++seen; });
    const QPointer<QMessageBox> box = window.findChild<QMessageBox *>();
    QVERIFY2(box, "show() waited for the box to be closed");
    QVERIFY(box->isVisible());
    QCOMPARE(box->windowModality(), Qt::WindowModal);
    QCOMPARE(box->text(), QStringLiteral("Text"));
    QCOMPARE(seen, 0);
    box->button(QMessageBox::Ok)->click();
    QCOMPARE(seen, 1);
    QTRY_VERIFY(box.isNull());
}

QTEST_MAIN(TestWidgets)
#include "tst_widgets.moc"
