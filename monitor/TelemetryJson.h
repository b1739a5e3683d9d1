#pragma once

// A decoded status frame as one JSON object, as gencfg-cli prints it and the
// visit archive keeps it.

#include "monitor/Telemetry.h"

#include <QJsonObject>
#include <QString>

namespace gencfg {

// "petrol", "diesel" or "dry"; empty for a code without a catalogue.
QString VariantName(quint8 code);
// A stored two-line caption ("\n\r" between the lines) as shown: lines split by "\n".
QString ShownCaption(const QString &stored);
QJsonObject StatusJson(const TelemetryRecord &record);

} // namespace gencfg
