#include "monitor/TelemetryJson.h"

#include "config/Catalogue.h"
#include "link/FrameCodec.h"
#include "monitor/NumberText.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <algorithm>

namespace gencfg {

namespace {

// Tenths of a volt as the shortest decimal of the volts, as QJsonDocument writes the double.
void AppendVolts(QByteArray &out, quint16 tenths)
{
    AppendDecimal(out, tenths / 10);
    if (tenths % 10 != 0)
        out.append('.').append(char('0' + tenths % 10));
}

// A JSON string or null, escaped exactly as QJsonDocument escapes it.
QByteArray JsonText(const std::optional<QString> &text)
{
    if (!text)
        return QByteArrayLiteral("null");
    const QByteArray array = QJsonDocument(QJsonArray{ShownCaption(*text)}).toJson(QJsonDocument::Compact);
    return array.mid(1, array.size() - 2);
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
    QByteArray line;
    StatusJsonWriter().appendLine(line, r);
    return QJsonDocument::fromJson(line).object();
}

StatusJsonWriter::StatusJsonWriter() : m_flagsByKey(StatusFlags())
{
    // A JSON object's keys come out sorted.
    std::sort(m_flagsByKey.begin(), m_flagsByKey.end(),
              [](const StatusFlag &a, const StatusFlag &b) { return a.key < b.key; });
}

void StatusJsonWriter::appendLine(QByteArray &out, const TelemetryRecord &r)
{
    if (!m_cached || r.Mode != m_statusMode || r.Stage != m_statusStage || r.StageTimer != m_statusTimer) {
        m_status = JsonText(StatusCaption(r));
        m_statusMode = r.Mode;
        m_statusStage = r.Stage;
        m_statusTimer = r.StageTimer;
    }
    if (!m_cached || r.Registration != m_registrationCode) {
        m_registration = JsonText(RegistrationCaption(r.Registration));
        m_registrationCode = r.Registration;
    }
    if (!m_cached || r.VariantCode != m_variantCode) {
        const QString variant = VariantName(r.VariantCode);
        m_variant = JsonText(variant.isEmpty() ? std::nullopt : std::optional(variant));
        m_variantCode = r.VariantCode;
    }
    out += "{\"acc_voltage\":";
    AppendVolts(out, r.AccVoltage);
    appendClock(out, r);
    out += ",\"flags\":{";
    for (const StatusFlag &flag : m_flagsByKey) {
        out += &",\""[&flag == &m_flagsByKey.constFirst() ? 1 : 0];
        out += flag.key.toLatin1();
        out += IsFlagSet(r, flag) ? "\":true" : "\":false";
    }
    out += "},\"maintenance_minutes\":";
    AppendDecimal(out, r.MaintenanceMinutes);
    out += ",\"mode\":";
    AppendDecimal(out, r.Mode);
    out += ",\"motoclock_minutes\":";
    AppendDecimal(out, r.MotoclockMinutes);
    out += ",\"registration\":";
    AppendDecimal(out, r.Registration);
    out += ",\"registration_text\":" + m_registration;
    out += IsFlagSet(r, StatusFrameMap::Flag::SemiAuto) ? ",\"semiauto\":true" : ",\"semiauto\":false";
    out += ",\"signal_dbm\":";
    if (const std::optional<int> signal = ShownSignalDbm(r.SignalQuality))
        AppendDecimal(out, *signal);
    else
        out += "null";
    out += ",\"stage\":";
    AppendDecimal(out, r.Stage);
    out += ",\"stage_timer\":";
    AppendDecimal(out, r.StageTimer);
    out += ",\"status_text\":" + m_status;
    out += ",\"temperatures\":[";
    AppendDecimal(out, r.Temperature1);
    AppendDecimal(out.append(','), r.Temperature2);
    AppendDecimal(out.append(','), r.Temperature3);
    AppendDecimal(out.append(','), r.Temperature4);
    out += "],\"ups_voltage\":";
    AppendVolts(out, r.UpsVoltage);
    out += ",\"variant\":" + m_variant;
    const std::pair<const char *, quint16> voltages[] = {{",\"voltage_a\":", r.VoltageA},
                                                         {",\"voltage_b\":", r.VoltageB},
                                                         {",\"voltage_c\":", r.VoltageC},
                                                         {",\"voltage_gu\":", r.VoltageGU}};
    for (const auto &[key, volts] : voltages)
        AppendDecimal(out.append(key), volts);
    out += '}';
    m_cached = true;
}

void StatusJsonWriter::appendClock(QByteArray &out, const TelemetryRecord &r)
{
    const quint8 bytes[3] = {r.ClockHours, r.ClockMinutes, r.ClockSeconds};
    if (!m_cached || !std::equal(std::begin(bytes), std::end(bytes), std::begin(m_clockBytes))) {
        std::copy(std::begin(bytes), std::end(bytes), std::begin(m_clockBytes));
        // The bytes behind a clock that is no valid time, as received.
        m_clock = IsClockValid(r) ? ",\"clock\":" + JsonText(ClockText(r))
                                  : ",\"clock\":null,\"clock_raw\":\"" + ByteToHexPair(r.ClockHours) +
                                        ByteToHexPair(r.ClockMinutes) + ByteToHexPair(r.ClockSeconds) + '"';
    }
    out += m_clock;
}

} // namespace gencfg
