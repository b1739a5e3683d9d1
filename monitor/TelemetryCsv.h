#pragma once

// The telemetry record as CSV: UTF-8, a header row of names and units, one
// row a frame, ISO 8601 local time, a dot as decimal separator. The window's
// export, its continuous recording and gencfg-cli's status --csv write the same.

#include "monitor/LineAppendFile.h"
#include "monitor/TelemetryLog.h"

#include <QString>

namespace gencfg {

QString TelemetryCsvHeader();
QString TelemetryCsvRow(qint64 msecs, const TelemetryRecord &record);
// Local time with milliseconds and its offset from UTC: "2026-12-07T14:05:09.123+03:00".
QString CsvTime(qint64 msecs);
// The header and the samples first to last - 1, each line ended by CR LF.
QByteArray TelemetryCsv(const TelemetryLog &log, int first, int last);

// Appends one line a frame to a file, each flushed as it is written, so a
// crash or a pulled plug loses nothing already recorded, and a full disk
// leaves only whole rows.
class TelemetryCsvFile
{
public:
    // Returns the failure text, or an empty one. A new or empty file gets the
    // header first; a name that is not a regular file is refused.
    QString open(const QString &path);
    bool isOpen() const { return m_file.isOpen(); }
    QString fileName() const { return m_file.fileName(); }
    // Returns the failure text, or an empty one.
    QString append(qint64 msecs, const TelemetryRecord &record);
    void close();

private:
    QString writeLine(const QString &line);

    LineAppendFile m_file;
};

} // namespace gencfg
