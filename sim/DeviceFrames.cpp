#include "sim/DeviceFrames.h"

#include "link/Commands.h"
#include "link/FrameCodec.h"

namespace gencfg {

QByteArray BuildDeviceFrame(quint8 command, quint16 address, const QByteArray &data)
{
    const QByteArray payload = data.left(255);
    QByteArray bytes;
    bytes.reserve(payload.size() + 6);
    bytes.append(char(1));
    bytes.append(char(command));
    bytes.append(char(address >> 8));
    bytes.append(char(address & 0xFF));
    bytes.append(char(payload.size()));
    bytes.append(payload);
    bytes.append(char(FrameChecksum(bytes)));
    return bytes;
}

} // namespace gencfg
