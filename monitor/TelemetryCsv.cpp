#include "monitor/TelemetryCsv.h"

#include "monitor/MeasurementTexts.h"
#include "monitor/NumberText.h"

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

qint64 FloorMod(qint64 value, qint64 divisor)
{
    const qint64 rest = value % divisor;
    return rest < 0 ? rest + divisor : rest;
}

// Tenths of a volt with one decimal, as QString::number(volts, 'f', 1) writes them.
void AppendTenths(QByteArray &out, quint16 tenths)
{
    AppendDecimal(out, tenths / 10);
    out.append('.').append(char('0' + tenths % 10));
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
    QByteArray row;
    TelemetryCsvWriter().appendRow(row, msecs, r);
    return QString::fromUtf8(row);
}

void TelemetryCsvWriter::appendRow(QByteArray &out, qint64 msecs, const TelemetryRecord &r)
{
    appendTime(out, msecs);
    for (const qint64 number :
         {qint64(r.VoltageA), qint64(r.VoltageB), qint64(r.VoltageC), qint64(r.VoltageGU)})
        AppendDecimal(out.append(','), number);
    for (const quint16 tenths : {r.AccVoltage, r.UpsVoltage})
        AppendTenths(out.append(','), tenths);
    for (const qint64 number :
         {qint64(r.Temperature1), qint64(r.Temperature2), qint64(r.Temperature3), qint64(r.Temperature4),
          qint64(SignalDbm(r.SignalQuality)), qint64(r.MotoclockMinutes), qint64(r.Mode), qint64(r.Stage)})
        AppendDecimal(out.append(','), number);
    out.append(',');
    appendStatus(out, r);
    for (const StatusFlag &flag : StatusFlags())
        out.append(IsFlagSet(r, flag) ? ",1" : ",0");
}

void TelemetryCsvWriter::appendTime(QByteArray &out, qint64 msecs)
{
    const qint64 second = msecs - FloorMod(msecs, 1000);
    if (!m_haveMinute || second < m_minuteStart || second >= m_minuteStart + 60000) {
        m_haveMinute = false;
        m_minuteText = CsvTime(msecs).toUtf8();
        // "yyyy-MM-ddTHH:mm:ss.zzz" then the offset; any other shape is written as it comes.
        m_secondsAt = int(m_minuteText.indexOf('T')) + 7;
        if (m_secondsAt != 17 || m_minuteText.size() < 23 || m_minuteText.at(19) != '.') {
            out += m_minuteText;
            return;
        }
        const int seconds = (m_minuteText.at(17) - '0') * 10 + (m_minuteText.at(18) - '0');
        m_minuteStart = second - 1000 * seconds;
        // The minute is reused only where its offset holds from its first to its last millisecond.
        const auto offsetAt = [](qint64 at) { return QDateTime::fromMSecsSinceEpoch(at).offsetFromUtc(); };
        m_haveMinute = offsetAt(m_minuteStart) == offsetAt(m_minuteStart + 59999);
        if (!m_haveMinute) {
            out += m_minuteText;
            return;
        }
    }
    const int seconds = int((second - m_minuteStart) / 1000);
    const int ms = int(msecs - second);
    char *digits = m_minuteText.data() + m_secondsAt;
    digits[0] = char('0' + seconds / 10);
    digits[1] = char('0' + seconds % 10);
    digits[3] = char('0' + ms / 100);
    digits[4] = char('0' + ms / 10 % 10);
    digits[5] = char('0' + ms % 10);
    out += m_minuteText;
}

void TelemetryCsvWriter::appendStatus(QByteArray &out, const TelemetryRecord &r)
{
    if (!m_haveStatus || r.Mode != m_statusMode || r.Stage != m_statusStage ||
        r.StageTimer != m_statusTimer) {
        m_statusText = field(StatusCaption(r, Stored).value_or(QString())).toUtf8();
        m_statusMode = r.Mode;
        m_statusStage = r.Stage;
        m_statusTimer = r.StageTimer;
        m_haveStatus = true;
    }
    out += m_statusText;
}

QByteArray TelemetryCsv(const TelemetryLog &log, int first, int last)
{
    QString text = TelemetryCsvHeader() + CsvLineEnd;
    for (int i = qMax(0, first); i < qMin(last, log.size()); ++i)
        text += TelemetryCsvRow(log.at(i).msecs, log.at(i).record) + CsvLineEnd;
    return text.toUtf8();
}

} // namespace gencfg
