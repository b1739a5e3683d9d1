#pragma once

// Frames as the controller sends and reads them.

#include <QByteArray>
#include <optional>

namespace gencfg {

// The frame bytes of a device frame: prefix 1, command, address, the data's
// length, the data (at most 255 bytes; more are cut off) and the checksum.
QByteArray BuildDeviceFrame(quint8 command, quint16 address, const QByteArray &data);

// The line text of frame bytes: 0x10, two upper-case hex digits a byte, 0x0D.
QByteArray DeviceFrameText(const QByteArray &frameBytes);

// A received text that is a valid request: any well-formed frame, and also a
// read request, whose length byte counts the bytes asked for, not bytes carried.
std::optional<QByteArray> ParseDeviceRequest(const QByteArray &text);

} // namespace gencfg
