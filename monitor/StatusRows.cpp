#include "monitor/StatusRows.h"

#include "config/Catalogue.h"
#include "monitor/MeasurementTexts.h"

#include <QCoreApplication>

namespace gencfg {

namespace {

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

QList<QPair<QString, QString>> StatusRows(const TelemetryRecord &r, ShownTexts &shown)
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
    return {
        {QCoreApplication::translate("StatusRows", "Вариант"), variantCaption(r.VariantCode)},
        {DeviceModeCaption(), shown.status},
        {QCoreApplication::translate("StatusRows", "Режим"), shown.mode},
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
}

QString FlagWords(const TelemetryRecord &record)
{
    QStringList words;
    for (const StatusFlag &flag : StatusFlags())
        words << (IsFlagSet(record, flag) ? QStringLiteral("☑ ") : QStringLiteral("☐ ")) +
                     OneLineCaption(FlagCaption(flag));
    return words.join(QStringLiteral(", "));
}

} // namespace gencfg
