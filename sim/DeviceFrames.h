#pragma once

// Frames as the controller sends and reads them.

#include <QByteArray>

namespace gencfg {

// The frame bytes of a device frame: prefix 1, command, address, the data's
// length, the data (at most 255 bytes; more are cut off) and the checksum.
QByteArray BuildDeviceFrame(quint8 command, quint16 address, const QByteArray &data);

} // namespace gencfg
