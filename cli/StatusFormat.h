#pragma once

// A decoded status frame as gencfg-cli prints it: text lines with the
// measurement page's captions and units, or one JSON object.

#include "monitor/Telemetry.h"

#include <QJsonObject>
#include <QString>

namespace gencfg::cli {

// "petrol", "diesel" or "dry"; empty for a code without a catalogue.
QString VariantName(quint8 code);

// A stored two-line caption ("\n\r" between the lines) as shown: lines split by "\n".
QString ShownCaption(const QString &stored);

QJsonObject StatusJson(const TelemetryRecord &record);

// The texts the page keeps between frames when a frame leaves them unchanged.
struct ShownTexts
{
    QString status;
    QString mode;
    QString registration;
};

// Updates shown from record, as the page would, then lists everything.
QString StatusText(const TelemetryRecord &record, ShownTexts &shown);

} // namespace gencfg::cli
