#pragma once

// The controller's frame format: prefix, command, 16-bit address (high byte
// first), length n, n data bytes and an XOR checksum of everything before it,
// carried on the line as 0x10, two upper-case hex characters per byte, 0x0D.

#include <QByteArray>
#include <optional>

namespace gencfg {

constexpr char FrameStart = 0x10;
constexpr char FrameEnd = 0x0D;
// The encoders build a frame in a 128-byte buffer: 5 header bytes, the data,
// one checksum byte.
constexpr int MaxFrameData = 122;

QByteArray ByteToHexPair(quint8 b);

// The bytes of one frame: prefix, command, address high then low, the data's
// length, the data (at most 255 bytes; more are cut off) and the checksum.
// Every frame of the program, the simulator, the tests and the benchmarks is built here.
QByteArray FrameBytes(quint8 prefix, quint8 command, quint16 address, const QByteArray &data);
// A frame as the controller sends it (prefix 1), as line text.
QByteArray DeviceFrameText(quint8 command, const QByteArray &data, quint16 address = 0);

// The line text of frame bytes: the start byte, two hex characters a byte, the end byte.
QByteArray FrameBytesToText(const QByteArray &bytes);
quint8 HexPairToByte(char c1, char c2);

// Return an empty text (and send nothing) when asked for more than MaxFrameData.
QByteArray BuildCommandFrame(quint8 command, quint16 address, quint8 n, const QByteArray &data);
QByteArray BuildWriteFrame(quint16 address, quint8 n, const QByteArray &data);
QByteArray BuildReadFrame(quint16 address, quint8 count);

// Decodes a text that begins with the start byte and ends with the end byte:
// (L - 1) div 2 + 1 bytes, the last one made from the end byte.
QByteArray DecodeFrameText(const QByteArray &text);

quint8 BcdToByte(quint8 b);
quint8 ByteToBcd(quint8 v);
QString ZeroPad(qint64 number, int width);

// The packed BCD fields of the controller's clock and journal stamps, each with its own range.
enum class BcdField { Hour, Minute, Second, Day, Month };
// The field's value, or nothing when a digit is above 9 or the value lies outside the field's range.
std::optional<quint8> BcdFieldValue(quint8 b, BcdField field);
// Two digits, or "--" where BcdFieldValue gives nothing.
QString BcdFieldText(quint8 b, BcdField field);

// XOR of all bytes.
quint8 FrameChecksum(const QByteArray &bytes);

// A frame text that is well formed: an even number of upper-case hex digits
// between start and end byte, at least the six fixed bytes, a length byte
// that matches the data carried (a read request carries none), and a
// checksum that matches. Returns the
// frame bytes (without the trailing zero of DecodeFrameText) or nothing.
std::optional<QByteArray> ParseValidFrame(const QByteArray &text);

} // namespace gencfg
