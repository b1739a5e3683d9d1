#pragma once

// A decoded status frame as gencfg-cli prints it: text lines with the
// measurement page's captions and units, or one JSON object.

#include "monitor/StatusRows.h"
#include "monitor/TelemetryJson.h"

#include <QString>

namespace gencfg::cli {

// Updates shown from record, as the page would, then lists everything.
QString StatusText(const TelemetryRecord &record, ShownTexts &shown);

} // namespace gencfg::cli
