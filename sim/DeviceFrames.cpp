#include "sim/DeviceFrames.h"

#include "link/Commands.h"
#include "link/FrameCodec.h"

namespace gencfg {

namespace {

bool isUpperHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}

} // namespace

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

QByteArray DeviceFrameText(const QByteArray &frameBytes)
{
    QByteArray text;
    text.reserve(frameBytes.size() * 2 + 2);
    text.append(FrameStart);
    for (char b : frameBytes)
        text.append(ByteToHexPair(quint8(b)));
    text.append(FrameEnd);
    return text;
}

std::optional<QByteArray> ParseDeviceRequest(const QByteArray &text)
{
    if (auto frame = ParseValidFrame(text))
        return frame;
    // A read request is exactly the six fixed bytes.
    if (text.size() != 14 || text.front() != FrameStart || text.back() != FrameEnd)
        return std::nullopt;
    for (int i = 1; i < 13; ++i) {
        if (!isUpperHexDigit(text.at(i)))
            return std::nullopt;
    }
    const QByteArray bytes = DecodeFrameText(text).left(6);
    if (bytes.at(0) != 1 || quint8(bytes.at(1)) != CMD_READ_MEMORY || FrameChecksum(bytes) != 0)
        return std::nullopt;
    return bytes;
}

} // namespace gencfg
