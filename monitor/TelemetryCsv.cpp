#include "monitor/TelemetryCsv.h"

#include "config/FileWriting.h"
#include "monitor/MeasurementTexts.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QStringList>

namespace gencfg {

namespace {

// The file is read by scripts and spreadsheets: its texts stay Russian whatever the window shows.
constexpr TextUse Stored = TextUse::Stored;

const QString LineEnd = QStringLiteral("\r\n");

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
    QString text = TelemetryCsvHeader() + LineEnd;
    for (int i = qMax(0, first); i < qMin(last, log.size()); ++i)
        text += TelemetryCsvRow(log.at(i).msecs, log.at(i).record) + LineEnd;
    return text.toUtf8();
}

QString TelemetryCsvFile::open(const QString &path)
{
    close();
    // Opening a pipe would wait for a reader forever; a device would swallow the rows.
    if (const QString refusal = WriteTargetRefusal(path); !refusal.isEmpty())
        return refusal;
    if (!m_file.open(path))
        return QCoreApplication::translate("TelemetryCsv", "Не удалось открыть файл записи %1: %2")
            .arg(path, m_file.errorString());
    if (m_file.size() == 0)
        return writeLine(TelemetryCsvHeader());
    return {};
}

QString TelemetryCsvFile::append(qint64 msecs, const TelemetryRecord &record)
{
    return writeLine(TelemetryCsvRow(msecs, record));
}

QString TelemetryCsvFile::writeLine(const QString &line)
{
    if (m_file.append((line + LineEnd).toUtf8()))
        return {};
    return QCoreApplication::translate("TelemetryCsv", "Не удалось записать в файл записи %1: %2")
        .arg(m_file.fileName(), m_file.errorString());
}

void TelemetryCsvFile::close()
{
    m_file.close();
}

} // namespace gencfg
