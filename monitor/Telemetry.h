#pragma once

// The controller's status frame decoded into a record, and the texts and
// display states derived from it, shared by the measurement page and the
// command-line tool.

#include "link/TextUse.h"
#include "monitor/StatusFrameMap.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <array>
#include <optional>

namespace gencfg {

struct TelemetryRecord
{
    quint8 VariantCode = 0;
    quint8 Flags1 = 0;
    quint8 Flags2 = 0;
    quint8 Mode = 0;
    quint8 Stage = 0;
    quint16 StageTimer = 0;
    // Volts, already converted by VoltageCode.
    quint16 VoltageGU = 0;
    quint16 VoltageA = 0;
    quint16 VoltageB = 0;
    quint16 VoltageC = 0;
    // Tenths of a volt.
    quint16 AccVoltage = 0;
    quint16 UpsVoltage = 0;
    quint32 MotoclockMinutes = 0;
    quint16 MaintenanceMinutes = 0;
    // Packed BCD as received.
    quint8 ClockHours = 0;
    quint8 ClockMinutes = 0;
    quint8 ClockSeconds = 0;
    quint8 SignalQuality = 0;
    quint8 Registration = 0;
    qint8 Temperature1 = 0;
    qint8 Temperature2 = 0;
    qint8 Temperature3 = 0;
    qint8 Temperature4 = 0;
};

// Where the data bytes start in a received frame.
constexpr int FrameDataOffset = 5;

// One voltage byte in volts: below 50 means no voltage.
quint16 VoltageCode(quint8 b);

// data points at data byte 0; bytes at or past `available` read as 0, so
// nothing beyond the given buffer is ever touched.
TelemetryRecord DecodeStatusFrame(const quint8 *data, int available);
// rxBytes is a whole received frame buffer (prefix first), as DeviceLink::rxBytes().
TelemetryRecord DecodeStatusFrame(const QByteArray &rxBytes);
template <std::size_t N> TelemetryRecord DecodeStatusFrame(const std::array<quint8, N> &rxBytes)
{
    static_assert(N > FrameDataOffset, "a frame buffer holds at least the header");
    return DecodeStatusFrame(rxBytes.data() + FrameDataOffset, int(N) - FrameDataOffset);
}

// "hh:mm:ss" of a number of seconds.
QString FormatStageTimer(quint16 seconds);

// The status label's new caption, or nothing when the record leaves it as it is.
std::optional<QString> StatusCaption(const TelemetryRecord &record, TextUse use = TextUse::Shown);
std::optional<QString> RegistrationCaption(quint8 registration);

// A stored caption on one line: its line breaks ("\n\r", "\r\n", "\n") as blanks, carriage returns dropped.
QString OneLineCaption(const QString &stored);

// The device clock as "hh:mm:ss", "--" for a field that is no valid time.
QString ClockText(const TelemetryRecord &record);
// Whether each of the clock's three bytes is a valid time field.
bool IsClockValid(const TelemetryRecord &record);
// Minutes as "12ч 13м".
QString HoursMinutesText(qint64 minutes);

// The modem's signal index for a level it does not know.
constexpr quint8 SignalQualityUnknown = 99;
// A signal index above 31 is out of the modem's range, taken as 0.
quint8 UsableSignalQuality(quint8 quality);
int SignalDbm(quint8 quality);
// The level as shown: nothing for an unknown level, shown as no data.
std::optional<int> ShownSignalDbm(quint8 quality);

// Tenths of a volt as volts.
double TenthsToVolts(quint16 tenths);

// One number of a record as the gauges and the trend lines show it.
using RecordValue = double (*)(const TelemetryRecord &);
// Phases A, B and C, the generator, the starter battery, the UPS, then temperature sensors 1 to 4.
extern const RecordValue GaugedValues[10];

enum class ModeDisplay { Unchanged, Manual, Auto, Semiauto };
ModeDisplay ModeDisplayFor(const TelemetryRecord &record);
// The caption of the mode LED that is lit; empty for Unchanged.
QString ModeDisplayCaption(ModeDisplay mode);

enum class GeneratorBlinkEffect { None, Start, Stop };
GeneratorBlinkEffect GeneratorBlinkEffectFor(const TelemetryRecord &record);

struct StatusFlag
{
    StatusFrameMap::Flag flag = StatusFrameMap::Flag::ThreePhase;
    QString key;     // for the command-line tool, e.g. "three_line"
    QString caption; // as files keep it; FlagCaption() as the window shows it
    // 1 for Flags1, 2 for Flags2, and the bit in that byte.
    int byte() const { return StatusFrameMap::FlagByte(flag) - StatusFrameMap::Flags1 + 1; }
    int bit() const { return int(flag) % 8; }
};

// The thirteen flags shown as LEDs, in page order.
const QList<StatusFlag> &StatusFlags();
QString FlagCaption(const StatusFlag &flag);
bool IsFlagSet(const TelemetryRecord &record, StatusFrameMap::Flag flag);
inline bool IsFlagSet(const TelemetryRecord &record, const StatusFlag &flag)
{
    return IsFlagSet(record, flag.flag);
}

} // namespace gencfg
