#include "monitor/TelemetryJson.h"

#include "config/Catalogue.h"
#include "link/FrameCodec.h"

#include <QJsonArray>
#include <cmath>

namespace gencfg {

namespace {

QJsonValue optionalText(const std::optional<QString> &text)
{
    return text ? QJsonValue(ShownCaption(*text)) : QJsonValue(QJsonValue::Null);
}

double volts(double value)
{
    return std::round(value * 10.0) / 10.0;
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

} // namespace gencfg
