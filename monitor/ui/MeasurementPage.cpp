#include "monitor/ui/MeasurementPage.h"

#include "monitor/MeasurementTexts.h"

#include "widgets/AngularGauge.h"
#include "widgets/LinearGauge.h"
#include "widgets/NumericDisplay.h"
#include "widgets/PageLayout.h"
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

// Design sizes; the page's layout places them and sizes the gauges.
constexpr int CaptionHeight = 14;
constexpr int DisplayHeight = 22;
constexpr int LedHeight = 22;
constexpr int ColumnWidth = 96;
constexpr int ColumnLeft = 392;
constexpr int CounterTop = 2;
constexpr int CounterPitch = 39;
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

void setScale(ScaleGauge *gauge, const Scale &scale, const Bands &bands)
{
    gauge->setMinimum(scale.min);
    gauge->setMaximum(scale.max);
    gauge->setTickMajorCount(scale.majorTicks);
    gauge->setTickMinorCount(scale.minorTicks);
    gauge->setSectionCount(bands.count);
    gauge->setLowAlarm(bands.end1);
    gauge->setHighAlarm(bands.end2);
    gauge->setLowColor(bands.color1);
    gauge->setNormalColor(bands.color2);
    gauge->setHighColor(bands.color3);
    gauge->setPointerColor(Blue);
}

} // namespace

// A column as designed: its gauge, the number under it and the caption over it, their sizes, their fractions
// of the page control's size, and what they show of a record.
struct MeasurementPage::ColumnDesign
{
    const char *name; // of the gauge, the display and the caption, before "Gauge", "Display", "Caption"
    QString role;     // the gauge's accessible name
    QString caption;  // empty: the column has no caption of its own
    GaugeSize size;   // a dial on the voltage scale, or a bar on its own scale
    Scale scale;
    Bands bands;
    QString units;
    int decimals;
    QSize gaugeSize;
    QSize displaySize;
    QSize captionSize;
    double fx;
    double fy;
    double captionFx;
    int gap;
    GaugeLook look;
    RecordValue value; // none: the page shows it in its own way
    ScaleGauge **kept; // the page's own pointer to the gauge, or none
    double rest = 0;
};

namespace {

// The page's layout, which every control is registered with at its design place or size.
PageLayout *layoutOf(QWidget *page)
{
    return static_cast<PageLayout *>(page->layout());
}

template <typename T> T *named(T *widget, const QString &name, const QString &role, const QRect &place)
{
    widget->setObjectName(name);
    widget->setAccessibleName(role);
    layoutOf(widget->parentWidget())->add(widget, place);
    return widget;
}

template <typename T> T *named(T *widget, const QString &name, const QString &role, const QSize &size)
{
    return named(widget, name, role, QRect(QPoint(), size));
}

QLabel *makeCaption(QWidget *page, const QString &name, const QString &text, const QSize &size)
{
    auto *label = named(new QLabel(text, page), name, text, size);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

// A control of the status column: it keeps its design row and moves sideways only.
void sideways(QWidget *control, const QRect &design)
{
    layoutOf(control->parentWidget())->add(control, design, [](const PageLayout::Frame &f, const QRect &r) {
        return QRect(QPoint(f.centredLeft(r.width(), 0.55), r.y()), r.size());
    });
}

RectLed *makeLed(QWidget *page, const QString &name, const QString &caption, const QRect &place)
{
    auto *led = new RectLed(caption, page);
    led->setObjectName(name);
    sideways(led, place);
    return led;
}

WrapLabel *makeWrapLabel(QWidget *page, const char *name, const QString &role, const QSize &size)
{
    return named(new WrapLabel(page), QLatin1String(name), role, size);
}

} // namespace

MeasurementPage::MeasurementPage(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("measurementPage"));
    new PageLayout(this);
    const QString volts = VoltUnits();
    const QString phaseA = PhaseACaption();
    const QString phaseB = PhaseBCaption();
    const QString phaseC = PhaseCCaption();
    const QString generator = GeneratorPhaseCaption();
    const GaugeLook phase{0.015, 0.01, 0.015};
    const GaugeLook dial{0.02, 0.015, 0.02};
    const GaugeLook bar{0.02, 0.015, 0};
    const GaugeSize small = GaugeSize::SmallDial;
    const RecordValue *value = GaugedValues;
    addColumns({
        {"phaseA", phaseA, phaseA, small, VoltageScale, VoltageBands, volts, 0, QSize(126, 126),
         QSize(70, DisplayHeight), QSize(100, CaptionHeight), 0.08, 0.3, 0.08, 10, phase, value[0],
         &m_phaseAGauge},
        {"phaseB", phaseB, phaseB, small, VoltageScale, VoltageBands, volts, 0, QSize(126, 126),
         QSize(70, DisplayHeight), QSize(100, CaptionHeight), 0.24, 0.3, 0.24, 10, phase, value[1],
         &m_phaseBGauge},
        {"phaseC", phaseC, phaseC, small, VoltageScale, VoltageBands, volts, 0, QSize(126, 126),
         QSize(70, DisplayHeight), QSize(100, CaptionHeight), 0.4, 0.3, 0.4, 10, phase, value[2],
         &m_phaseCGauge},
        {"generator", generator, generator, GaugeSize::LargeDial, VoltageScale, VoltageBands, volts, 0,
         QSize(176, 176), QSize(80, DisplayHeight), QSize(100, CaptionHeight), 0.72, 0.25, 0.72, 10, dial,
         value[3], &m_generatorGauge},
    });
    const QString acc = StarterBatteryCaption();
    const Scale accScale{6, 16, 6, 1};
    const Bands accBands{2, 8, 16, BandRed, BandGreen, BandGreen};
    addColumns({{"starterBattery", acc, acc, GaugeSize::TallBar, accScale, accBands, volts, 1, QSize(56, 192),
                 QSize(66, DisplayHeight), QSize(120, CaptionHeight), 0.92, 0.24, 0.92, 10, bar, value[4],
                 &m_starterBatteryGauge}});
    const QString ups = UpsBatteryCaption();
    const Scale upsScale{16, 32, 5, 3};
    const Bands upsBands{3, 19, 29, BandRed, BandGreen, BandRed};
    addColumns({{"upsBattery", ups, ups, GaugeSize::WideBar, upsScale, upsBands, UpsVoltUnits(), 1,
                 QSize(280, 55), QSize(80, DisplayHeight), QSize(160, CaptionHeight), 0.24, 0.55, 0.24, 5,
                 bar, value[5], &m_upsBatteryGauge}});
    const QString signal = SignalCaption();
    const QString registration = NetworkRegistrationCaption();
    const Scale dbm{-113, -51, 3, 4};
    const Bands weakToStrong{3, -95, -85, BandRed, BandYellow, BandGreen};
    addColumns({{"signal", signal, signal, GaugeSize::WideBar, dbm, weakToStrong, DbmUnits(), 0,
                 QSize(280, 55), QSize(80, DisplayHeight), QSize(160, CaptionHeight), 0.24, 0.75, 0.24, 5,
                 bar, nullptr, &m_signalGauge}});
    m_signalDisplay = static_cast<NumericDisplay *>(m_dataDisplays.back());
    m_registrationLabel = makeWrapLabel(this, "registrationLabel", registration, {220, 34});
    QLabel *registrationCaption =
        makeCaption(this, QStringLiteral("registrationCaption"), registration, {160, CaptionHeight});
    layoutOf(this)->addColumn(m_registrationLabel, nullptr, registrationCaption,
                              {0.24, 0.92, 0.24, 10, GaugeSize::Unchanged, GaugeLook()});
    const Scale celsius{-20, 40, 7, 1};
    const Bands cold{2, 10, 40, BandRed, BandGreen, BandGreen};
    const Bands unbanded{1, 40, 40, BandGreen, BandGreen, BandGreen};
    auto sensor = [](int sensor) { return tr("Датчик температуры %1").arg(sensor); };
    const QString units = QStringLiteral(" C");
    const GaugeSize tall = GaugeSize::TallBar;
    addColumns({
        {"temperature1", sensor(1), QString(), tall, celsius, cold, units, 0, QSize(56, 192),
         QSize(56, DisplayHeight), QSize(), 0.68, 0.7, 0.8, 10, bar, value[6], &m_temperature1Gauge, 10},
        {"temperature2", sensor(2), QString(), tall, celsius, unbanded, units, 0, QSize(56, 192),
         QSize(56, DisplayHeight), QSize(), 0.76, 0.7, 0, 10, bar, value[7], nullptr, 10},
        {"temperature3", sensor(3), QString(), tall, celsius, unbanded, units, 0, QSize(56, 192),
         QSize(56, DisplayHeight), QSize(), 0.84, 0.7, 0, 10, bar, value[8], nullptr, 10},
        {"temperature4", sensor(4), QString(), tall, celsius, unbanded, units, 0, QSize(56, 192),
         QSize(56, DisplayHeight), QSize(), 0.92, 0.7, 0, 10, bar, value[9], nullptr, 10},
    });
    // One caption over the four temperature gauges.
    layoutOf(this)->setColumnCaption(m_temperature1Gauge,
                                     makeCaption(this, QStringLiteral("temperaturesCaption"),
                                                 TemperaturesCaption(), {160, CaptionHeight}));
    buildStatusColumn();
    buildMode();
}

void MeasurementPage::addColumns(std::initializer_list<ColumnDesign> designs)
{
    // All gauges first, then all numbers, then all captions: later siblings are painted over earlier ones.
    std::vector<ScaleGauge *> gauges;
    std::vector<NumericDisplay *> displays;
    for (const ColumnDesign &design : designs) {
        ScaleGauge *gauge = nullptr;
        if (design.size == GaugeSize::SmallDial || design.size == GaugeSize::LargeDial)
            gauge = new AngularGauge(this);
        else
            gauge = new LinearGauge(design.size == GaugeSize::TallBar ? Qt::Vertical : Qt::Horizontal, this);
        named(gauge, QLatin1String(design.name) + QLatin1String("Gauge"), design.role, design.gaugeSize);
        setScale(gauge, design.scale, design.bands);
        gauge->setValue(design.rest);
        if (design.kept)
            *design.kept = gauge;
        gauges.push_back(gauge);
    }
    size_t column = 0;
    for (const ColumnDesign &design : designs) {
        auto *display = named(new NumericDisplay(this), QLatin1String(design.name) + QLatin1String("Display"),
                              design.role + tr(", показание"), design.displaySize);
        display->setUnitsText(design.units);
        display->setPrecision(design.decimals);
        m_dataDisplays << display;
        if (design.value)
            m_readings.push_back({gauges[column], display, design.value});
        displays.push_back(display);
        ++column;
    }
    column = 0;
    for (const ColumnDesign &design : designs) {
        QLabel *caption = design.caption.isEmpty()
                              ? nullptr
                              : makeCaption(this, QLatin1String(design.name) + QLatin1String("Caption"),
                                            design.caption, design.captionSize);
        layoutOf(this)->addColumn(
            gauges[column], displays[column], caption,
            {design.fx, design.fy, design.captionFx, design.gap, design.size, design.look});
        ++column;
    }
}

void MeasurementPage::buildStatusColumn()
{
    // The counters and the clock top to bottom, each display under its caption.
    const struct
    {
        const char *name;
        QString caption;
        TextDisplay **display;
    } counters[] = {{"motoclock", MotoclockCaption(), &m_motoclockDisplay},
                    {"maintenance", MaintenanceCaption(), &m_maintenanceDisplay},
                    {"clock", DeviceClockCaption(), &m_clockDisplay}};
    int top = CounterTop;
    for (const auto &counter : counters) {
        const QString name = QLatin1String(counter.name);
        sideways(makeCaption(this, name + QLatin1String("Caption"), counter.caption, {}),
                 {ColumnCaptionLeft, top, ColumnCaptionWidth, CaptionHeight});
        *counter.display =
            named(new TextDisplay(this), name + QLatin1String("Display"), counter.caption, QSize());
        sideways(*counter.display, {ColumnLeft, top + CaptionHeight, ColumnWidth, DisplayHeight});
        m_dataDisplays << *counter.display;
        top += CounterPitch;
    }

    // The LEDs top to bottom, each with the flag it shows.
    using StatusFrameMap::Flag;
    const struct
    {
        const char *name;
        Flag flag;
    } column[] = {
        {"threeLineLed", Flag::ThreePhase},
        {"directStartLed", Flag::RemoteStart},
        {"smartStartLed", Flag::TestStart},
        {"generatorFrequencyLed", Flag::GeneratorFrequency},
        {"maintenanceLed", Flag::Maintenance},
        {"starterBatteryControlLed", Flag::StarterBattery},
        {"upsBatteryControlLed", Flag::UpsBattery},
        {"workSleepLed", Flag::WorkRest},
        {"testStartLed", Flag::WeeklyTest},
        {"shortLed", Flag::ShortCircuitControl},
        {"gsmActivityLed", Flag::GsmModem},
        {"thermoLed", Flag::ThermoSensor},
        {"gprsLed", Flag::Gprs},
    };
    const QList<StatusFlag> &flags = StatusFlags();
    m_flagLeds.resize(flags.size());
    int row = 0;
    for (const auto &led : column) {
        const auto flag = std::find_if(flags.cbegin(), flags.cend(),
                                       [&led](const StatusFlag &f) { return f.flag == led.flag; });
        Q_ASSERT(flag != flags.cend());
        // The list follows the flags' order, the column the page's.
        m_flagLeds[flag - flags.cbegin()] =
            makeLed(this, QLatin1String(led.name), FlagCaption(*flag),
                    {ColumnLeft, FlagTop + row++ * FlagPitch, ColumnWidth, LedHeight});
    }
}

void MeasurementPage::buildMode()
{
    const QString caption = DeviceModeCaption();
    m_stageLabel = makeWrapLabel(this, "stageLabel", caption, {220, 40});
    QLabel *modeCaption = makeCaption(this, QStringLiteral("modeCaption"), caption, {160, CaptionHeight});
    layoutOf(this)->addColumn(m_stageLabel, nullptr, modeCaption,
                              {0.18, 0.07, 0.18, 10, GaugeSize::Unchanged, GaugeLook()});
    // Three LEDs stacked 24 pixels apart around the stage label's row.
    const struct
    {
        RectLed **led;
        const char *name;
        QString caption;
        int offset;
    } modes[] = {{&m_autoLed, "autoLed", tr("Авто"), -24},
                 {&m_semiautoLed, "semiautoLed", tr("Полуавто"), 0},
                 {&m_manualLed, "manualLed", tr("Ручной"), 24}};
    for (const auto &mode : modes) {
        *mode.led = new RectLed(mode.caption, this);
        (*mode.led)->setObjectName(QLatin1String(mode.name));
        layoutOf(this)->add(*mode.led, {0, 0, 80, LedHeight},
                            [offset = mode.offset](const PageLayout::Frame &f, const QRect &r) {
                                const int modeRow = RoundHalfEven(f.H * 0.07);
                                return QRect(f.centredLeft(r.width(), 0.4),
                                             modeRow - half(r.height()) + offset, r.width(), r.height());
                            });
    }
}

void MeasurementPage::showNoData()
{
    for (ScaleGauge *gauge : {m_phaseAGauge, m_phaseBGauge, m_phaseCGauge, m_generatorGauge,
                              m_starterBatteryGauge, m_signalGauge, m_upsBatteryGauge, m_temperature1Gauge})
        gauge->setValue(0);
    for (LcdPanel *display : m_dataDisplays)
        display->setErrorActive(true);
    m_stageLabel->setCaption(QString());
    m_registrationLabel->setCaption(QString());
}

void MeasurementPage::showMode(const TelemetryRecord &record)
{
    const ModeDisplay mode = ModeDisplayFor(record);
    if (mode == ModeDisplay::Unchanged)
        return;
    if (mode == ModeDisplay::Manual) {
        m_autoLed->setActive(false);
        m_semiautoLed->setActive(false);
        m_manualLed->setActive(true);
    } else {
        const bool semiauto = mode == ModeDisplay::Semiauto;
        // setActive mirrors the device's state without sending a mode command back.
        m_autoLed->setActive(!semiauto);
        m_semiautoLed->setActive(semiauto);
        m_manualLed->setActive(false);
        Q_EMIT automaticModeShown(semiauto);
    }
    if (const std::optional<QString> caption = StatusCaption(record))
        m_stageLabel->setCaption(*caption);

    switch (GeneratorBlinkEffectFor(record)) {
    case GeneratorBlinkEffect::Start:
        m_generatorBlink = true;
        break;
    case GeneratorBlinkEffect::Stop:
        m_generatorGauge->setPointerColor(Blue);
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

    m_clockDisplay->setText(ClockText(record));
    for (const Reading &reading : m_readings) {
        const double value = reading.value(record);
        reading.gauge->setValue(value);
        reading.display->setValue(value);
    }

    m_motoclockDisplay->setText(HoursMinutesText(record.MotoclockMinutes));
    m_maintenanceDisplay->setText(HoursMinutesText(record.MaintenanceMinutes));

    const std::optional<int> dbm = ShownSignalDbm(record.SignalQuality);
    // An unknown level shows as before the first frame, not as the weakest.
    m_signalGauge->setValue(dbm.value_or(0));
    if (dbm)
        m_signalDisplay->setValue(*dbm);
    m_signalDisplay->setErrorActive(!dbm);

    if (const std::optional<QString> caption = RegistrationCaption(record.Registration))
        m_registrationLabel->setCaption(*caption);

    const QList<StatusFlag> &flags = StatusFlags();
    for (int i = 0; i < flags.size(); ++i)
        m_flagLeds[i]->setActive(IsFlagSet(record, flags[i]));
}

void MeasurementPage::blinkStep()
{
    if (!m_generatorBlink)
        return;
    m_generatorGauge->setPointerColor(m_generatorGauge->pointerColor() == Yellow ? Red : Yellow);
}

void MeasurementPage::ShowThresholdsOnGauges(const ConfigImageBytes &image)
{
    const GaugeThresholds t = ThresholdsFromImage(image);
    m_generatorGauge->setLowAlarm(t.generatorLow);
    m_generatorGauge->setHighAlarm(t.generatorHigh);
    for (ScaleGauge *phase : {m_phaseAGauge, m_phaseBGauge, m_phaseCGauge}) {
        phase->setLowAlarm(t.mainsLow);
        phase->setHighAlarm(t.mainsHigh);
    }
    m_temperature1Gauge->setLowAlarm(t.temperatureLow);
    m_starterBatteryGauge->setLowAlarm(t.starterBatteryLow);
    m_upsBatteryGauge->setLowAlarm(t.upsLow);
    m_upsBatteryGauge->setHighAlarm(t.upsHigh);
    if (t.upsScale) {
        m_upsBatteryGauge->setMinimum(t.upsScale->minimum);
        m_upsBatteryGauge->setMaximum(t.upsScale->maximum);
    }
}

} // namespace gencfg
