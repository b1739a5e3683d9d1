#include "monitor/ui/MeasurementPage.h"
#include "widgets/Placement.h"

#include "monitor/MeasurementTexts.h"

#include "widgets/AngularGauge.h"
#include "widgets/LinearGauge.h"
#include "widgets/NumericDisplay.h"
#include "widgets/RectLed.h"
#include "widgets/TextDisplay.h"
#include "widgets/WrapLabel.h"

#include <QLabel>
#include <algorithm>

namespace gencfg {

namespace {

const QColor Red(255, 0, 0);
const QColor Yellow(255, 255, 0);
const QColor Blue(0, 0, 255);
const QColor BandRed(220, 40, 40);
const QColor BandYellow(240, 200, 0);
const QColor BandGreen(40, 170, 60);

// Design sizes; the proportional layout moves them and sizes the gauges.
constexpr int CaptionHeight = 14;
constexpr int DisplayHeight = 22;
constexpr int LedHeight = 22;
constexpr int ColumnWidth = 96;
constexpr int ColumnLeft = 392;
constexpr int FlagTop = 122;
constexpr int FlagPitch = 25;
// Captions are wider than the column so the longest one is never clipped.
constexpr int ColumnCaptionWidth = 124;
constexpr int ColumnCaptionLeft = ColumnLeft - (ColumnCaptionWidth - ColumnWidth) / 2;

struct Scale
{
    double min;
    double max;
    int majorTicks;
    int minorTicks;
};

struct Bands
{
    int count;
    double end1;
    double end2;
    QColor color1;
    QColor color2;
    QColor color3;
};

const Scale VoltageScale{140, 300, 5, 3};
const Bands VoltageBands{3, 180, 260, BandRed, BandGreen, BandRed};

void design(ScaleGauge *gauge, const Scale &scale, const Bands &bands)
{
    gauge->setPositionMin(scale.min);
    gauge->setPositionMax(scale.max);
    gauge->setTickMajorCount(scale.majorTicks);
    gauge->setTickMinorCount(scale.minorTicks);
    gauge->setSectionCount(bands.count);
    gauge->setSectionEnd1(bands.end1);
    gauge->setSectionEnd2(bands.end2);
    gauge->setSectionColor1(bands.color1);
    gauge->setSectionColor2(bands.color2);
    gauge->setSectionColor3(bands.color3);
    gauge->setPointerColor(Blue);
}

template <typename T> T *named(T *widget, const char *name, const QString &role, const QRect &place)
{
    widget->setObjectName(QLatin1String(name));
    widget->setAccessibleName(role);
    widget->setGeometry(place);
    return widget;
}

AngularGauge *makeDial(QWidget *page, const char *name, const QString &role, const QRect &place)
{
    auto *gauge = named(new AngularGauge(page), name, role, place);
    design(gauge, VoltageScale, VoltageBands);
    return gauge;
}

LinearGauge *makeBar(QWidget *page, const char *name, const QString &role, Qt::Orientation orientation,
                     const QRect &place)
{
    return named(new LinearGauge(orientation, page), name, role, place);
}

NumericDisplay *makeNumber(QWidget *page, const char *name, const QString &role, const QString &units,
                           int decimals, const QRect &place)
{
    auto *display = named(new NumericDisplay(page), name, role, place);
    display->setUnitsText(units);
    display->setPrecision(decimals);
    return display;
}

TextDisplay *makeText(QWidget *page, const char *name, const QString &role, const QRect &place)
{
    return named(new TextDisplay(page), name, role, place);
}

QLabel *makeCaption(QWidget *page, const char *name, const QString &text, const QRect &place)
{
    auto *label = named(new QLabel(text, page), name, text, place);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

RectLed *makeLed(QWidget *page, const QString &name, const QString &caption, const QRect &place)
{
    auto *led = new RectLed(caption, page);
    led->setObjectName(name);
    led->setGeometry(place);
    return led;
}

WrapLabel *makeWrapLabel(QWidget *page, const char *name, const QString &role, const QRect &place)
{
    return named(new WrapLabel(page), name, role, place);
}

} // namespace

MeasurementPage::MeasurementPage(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("measurementPage"));
    buildVoltages();
    buildBatteries();
    buildModem();
    buildTemperatures();
    buildStatusColumn();
    buildMode();

    m_dataDisplays = {phaseADisplay,         phaseBDisplay,       phaseCDisplay,       generatorDisplay,
                      starterBatteryDisplay, motoclockDisplay,    signalDisplay,       maintenanceDisplay,
                      temperature1Display,   temperature2Display, temperature3Display, temperature4Display,
                      upsBatteryDisplay,     clockDisplay};
}

void MeasurementPage::buildVoltages()
{
    const QString captions[] = {PhaseACaption(), PhaseBCaption(), PhaseCCaption(), GeneratorPhaseCaption()};
    const QString reading = tr(", показание");
    phaseAGauge = makeDial(this, "phaseAGauge", captions[0], {1, 102, 126, 126});
    phaseBGauge = makeDial(this, "phaseBGauge", captions[1], {129, 102, 126, 126});
    phaseCGauge = makeDial(this, "phaseCGauge", captions[2], {257, 102, 126, 126});
    generatorGauge = makeDial(this, "generatorGauge", captions[3], {488, 50, 176, 176});
    const QString volts = VoltUnits();
    phaseADisplay =
        makeNumber(this, "phaseADisplay", captions[0] + reading, volts, 0, {29, 227, 70, DisplayHeight});
    phaseBDisplay =
        makeNumber(this, "phaseBDisplay", captions[1] + reading, volts, 0, {157, 227, 70, DisplayHeight});
    phaseCDisplay =
        makeNumber(this, "phaseCDisplay", captions[2] + reading, volts, 0, {285, 227, 70, DisplayHeight});
    generatorDisplay =
        makeNumber(this, "generatorDisplay", captions[3] + reading, volts, 0, {536, 225, 80, DisplayHeight});
    phaseACaption = makeCaption(this, "phaseACaption", captions[0], {14, 85, 100, CaptionHeight});
    phaseBCaption = makeCaption(this, "phaseBCaption", captions[1], {142, 85, 100, CaptionHeight});
    phaseCCaption = makeCaption(this, "phaseCCaption", captions[2], {270, 85, 100, CaptionHeight});
    generatorCaption = makeCaption(this, "generatorCaption", captions[3], {526, 33, 100, CaptionHeight});
}

void MeasurementPage::buildBatteries()
{
    const QString acc = StarterBatteryCaption();
    const QString ups = UpsBatteryCaption();
    const QString reading = tr(", показание");

    starterBatteryGauge = makeBar(this, "starterBatteryGauge", acc, Qt::Vertical, {708, 36, 56, 192});
    design(starterBatteryGauge, {6, 16, 6, 1}, {2, 8, 16, BandRed, BandGreen, BandGreen});
    starterBatteryDisplay = makeNumber(this, "starterBatteryDisplay", acc + reading, VoltUnits(), 1,
                                       {703, 227, 66, DisplayHeight});
    starterBatteryCaption = makeCaption(this, "starterBatteryCaption", acc, {676, 19, 120, CaptionHeight});

    upsBatteryGauge = makeBar(this, "upsBatteryGauge", ups, Qt::Horizontal, {52, 274, 280, 55});
    design(upsBatteryGauge, {16, 32, 5, 3}, {3, 19, 29, BandRed, BandGreen, BandRed});
    upsBatteryDisplay = makeNumber(this, "upsBatteryDisplay", ups + reading, UpsVoltUnits(), 1,
                                   {152, 329, 80, DisplayHeight});
    upsBatteryCaption = makeCaption(this, "upsBatteryCaption", ups, {112, 262, 160, CaptionHeight});
}

void MeasurementPage::buildModem()
{
    const QString signal = SignalCaption();
    const QString registration = NetworkRegistrationCaption();

    signalGauge = makeBar(this, "signalGauge", signal, Qt::Horizontal, {52, 384, 280, 55});
    design(signalGauge, {-113, -51, 3, 4}, {3, -95, -85, BandRed, BandYellow, BandGreen});
    signalDisplay = makeNumber(this, "signalDisplay", signal + tr(", показание"), DbmUnits(), 0,
                               {152, 439, 80, DisplayHeight});
    signalCaption = makeCaption(this, "signalCaption", signal, {112, 372, 160, CaptionHeight});

    registrationLabel = makeWrapLabel(this, "registrationLabel", registration, {82, 489, 220, 34});
    registrationCaption =
        makeCaption(this, "registrationCaption", registration, {112, 472, 160, CaptionHeight});
}

void MeasurementPage::buildTemperatures()
{
    const QString caption = TemperaturesCaption();
    const QString units = QStringLiteral(" C");
    auto role = [](int sensor) { return tr("Датчик температуры %1").arg(sensor); };
    auto reading = [&role](int sensor) { return role(sensor) + tr(", показание"); };
    const Scale scale{-20, 40, 7, 1};

    temperature1Gauge = makeBar(this, "temperature1Gauge", role(1), Qt::Vertical, {516, 289, 56, 192});
    temperature2Gauge = makeBar(this, "temperature2Gauge", role(2), Qt::Vertical, {580, 289, 56, 192});
    temperature3Gauge = makeBar(this, "temperature3Gauge", role(3), Qt::Vertical, {644, 289, 56, 192});
    temperature4Gauge = makeBar(this, "temperature4Gauge", role(4), Qt::Vertical, {708, 289, 56, 192});
    design(temperature1Gauge, scale, {2, 10, 40, BandRed, BandGreen, BandGreen});
    for (LinearGauge *gauge : {temperature2Gauge, temperature3Gauge, temperature4Gauge})
        design(gauge, scale, {1, 40, 40, BandGreen, BandGreen, BandGreen});
    for (LinearGauge *gauge : {temperature1Gauge, temperature2Gauge, temperature3Gauge, temperature4Gauge})
        gauge->setPosition(10);

    temperature1Display =
        makeNumber(this, "temperature1Display", reading(1), units, 0, {516, 480, 56, DisplayHeight});
    temperature2Display =
        makeNumber(this, "temperature2Display", reading(2), units, 0, {580, 480, 56, DisplayHeight});
    temperature3Display =
        makeNumber(this, "temperature3Display", reading(3), units, 0, {644, 480, 56, DisplayHeight});
    temperature4Display =
        makeNumber(this, "temperature4Display", reading(4), units, 0, {708, 480, 56, DisplayHeight});
    temperaturesCaption = makeCaption(this, "temperaturesCaption", caption, {560, 272, 160, CaptionHeight});
}

void MeasurementPage::buildStatusColumn()
{
    const QString motoclock = MotoclockCaption();
    const QString maintenance = MaintenanceCaption();
    const QString time = DeviceClockCaption();
    motoclockCaption = makeCaption(this, "motoclockCaption", motoclock,
                                   {ColumnCaptionLeft, 2, ColumnCaptionWidth, CaptionHeight});
    motoclockDisplay =
        makeText(this, "motoclockDisplay", motoclock, {ColumnLeft, 16, ColumnWidth, DisplayHeight});
    maintenanceCaption = makeCaption(this, "maintenanceCaption", maintenance,
                                     {ColumnCaptionLeft, 41, ColumnCaptionWidth, CaptionHeight});
    maintenanceDisplay =
        makeText(this, "maintenanceDisplay", maintenance, {ColumnLeft, 55, ColumnWidth, DisplayHeight});
    clockCaption =
        makeCaption(this, "clockCaption", time, {ColumnCaptionLeft, 80, ColumnCaptionWidth, CaptionHeight});
    clockDisplay = makeText(this, "clockDisplay", time, {ColumnLeft, 94, ColumnWidth, DisplayHeight});

    // The LEDs top to bottom, each with the key of the flag it shows.
    const struct
    {
        RectLed **member;
        const char *name;
        const char *flagKey;
    } column[] = {
        {&threeLineLed, "threeLineLed", "three_line"},
        {&directStartLed, "directStartLed", "direct_start"},
        {&smartStartLed, "smartStartLed", "smart_start"},
        {&generatorFrequencyLed, "generatorFrequencyLed", "gu_freq"},
        {&maintenanceLed, "maintenanceLed", "to"},
        {&starterBatteryControlLed, "starterBatteryControlLed", "acc_voltage_control"},
        {&upsBatteryControlLed, "upsBatteryControlLed", "ups_voltage_control"},
        {&workSleepLed, "workSleepLed", "work_sleep"},
        {&testStartLed, "testStartLed", "test_start"},
        {&shortLed, "shortLed", "short"},
        {&gsmActivityLed, "gsmActivityLed", "gsm_activity"},
        {&thermoLed, "thermoLed", "thermo"},
        {&gprsLed, "gprsLed", "gprs"},
    };
    const QList<StatusFlag> &flags = StatusFlags();
    m_flagLeds.resize(flags.size());
    int row = 0;
    for (const auto &led : column) {
        const auto flag = std::find_if(flags.cbegin(), flags.cend(), [&led](const StatusFlag &f) {
            return f.key == QLatin1String(led.flagKey);
        });
        Q_ASSERT(flag != flags.cend());
        *led.member = makeLed(this, QLatin1String(led.name), FlagCaption(*flag),
                              {ColumnLeft, FlagTop + row * FlagPitch, ColumnWidth, LedHeight});
        // The list follows the flags' order, the column the page's.
        m_flagLeds[flag - flags.cbegin()] = *led.member;
        ++row;
    }
}

void MeasurementPage::buildMode()
{
    const QString caption = DeviceModeCaption();
    stageLabel = makeWrapLabel(this, "stageLabel", caption, {34, 18, 220, 40});
    modeCaption = makeCaption(this, "modeCaption", caption, {64, 1, 160, CaptionHeight});
    autoLed = makeLed(this, QStringLiteral("autoLed"), tr("Авто"), {280, 4, 80, LedHeight});
    semiautoLed = makeLed(this, QStringLiteral("semiautoLed"), tr("Полуавто"), {280, 28, 80, LedHeight});
    manualLed = makeLed(this, QStringLiteral("manualLed"), tr("Ручной"), {280, 52, 80, LedHeight});
}

void MeasurementPage::showNoData()
{
    for (ScaleGauge *gauge : std::initializer_list<ScaleGauge *>{
             phaseAGauge, phaseBGauge, phaseCGauge, generatorGauge, starterBatteryGauge, signalGauge,
             upsBatteryGauge, temperature1Gauge})
        gauge->setPosition(0);
    for (LcdPanel *display : m_dataDisplays)
        display->setErrorActive(true);
    stageLabel->setCaption(QString());
    registrationLabel->setCaption(QString());
}

void MeasurementPage::showMode(const TelemetryRecord &record)
{
    const ModeDisplay mode = ModeDisplayFor(record);
    if (mode == ModeDisplay::Unchanged)
        return;
    if (mode == ModeDisplay::Manual) {
        autoLed->setActive(false);
        semiautoLed->setActive(false);
        manualLed->setActive(true);
    } else {
        const bool semiauto = mode == ModeDisplay::Semiauto;
        // setActive mirrors the device's state without sending a mode command back.
        autoLed->setActive(!semiauto);
        semiautoLed->setActive(semiauto);
        manualLed->setActive(false);
        Q_EMIT automaticModeShown(semiauto);
    }
    if (const std::optional<QString> caption = StatusCaption(record))
        stageLabel->setCaption(*caption);

    switch (GeneratorBlinkEffectFor(record)) {
    case GeneratorBlinkEffect::Start:
        m_generatorBlink = true;
        break;
    case GeneratorBlinkEffect::Stop:
        generatorGauge->setPointerColor(Blue);
        m_generatorBlink = false;
        break;
    case GeneratorBlinkEffect::None:
        break;
    }
}

void MeasurementPage::show(const TelemetryRecord &record)
{
    for (LcdPanel *display : m_dataDisplays)
        display->setErrorActive(false);
    showMode(record);

    clockDisplay->setText(ClockText(record));

    generatorGauge->setPosition(record.VoltageGU);
    phaseAGauge->setPosition(record.VoltageA);
    phaseBGauge->setPosition(record.VoltageB);
    phaseCGauge->setPosition(record.VoltageC);
    generatorDisplay->setValue(record.VoltageGU);
    phaseADisplay->setValue(record.VoltageA);
    phaseBDisplay->setValue(record.VoltageB);
    phaseCDisplay->setValue(record.VoltageC);

    const double acc = TenthsToVolts(record.AccVoltage);
    starterBatteryGauge->setPosition(acc);
    starterBatteryDisplay->setValue(acc);
    const double ups = TenthsToVolts(record.UpsVoltage);
    upsBatteryGauge->setPosition(ups);
    upsBatteryDisplay->setValue(ups);

    motoclockDisplay->setText(HoursMinutesText(record.MotoclockMinutes));
    maintenanceDisplay->setText(HoursMinutesText(record.MaintenanceMinutes));

    const std::optional<int> dbm = ShownSignalDbm(record.SignalQuality);
    // An unknown level shows as before the first frame, not as the weakest.
    signalGauge->setPosition(dbm.value_or(0));
    if (dbm)
        signalDisplay->setValue(*dbm);
    signalDisplay->setErrorActive(!dbm);

    if (const std::optional<QString> caption = RegistrationCaption(record.Registration))
        registrationLabel->setCaption(*caption);

    temperature1Gauge->setPosition(record.Temperature1);
    temperature1Display->setValue(record.Temperature1);
    temperature2Gauge->setPosition(record.Temperature2);
    temperature2Display->setValue(record.Temperature2);
    temperature3Gauge->setPosition(record.Temperature3);
    temperature3Display->setValue(record.Temperature3);
    temperature4Gauge->setPosition(record.Temperature4);
    temperature4Display->setValue(record.Temperature4);

    const QList<StatusFlag> &flags = StatusFlags();
    for (int i = 0; i < flags.size(); ++i)
        m_flagLeds[i]->setActive(IsFlagSet(record, flags[i]));
}

void MeasurementPage::blinkStep()
{
    if (!m_generatorBlink)
        return;
    generatorGauge->setPointerColor(generatorGauge->pointerColor() == Yellow ? Red : Yellow);
}

void MeasurementPage::ShowThresholdsOnGauges(const ConfigImageBytes &image)
{
    const GaugeThresholds t = ThresholdsFromImage(image);
    generatorGauge->setSectionEnd1(t.generatorLow);
    generatorGauge->setSectionEnd2(t.generatorHigh);
    for (AngularGauge *phase : {phaseAGauge, phaseBGauge, phaseCGauge}) {
        phase->setSectionEnd1(t.mainsLow);
        phase->setSectionEnd2(t.mainsHigh);
    }
    temperature1Gauge->setSectionEnd1(t.temperatureLow);
    starterBatteryGauge->setSectionEnd1(t.starterBatteryLow);
    upsBatteryGauge->setSectionEnd1(t.upsLow);
    upsBatteryGauge->setSectionEnd2(t.upsHigh);
    if (t.upsScale) {
        upsBatteryGauge->setPositionMin(t.upsScale->PositionMin);
        upsBatteryGauge->setPositionMax(t.upsScale->PositionMax);
    }
}

void MeasurementPage::placeChildren(const Placer &p)
{
    const GaugeLook phase{0.015, 0.01, 0.015};
    const GaugeLook generator{0.02, 0.015, 0.02};
    const GaugeLook bar{0.02, 0.015, 0};
    const ColumnGroup groups[] = {
        {phaseAGauge, phaseADisplay, phaseACaption, 0.08, 0.3, 0.08, 10, GaugeSize::SmallDial, phase},
        {phaseBGauge, phaseBDisplay, phaseBCaption, 0.24, 0.3, 0.24, 10, GaugeSize::SmallDial, phase},
        {phaseCGauge, phaseCDisplay, phaseCCaption, 0.4, 0.3, 0.4, 10, GaugeSize::SmallDial, phase},
        {generatorGauge, generatorDisplay, generatorCaption, 0.72, 0.25, 0.72, 10, GaugeSize::LargeDial,
         generator},
        {starterBatteryGauge, starterBatteryDisplay, starterBatteryCaption, 0.92, 0.24, 0.92, 10,
         GaugeSize::TallBar, bar},
        {signalGauge, signalDisplay, signalCaption, 0.24, 0.75, 0.24, 5, GaugeSize::WideBar, bar},
        {registrationLabel, nullptr, registrationCaption, 0.24, 0.92, 0.24, 10, GaugeSize::Unchanged, {}},
        {upsBatteryGauge, upsBatteryDisplay, upsBatteryCaption, 0.24, 0.55, 0.24, 5, GaugeSize::WideBar, bar},
        // One caption over the four temperature gauges.
        {temperature1Gauge, temperature1Display, temperaturesCaption, 0.68, 0.7, 0.8, 10, GaugeSize::TallBar,
         bar},
        {temperature2Gauge, temperature2Display, nullptr, 0.76, 0.7, 0, 10, GaugeSize::TallBar, bar},
        {temperature3Gauge, temperature3Display, nullptr, 0.84, 0.7, 0, 10, GaugeSize::TallBar, bar},
        {temperature4Gauge, temperature4Display, nullptr, 0.92, 0.7, 0, 10, GaugeSize::TallBar, bar},
    };
    for (const ColumnGroup &group : groups)
        placeColumn(p, group);

    // The status column moves sideways only; its rows stay where they were designed.
    for (QWidget *x : std::initializer_list<QWidget *>{
             motoclockCaption, motoclockDisplay, maintenanceCaption, maintenanceDisplay, clockCaption,
             clockDisplay, threeLineLed, directStartLed, smartStartLed, generatorFrequencyLed, maintenanceLed,
             starterBatteryControlLed, upsBatteryControlLed, workSleepLed, testStartLed, shortLed,
             gsmActivityLed, thermoLed, gprsLed})
        p.centre(x, 0.55);

    placeColumn(p, {stageLabel, nullptr, modeCaption, 0.18, 0.07, 0.18, 10, GaugeSize::Unchanged, {}});
    for (QWidget *x : {autoLed, semiautoLed, manualLed})
        p.centre(x, 0.4);
    const int modeRow = RoundHalfEven(p.H() * 0.07);
    setTop(autoLed, modeRow - half(autoLed->height()) - 24);
    setTop(semiautoLed, modeRow - half(semiautoLed->height()));
    setTop(manualLed, modeRow - half(manualLed->height()) + 24);
}

} // namespace gencfg
