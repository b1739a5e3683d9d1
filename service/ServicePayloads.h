#pragma once

// The data bytes of the service commands, built from what the technician
// typed. The page sends them; these functions only decide what to send.

#include <QByteArray>
#include <QString>

class QDateTime;

namespace gencfg {

// Device memory written by the service commands.
constexpr quint16 MotoclockAddress = 0;
constexpr quint16 SerialNumberAddress = 184;
constexpr int SerialNumberLength = 8;

constexpr int MaxDurationSeconds = 65535;
// Set values keep below 2^31, as the counter has always been set.
constexpr quint32 MaxMotoclockMinutes = 0x7FFFFFFFu;

struct ParsedInteger
{
    bool ok = false;
    qint32 value = 0;
    QString error; // the conversion error when not ok
};

// Signed 32-bit decimal with an optional sign; anything else (an empty text
// included) gives "'<text>' is not a valid integer value".
ParsedInteger parseIntegerField(const QString &text);

struct ServicePayload
{
    enum Status {
        Ok,      // data is ready to send
        Ignored, // send nothing and say nothing
        Warning, // a refused value: show message as a warning
        Error,   // a text that is not a number: show message as an error
    };
    Status status = Ignored;
    QByteArray data;
    QString message;

    bool isOk() const { return status == Ok; }
};

// Run or wait time for CMD_GENERATOR_START / CMD_GENERATOR_STOP: seconds,
// high byte first. Durations that do not fit 16 bits are refused.
ServicePayload DurationPayload(const QString &hoursText, const QString &minutesText);

// Motor-hour counter in minutes, four bytes high first, for MotoclockAddress.
ServicePayload MotoclockPayload(const QString &hoursText, const QString &minutesText);

// Exactly eight characters a stored text can hold, as their single-byte
// codes, for SerialNumberAddress; anything else is refused, saying why.
ServicePayload SerialNumberPayload(const QString &text);

// BCD hour, minute, second, day, month, year of century, all from one reading;
// empty for an invalid date and time.
QByteArray ClockPayload(const QDateTime &now);

bool IsServiceCode(const QString &text);

} // namespace gencfg
