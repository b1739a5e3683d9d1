#pragma once

// The places in the controller's 256-byte configuration memory that the codec,
// the transfers and the simulator reach directly, not through a catalogue row;
// tst_catalogue keeps the two in step. Multi-byte numbers are high byte first.

namespace gencfg::MemoryMap {

constexpr int Size = 256;
// Transfers move the memory in four blocks of 64 bytes.
constexpr int BlockSize = 64;
constexpr int BlockCount = Size / BlockSize;

// Minutes the engine ran; only the service commands set it.
constexpr int EngineMinutes = 0;
constexpr int EngineMinutesSize = 4;

// On/off bytes of the functions, not zero when on.
constexpr int MaintenanceOn = 9;
constexpr int ThermoSensorOn = 14;
constexpr int StarterBatteryOn = 18;
constexpr int UpsBatteryOn = 19;
constexpr int WorkRestOn = 23;
constexpr int WeeklyTestOn = 27;
constexpr int GprsOn = 94;
constexpr int GsmModemOn = 95;

// Single bytes: seconds a generator voltage fault may last, cranking seconds, attempts, the engine type.
constexpr int LowVoltageTimeout = 11;
constexpr int HighVoltageTimeout = 12;
constexpr int LongestCranking = 20;
constexpr int StartAttempts = 22;
constexpr int EngineType = 72;
constexpr int TemperatureLow = 15; // signed, degrees

// Two-byte thresholds: volts, the batteries' in tenths of a volt.
constexpr int GeneratorLow = 32;
constexpr int GeneratorHigh = 34;
constexpr int MainsLow = 36;
constexpr int MainsHigh = 38;
constexpr int StarterBatteryLow = 40;
constexpr int UpsLow = 42;
constexpr int UpsHigh = 44;
// Two-byte delays, seconds.
constexpr int MainsLossDelay = 46;
constexpr int MainsReturnDelay = 48;
constexpr int WarmUp = 50;
constexpr int CoolDown = 52;

// Six phone numbers of 16 bytes: ten digit bytes, then the access level and the message type.
constexpr int FirstPhone = 80;
constexpr int PhoneSize = 16;
constexpr int PhoneCount = 6;
constexpr int PhoneDigits = 10;
constexpr int PhoneAccessLevel = 10;
constexpr int PhoneMessageType = 12;

// Read-only: two-byte counts of GPRS sends, then the serial number; writes leave them alone.
constexpr int SuccessfulSends = 180;
constexpr int FailedSends = 182;
constexpr int SerialNumber = 184;
constexpr int SerialNumberSize = 8;
constexpr int ReadOnlyEnd = SerialNumber + SerialNumberSize;

// Texts of the modem's GPRS connection.
constexpr int Login = 192;
constexpr int Password = 208;
constexpr int AccessPoint = 224;

} // namespace gencfg::MemoryMap
