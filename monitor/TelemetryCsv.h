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

// Writes the rows of a long run of records, a day's recording of them: the
// local time of a minute and the status text are worked out once and reused,
// the numbers written straight into the caller's buffer.
class TelemetryCsvWriter
{
public:
    // Appends the row of TelemetryCsvRow as UTF-8, without a line end.
    void appendRow(QByteArray &out, qint64 msecs, const TelemetryRecord &record);

private:
    void appendTime(QByteArray &out, qint64 msecs);
    void appendStatus(QByteArray &out, const TelemetryRecord &record);

    // One local minute of constant offset, as CsvTime writes it.
    QByteArray m_minuteText;
    qint64 m_minuteStart = 0; // ms since the epoch of its second 0
    bool m_haveMinute = false;
    int m_secondsAt = 0; // where the seconds stand in the text

    QByteArray m_statusText;
    quint8 m_statusMode = 0;
    quint8 m_statusStage = 0;
    quint16 m_statusTimer = 0;
    bool m_haveStatus = false;
};
// Local time with milliseconds and its offset from UTC: "2026-12-07T14:05:09.123+03:00".
QString CsvTime(qint64 msecs);
// The header and the samples first to last - 1, each line ended by CR LF.
QByteArray TelemetryCsv(const TelemetryLog &log, int first, int last);

} // namespace gencfg
