#pragma once

// The telemetry record as CSV: UTF-8, a header row of names and units, one
// row a frame, ISO 8601 local time, a dot as decimal separator. The window's
// export, its continuous recording and gencfg-cli's status --csv write the same.

#include "monitor/TelemetryLog.h"

#include <QString>

namespace gencfg {

// Ends every line of the CSV.
inline const QString CsvLineEnd = QStringLiteral("\r\n");

QString TelemetryCsvHeader();
QString TelemetryCsvRow(qint64 msecs, const TelemetryRecord &record);
// Local time with milliseconds and its offset from UTC: "2026-12-07T14:05:09.123+03:00".
QString CsvTime(qint64 msecs);
// The header and the samples first to last - 1, each line ended by CR LF.
QByteArray TelemetryCsv(const TelemetryLog &log, int first, int last);

} // namespace gencfg
