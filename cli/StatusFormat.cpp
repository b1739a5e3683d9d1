#include "cli/StatusFormat.h"

#include "config/Catalogue.h"
#include "link/Commands.h"
#include "link/FrameCodec.h"
#include "monitor/MeasurementTexts.h"

#include <QJsonArray>
#include <cmath>

namespace gencfg::cli {

namespace {

QJsonValue optionalText(const std::optional<QString> &text)
{
    return text ? QJsonValue(ShownCaption(*text)) : QJsonValue(QJsonValue::Null);
}

double volts(double value)
{
    return std::round(value * 10.0) / 10.0;
}

// What a display of the page shows without a reading.
const QString NoDataText = QStringLiteral("---");

// As the page's numeric displays show a value: fixed decimals, then the units text.
QString display(double value, int decimals, const QString &units)
{
    return QString::number(value, 'f', decimals) + units;
}

QString variantCaption(quint8 code)
{
    const std::optional<DeviceVariant> variant = VariantFromCode(code);
    return variant ? VariantTitle(*variant).trimmed() : QStringLiteral("? (%1)").arg(code);
}

} // namespace

QString VariantName(quint8 code)
{
    switch (code) {
    case quint8(DeviceVariant::Petrol):
        return QStringLiteral("petrol");
    case quint8(DeviceVariant::Diesel):
        return QStringLiteral("diesel");
    case quint8(DeviceVariant::DryContact):
        return QStringLiteral("dry");
    default:
        return {};
    }
}

QString ShownCaption(const QString &stored)
{
    QString text = stored;
    text.replace(QLatin1String("\n\r"), QLatin1String("\n"));
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.remove(QLatin1Char('\r'));
    return text;
}

QJsonObject StatusJson(const TelemetryRecord &r)
{
    const QString variant = VariantName(r.VariantCode);
    QJsonObject flags;
    for (const StatusFlag &flag : StatusFlags())
        flags.insert(flag.key, IsFlagSet(r, flag));
    const std::optional<int> signal = ShownSignalDbm(r.SignalQuality);
    QJsonObject status{
        {QStringLiteral("variant"), variant.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(variant)},
        {QStringLiteral("mode"), r.Mode},
        {QStringLiteral("semiauto"), bool((r.Flags1 >> SemiautoFlagBit) & 1)},
        {QStringLiteral("stage"), r.Stage},
        {QStringLiteral("stage_timer"), r.StageTimer},
        {QStringLiteral("status_text"), optionalText(StatusCaption(r))},
        {QStringLiteral("voltage_gu"), volts(r.VoltageGU)},
        {QStringLiteral("voltage_a"), volts(r.VoltageA)},
        {QStringLiteral("voltage_b"), volts(r.VoltageB)},
        {QStringLiteral("voltage_c"), volts(r.VoltageC)},
        {QStringLiteral("acc_voltage"), volts(TenthsToVolts(r.AccVoltage))},
        {QStringLiteral("ups_voltage"), volts(TenthsToVolts(r.UpsVoltage))},
        {QStringLiteral("motoclock_minutes"), qint64(r.MotoclockMinutes)},
        {QStringLiteral("maintenance_minutes"), r.MaintenanceMinutes},
        {QStringLiteral("clock"), IsClockValid(r) ? QJsonValue(ClockText(r)) : QJsonValue(QJsonValue::Null)},
        {QStringLiteral("signal_dbm"), signal ? QJsonValue(*signal) : QJsonValue(QJsonValue::Null)},
        {QStringLiteral("registration"), r.Registration},
        {QStringLiteral("registration_text"), optionalText(RegistrationCaption(r.Registration))},
        {QStringLiteral("temperatures"),
         QJsonArray{r.Temperature1, r.Temperature2, r.Temperature3, r.Temperature4}},
        {QStringLiteral("flags"), flags},
    };
    // The bytes behind a clock that is no valid time, as received.
    if (!IsClockValid(r))
        status.insert(QStringLiteral("clock_raw"),
                      QString::fromLatin1(ByteToHexPair(r.ClockHours) + ByteToHexPair(r.ClockMinutes) +
                                          ByteToHexPair(r.ClockSeconds)));
    return status;
}

QString StatusText(const TelemetryRecord &r, ShownTexts &shown)
{
    if (const std::optional<QString> status = StatusCaption(r))
        shown.status = OneLineCaption(*status);
    if (const ModeDisplay mode = ModeDisplayFor(r); mode != ModeDisplay::Unchanged)
        shown.mode = ModeDisplayCaption(mode);
    if (const std::optional<QString> registration = RegistrationCaption(r.Registration))
        shown.registration = OneLineCaption(*registration);

    const QString volt = VoltUnits();
    const QString degrees = QStringLiteral(" C");
    const std::optional<int> signal = ShownSignalDbm(r.SignalQuality);
    const QList<QPair<QString, QString>> rows = {
        {QStringLiteral("Вариант"), variantCaption(r.VariantCode)},
        {DeviceModeCaption(), shown.status},
        {QStringLiteral("Режим"), shown.mode},
        {GeneratorPhaseCaption(), display(r.VoltageGU, 0, volt)},
        {PhaseACaption(), display(r.VoltageA, 0, volt)},
        {PhaseBCaption(), display(r.VoltageB, 0, volt)},
        {PhaseCCaption(), display(r.VoltageC, 0, volt)},
        {StarterBatteryCaption(), display(TenthsToVolts(r.AccVoltage), 1, volt)},
        {UpsBatteryCaption(), display(TenthsToVolts(r.UpsVoltage), 1, UpsVoltUnits())},
        {MotoclockCaption(), HoursMinutesText(r.MotoclockMinutes)},
        {MaintenanceCaption(), HoursMinutesText(r.MaintenanceMinutes)},
        {DeviceClockCaption(), ClockText(r)},
        {SignalCaption(), signal ? display(*signal, 0, DbmUnits()) : NoDataText},
        {NetworkRegistrationCaption(), shown.registration},
        {TemperaturesCaption(),
         QStringList{display(r.Temperature1, 0, degrees), display(r.Temperature2, 0, degrees),
                     display(r.Temperature3, 0, degrees), display(r.Temperature4, 0, degrees)}
             .join(QStringLiteral(", "))},
    };
    QString text;
    for (const auto &[caption, value] : rows)
        text += caption + QLatin1Char(':') + (value.isEmpty() ? QString() : QLatin1Char(' ') + value) +
                QLatin1Char('\n');
    text += QStringLiteral("Флаги:\n");
    for (const StatusFlag &flag : StatusFlags()) {
        text += QStringLiteral("  [%1] %2 (%3)\n")
                    .arg(IsFlagSet(r, flag) ? QLatin1Char('x') : QLatin1Char(' '))
                    .arg(flag.key, flag.caption);
    }
    return text;
}

} // namespace gencfg::cli
