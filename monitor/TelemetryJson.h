#pragma once

// A decoded status frame as one JSON object, as gencfg-cli prints it and the
// visit archive keeps it.

#include "monitor/Telemetry.h"

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QString>

namespace gencfg {

// "petrol", "diesel" or "dry"; empty for a code without a catalogue.
QString VariantName(quint8 code);
// A stored two-line caption ("\n\r" between the lines) as shown: lines split by "\n".
QString ShownCaption(const QString &stored);
QJsonObject StatusJson(const TelemetryRecord &record);

// Writes the object of StatusJson as one compact line, byte for byte as
// QJsonDocument writes it (keys in its order), fast enough for a day's
// recording: texts are escaped once and reused while they stay the same.
class StatusJsonWriter
{
public:
    StatusJsonWriter();
    // Appends the line without a line end.
    void appendLine(QByteArray &out, const TelemetryRecord &record);

private:
    void appendClock(QByteArray &out, const TelemetryRecord &record);

    QList<StatusFlag> m_flagsByKey;
    QByteArray m_clock; // the clock's members of the object
    quint8 m_clockBytes[3] = {};
    QByteArray m_status;
    quint8 m_statusMode = 0;
    quint8 m_statusStage = 0;
    quint16 m_statusTimer = 0;
    QByteArray m_registration;
    quint8 m_registrationCode = 0;
    QByteArray m_variant;
    quint8 m_variantCode = 0;
    bool m_cached = false;
};

} // namespace gencfg
