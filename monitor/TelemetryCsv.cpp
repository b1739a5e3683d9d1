#include "monitor/TelemetryCsv.h"

#include "monitor/MeasurementTexts.h"

#include <QDateTime>
#include <QStringList>

namespace gencfg {

namespace {

// The file is read by scripts and spreadsheets: its texts stay Russian whatever the window shows.
constexpr TextUse Stored = TextUse::Stored;

// One line, quoted when it holds a separator or a quote.
QString field(const QString &caption)
{
    QString text = OneLineCaption(caption);
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')))
        return text;
    return QLatin1Char('"') + text.replace(QLatin1String("\""), QLatin1String("\"\"")) + QLatin1Char('"');
}

QString withUnits(const QString &name, const QString &units)
{
    return name + QStringLiteral(" (") + units + QLatin1Char(')');
}

QString volts(quint16 tenths)
{
    return QString::number(TenthsToVolts(tenths), 'f', 1);
}

} // namespace

QString TelemetryCsvHeader()
{
    const QString volt = VoltUnits(Stored);
    const QString degrees = QStringLiteral("°C");
    QStringList names{QStringLiteral("Время"),
                      withUnits(PhaseACaption(Stored), volt),
                      withUnits(PhaseBCaption(Stored), volt),
                      withUnits(PhaseCCaption(Stored), volt),
                      withUnits(GeneratorPhaseCaption(Stored), volt),
                      withUnits(StarterBatteryCaption(Stored), volt),
                      withUnits(UpsBatteryCaption(Stored), volt)};
    for (int sensor = 1; sensor <= 4; ++sensor)
        names << withUnits(QStringLiteral("Температура %1").arg(sensor), degrees);
    names << withUnits(SignalCaption(Stored), DbmUnits(Stored))
          << withUnits(MotoclockCaption(Stored), QStringLiteral("мин")) << QStringLiteral("Режим")
          << QStringLiteral("Этап или авария") << DeviceModeCaption(Stored);
    for (const StatusFlag &flag : StatusFlags())
        names << flag.caption;
    for (QString &name : names)
        name = field(name);
    return names.join(QLatin1Char(','));
}

QString CsvTime(qint64 msecs)
{
    const QDateTime local = QDateTime::fromMSecsSinceEpoch(msecs);
    return local.toOffsetFromUtc(local.offsetFromUtc()).toString(Qt::ISODateWithMs);
}

QString TelemetryCsvRow(qint64 msecs, const TelemetryRecord &r)
{
    QStringList cells{CsvTime(msecs),
                      QString::number(r.VoltageA),
                      QString::number(r.VoltageB),
                      QString::number(r.VoltageC),
                      QString::number(r.VoltageGU),
                      volts(r.AccVoltage),
                      volts(r.UpsVoltage),
                      QString::number(r.Temperature1),
                      QString::number(r.Temperature2),
                      QString::number(r.Temperature3),
                      QString::number(r.Temperature4),
                      QString::number(SignalDbm(r.SignalQuality)),
                      QString::number(r.MotoclockMinutes),
                      QString::number(r.Mode),
                      QString::number(r.Stage),
                      field(StatusCaption(r, Stored).value_or(QString()))};
    for (const StatusFlag &flag : StatusFlags())
        cells << (IsFlagSet(r, flag) ? QStringLiteral("1") : QStringLiteral("0"));
    return cells.join(QLatin1Char(','));
}

QByteArray TelemetryCsv(const TelemetryLog &log, int first, int last)
{
    QString text = TelemetryCsvHeader() + CsvLineEnd;
    for (int i = qMax(0, first); i < qMin(last, log.size()); ++i)
        text += TelemetryCsvRow(log.at(i).msecs, log.at(i).record) + CsvLineEnd;
    return text.toUtf8();
}

} // namespace gencfg
