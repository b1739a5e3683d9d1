#include "monitor/ui/MeasurementPage.h"
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
    setObjectName(QStringLiteral("TabSheet1"));
    buildVoltages();
    buildBatteries();
    buildModem();
    buildTemperatures();
    buildStatusColumn();
    buildMode();

    m_dataDisplays = {iDigital_A,
                      iDigital_B,
                      iDigital_C,
                      iDigital_GU,
                      iDigital_ACC,
                      iEdit_Motoclock,
                      iDigital_SignalStrength,
                      iEdit_TO,
                      iDigital_Temperature,
                      iDigital_Temperature2,
                      iDigital_Temperature3,
                      iDigital_Temperature4,
                      iDigital_UPS,
                      iEdit_Time};
}

void MeasurementPage::buildVoltages()
{
    const QString captions[] = {PhaseACaption(), PhaseBCaption(), PhaseCCaption(), GeneratorPhaseCaption()};
    const QString reading = tr(", показание");
    iAnalog_A = makeDial(this, "iAnalog_A", captions[0], {1, 102, 126, 126});
    iAnalog_B = makeDial(this, "iAnalog_B", captions[1], {129, 102, 126, 126});
    iAnalog_C = makeDial(this, "iAnalog_C", captions[2], {257, 102, 126, 126});
    iAnalog_GU = makeDial(this, "iAnalog_GU", captions[3], {488, 50, 176, 176});
    const QString volts = VoltUnits();
    iDigital_A =
        makeNumber(this, "iDigital_A", captions[0] + reading, volts, 0, {29, 227, 70, DisplayHeight});
    iDigital_B =
        makeNumber(this, "iDigital_B", captions[1] + reading, volts, 0, {157, 227, 70, DisplayHeight});
    iDigital_C =
        makeNumber(this, "iDigital_C", captions[2] + reading, volts, 0, {285, 227, 70, DisplayHeight});
    iDigital_GU =
        makeNumber(this, "iDigital_GU", captions[3] + reading, volts, 0, {536, 225, 80, DisplayHeight});
    Label1 = makeCaption(this, "Label1", captions[0], {14, 85, 100, CaptionHeight});
    Label2 = makeCaption(this, "Label2", captions[1], {142, 85, 100, CaptionHeight});
    Label3 = makeCaption(this, "Label3", captions[2], {270, 85, 100, CaptionHeight});
    Label4 = makeCaption(this, "Label4", captions[3], {526, 33, 100, CaptionHeight});
}

void MeasurementPage::buildBatteries()
{
    const QString acc = StarterBatteryCaption();
    const QString ups = UpsBatteryCaption();
    const QString reading = tr(", показание");

    iAnalog_ACC = makeBar(this, "iAnalog_ACC", acc, Qt::Vertical, {708, 36, 56, 192});
    design(iAnalog_ACC, {6, 16, 6, 1}, {2, 8, 16, BandRed, BandGreen, BandGreen});
    iDigital_ACC =
        makeNumber(this, "iDigital_ACC", acc + reading, VoltUnits(), 1, {703, 227, 66, DisplayHeight});
    Label5 = makeCaption(this, "Label5", acc, {676, 19, 120, CaptionHeight});

    iAnalog_UPS = makeBar(this, "iAnalog_UPS", ups, Qt::Horizontal, {52, 274, 280, 55});
    design(iAnalog_UPS, {16, 32, 5, 3}, {3, 19, 29, BandRed, BandGreen, BandRed});
    iDigital_UPS =
        makeNumber(this, "iDigital_UPS", ups + reading, UpsVoltUnits(), 1, {152, 329, 80, DisplayHeight});
    Label17 = makeCaption(this, "Label17", ups, {112, 262, 160, CaptionHeight});
}

void MeasurementPage::buildModem()
{
    const QString signal = SignalCaption();
    const QString registration = NetworkRegistrationCaption();

    iAnalog_SignalStrength =
        makeBar(this, "iAnalog_SignalStrength", signal, Qt::Horizontal, {52, 384, 280, 55});
    design(iAnalog_SignalStrength, {-113, -51, 3, 4}, {3, -95, -85, BandRed, BandYellow, BandGreen});
    iDigital_SignalStrength = makeNumber(this, "iDigital_SignalStrength", signal + tr(", показание"),
                                         DbmUnits(), 0, {152, 439, 80, DisplayHeight});
    Label8 = makeCaption(this, "Label8", signal, {112, 372, 160, CaptionHeight});

    iLabel_Carrier = makeWrapLabel(this, "iLabel_Carrier", registration, {82, 489, 220, 34});
    Label9 = makeCaption(this, "Label9", registration, {112, 472, 160, CaptionHeight});
}

void MeasurementPage::buildTemperatures()
{
    const QString caption = TemperaturesCaption();
    const QString units = QStringLiteral(" C");
    auto role = [](int sensor) { return tr("Датчик температуры %1").arg(sensor); };
    auto reading = [&role](int sensor) { return role(sensor) + tr(", показание"); };
    const Scale scale{-20, 40, 7, 1};

    iAnalog_Temperature = makeBar(this, "iAnalog_Temperature", role(1), Qt::Vertical, {516, 289, 56, 192});
    iAnalog_Temperature2 = makeBar(this, "iAnalog_Temperature2", role(2), Qt::Vertical, {580, 289, 56, 192});
    iAnalog_Temperature3 = makeBar(this, "iAnalog_Temperature3", role(3), Qt::Vertical, {644, 289, 56, 192});
    iAnalog_Temperature4 = makeBar(this, "iAnalog_Temperature4", role(4), Qt::Vertical, {708, 289, 56, 192});
    design(iAnalog_Temperature, scale, {2, 10, 40, BandRed, BandGreen, BandGreen});
    for (LinearGauge *gauge : {iAnalog_Temperature2, iAnalog_Temperature3, iAnalog_Temperature4})
        design(gauge, scale, {1, 40, 40, BandGreen, BandGreen, BandGreen});
    for (LinearGauge *gauge :
         {iAnalog_Temperature, iAnalog_Temperature2, iAnalog_Temperature3, iAnalog_Temperature4})
        gauge->setPosition(10);

    iDigital_Temperature =
        makeNumber(this, "iDigital_Temperature", reading(1), units, 0, {516, 480, 56, DisplayHeight});
    iDigital_Temperature2 =
        makeNumber(this, "iDigital_Temperature2", reading(2), units, 0, {580, 480, 56, DisplayHeight});
    iDigital_Temperature3 =
        makeNumber(this, "iDigital_Temperature3", reading(3), units, 0, {644, 480, 56, DisplayHeight});
    iDigital_Temperature4 =
        makeNumber(this, "iDigital_Temperature4", reading(4), units, 0, {708, 480, 56, DisplayHeight});
    Label11 = makeCaption(this, "Label11", caption, {560, 272, 160, CaptionHeight});
}

void MeasurementPage::buildStatusColumn()
{
    const QString motoclock = MotoclockCaption();
    const QString maintenance = MaintenanceCaption();
    const QString time = DeviceClockCaption();
    Label6 =
        makeCaption(this, "Label6", motoclock, {ColumnCaptionLeft, 2, ColumnCaptionWidth, CaptionHeight});
    iEdit_Motoclock =
        makeText(this, "iEdit_Motoclock", motoclock, {ColumnLeft, 16, ColumnWidth, DisplayHeight});
    Label7 =
        makeCaption(this, "Label7", maintenance, {ColumnCaptionLeft, 41, ColumnCaptionWidth, CaptionHeight});
    iEdit_TO = makeText(this, "iEdit_TO", maintenance, {ColumnLeft, 55, ColumnWidth, DisplayHeight});
    Label18 = makeCaption(this, "Label18", time, {ColumnCaptionLeft, 80, ColumnCaptionWidth, CaptionHeight});
    iEdit_Time = makeText(this, "iEdit_Time", time, {ColumnLeft, 94, ColumnWidth, DisplayHeight});

    RectLed **const columnOrder[] = {
        &iLed_THREE_LINE_FLAG,
        &iLed_DIRECT_START_FLAG,
        &iLed_SMART_START_FLAG,
        &iLed_GU_FREQ_FLAG,
        &iLed_TO_FLAG,
        &iLed_ACC_VOLTAGE_CONTROL_FLAG,
        &iLed_UPS_VOLTAGE_CONTROL_FLAG,
        &iLed_WORK_SLEEP_FLAG,
        &iLed_TEST_START_FLAG,
        &iLed_SHORT_FLAG,
        &iLed_GSM_ACTIVITY_FLAG,
        &iLed_THERMO_FLAG,
        &iLed_GPRS_FLAG,
    };
    const char *const columnNames[] = {
        "iLed_THREE_LINE_FLAG",
        "iLed_DIRECT_START_FLAG",
        "iLed_SMART_START_FLAG",
        "iLed_GU_FREQ_FLAG",
        "iLed_TO_FLAG",
        "iLed_ACC_VOLTAGE_CONTROL_FLAG",
        "iLed_UPS_VOLTAGE_CONTROL_FLAG",
        "iLed_WORK_SLEEP_FLAG",
        "iLed_TEST_START_FLAG",
        "iLed_SHORT_FLAG",
        "iLed_GSM_ACTIVITY_FLAG",
        "iLed_THERMO_FLAG",
        "iLed_GPRS_FLAG",
    };
    const QList<StatusFlag> &flags = StatusFlags();
    int row = 0;
    for (RectLed **member : columnOrder) {
        const QString name = QLatin1String(columnNames[row]);
        const auto flag = std::find_if(flags.cbegin(), flags.cend(),
                                       [&name](const StatusFlag &f) { return f.ledName == name; });
        Q_ASSERT(flag != flags.cend());
        *member = makeLed(this, name, FlagCaption(*flag),
                          {ColumnLeft, FlagTop + row * FlagPitch, ColumnWidth, LedHeight});
        ++row;
    }
    for (const StatusFlag &flag : flags)
        m_flagLeds.append(findChild<RectLed *>(flag.ledName, Qt::FindDirectChildrenOnly));
}

void MeasurementPage::buildMode()
{
    const QString caption = DeviceModeCaption();
    iLabel_Status = makeWrapLabel(this, "iLabel_Status", caption, {34, 18, 220, 40});
    Label10 = makeCaption(this, "Label10", caption, {64, 1, 160, CaptionHeight});
    iLed_Auto = makeLed(this, QStringLiteral("iLed_Auto"), tr("Авто"), {280, 4, 80, LedHeight});
    iLed_Semiauto = makeLed(this, QStringLiteral("iLed_Semiauto"), tr("Полуавто"), {280, 28, 80, LedHeight});
    iLed_Manual = makeLed(this, QStringLiteral("iLed_Manual"), tr("Ручной"), {280, 52, 80, LedHeight});
}

void MeasurementPage::ResetMeasurementDisplays()
{
    for (ScaleGauge *gauge :
         std::initializer_list<ScaleGauge *>{iAnalog_A, iAnalog_B, iAnalog_C, iAnalog_GU, iAnalog_ACC,
                                             iAnalog_SignalStrength, iAnalog_UPS, iAnalog_Temperature})
        gauge->setPosition(0);
    for (LcdPanel *display : m_dataDisplays)
        display->setErrorActive(true);
    iLabel_Status->setCaption(QString());
    iLabel_Carrier->setCaption(QString());
}

void MeasurementPage::ClearDisplayErrors()
{
    for (LcdPanel *display : m_dataDisplays)
        display->setErrorActive(false);
}

void MeasurementPage::DecodeStatusFrame(const RxBuffer &rxBytes)
{
    m_record = gencfg::DecodeStatusFrame(rxBytes);
}

void MeasurementPage::showMode()
{
    const ModeDisplay mode = ModeDisplayFor(m_record);
    if (mode == ModeDisplay::Unchanged)
        return;
    if (mode == ModeDisplay::Manual) {
        iLed_Auto->setActive(false);
        iLed_Semiauto->setActive(false);
        iLed_Manual->setActive(true);
    } else {
        const bool semiauto = mode == ModeDisplay::Semiauto;
        // setActive mirrors the device's state without sending a mode command back.
        iLed_Auto->setActive(!semiauto);
        iLed_Semiauto->setActive(semiauto);
        iLed_Manual->setActive(false);
        Q_EMIT automaticModeShown(semiauto);
    }
    if (const std::optional<QString> caption = StatusCaption(m_record))
        iLabel_Status->setCaption(*caption);

    switch (GeneratorBlinkEffectFor(m_record)) {
    case GeneratorBlinkEffect::Start:
        GeneratorBlink = true;
        break;
    case GeneratorBlinkEffect::Stop:
        iAnalog_GU->setPointerColor(Blue);
        GeneratorBlink = false;
        break;
    case GeneratorBlinkEffect::None:
        break;
    }
}

void MeasurementPage::ShowTelemetry()
{
    showMode();

    iEdit_Time->setText(ClockText(m_record));

    iAnalog_GU->setPosition(m_record.VoltageGU);
    iAnalog_A->setPosition(m_record.VoltageA);
    iAnalog_B->setPosition(m_record.VoltageB);
    iAnalog_C->setPosition(m_record.VoltageC);
    iDigital_GU->setValue(m_record.VoltageGU);
    iDigital_A->setValue(m_record.VoltageA);
    iDigital_B->setValue(m_record.VoltageB);
    iDigital_C->setValue(m_record.VoltageC);

    const double acc = TenthsToVolts(m_record.AccVoltage);
    iAnalog_ACC->setPosition(acc);
    iDigital_ACC->setValue(acc);
    const double ups = TenthsToVolts(m_record.UpsVoltage);
    iAnalog_UPS->setPosition(ups);
    iDigital_UPS->setValue(ups);

    iEdit_Motoclock->setText(HoursMinutesText(m_record.MotoclockMinutes));
    iEdit_TO->setText(HoursMinutesText(m_record.MaintenanceMinutes));

    const std::optional<int> dbm = ShownSignalDbm(m_record.SignalQuality);
    m_record.SignalQuality = UsableSignalQuality(m_record.SignalQuality);
    // An unknown level shows as before the first frame, not as the weakest.
    iAnalog_SignalStrength->setPosition(dbm.value_or(0));
    if (dbm)
        iDigital_SignalStrength->setValue(*dbm);
    iDigital_SignalStrength->setErrorActive(!dbm);

    if (const std::optional<QString> caption = RegistrationCaption(m_record.Registration))
        iLabel_Carrier->setCaption(*caption);

    iAnalog_Temperature->setPosition(m_record.Temperature1);
    iDigital_Temperature->setValue(m_record.Temperature1);
    iAnalog_Temperature2->setPosition(m_record.Temperature2);
    iDigital_Temperature2->setValue(m_record.Temperature2);
    iAnalog_Temperature3->setPosition(m_record.Temperature3);
    iDigital_Temperature3->setValue(m_record.Temperature3);
    iAnalog_Temperature4->setPosition(m_record.Temperature4);
    iDigital_Temperature4->setValue(m_record.Temperature4);

    const QList<StatusFlag> &flags = StatusFlags();
    for (int i = 0; i < flags.size(); ++i)
        m_flagLeds[i]->setActive(IsFlagSet(m_record, flags[i]));
}

void MeasurementPage::Timer3Timer()
{
    if (!GeneratorBlink)
        return;
    iAnalog_GU->setPointerColor(iAnalog_GU->pointerColor() == Yellow ? Red : Yellow);
}

void MeasurementPage::ShowThresholdsOnGauges(const ConfigImageBytes &image)
{
    const GaugeThresholds t = ThresholdsFromImage(image);
    iAnalog_GU->setSectionEnd1(t.generatorLow);
    iAnalog_GU->setSectionEnd2(t.generatorHigh);
    for (AngularGauge *phase : {iAnalog_A, iAnalog_B, iAnalog_C}) {
        phase->setSectionEnd1(t.mainsLow);
        phase->setSectionEnd2(t.mainsHigh);
    }
    iAnalog_Temperature->setSectionEnd1(t.temperatureLow);
    iAnalog_ACC->setSectionEnd1(t.starterBatteryLow);
    iAnalog_UPS->setSectionEnd1(t.upsLow);
    iAnalog_UPS->setSectionEnd2(t.upsHigh);
    if (t.upsScale) {
        iAnalog_UPS->setPositionMin(t.upsScale->PositionMin);
        iAnalog_UPS->setPositionMax(t.upsScale->PositionMax);
    }
}

} // namespace gencfg
