#pragma once

// A decoded status frame as gencfg-cli prints it: text lines with the
// measurement page's captions and units, or one JSON object.

#include "monitor/TelemetryJson.h"

#include <QString>

namespace gencfg::cli {

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
