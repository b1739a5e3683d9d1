#include "link/FrameCodec.h"

#include "link/Commands.h"

#include <QString>

namespace gencfg {

namespace {

constexpr char HexDigits[] = "0123456789ABCDEF";

int nibbleValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

QByteArray FrameBytes(quint8 prefix, quint8 command, quint16 address, const QByteArray &data)
{
    const QByteArray payload = data.left(255);
    QByteArray bytes;
    bytes.reserve(payload.size() + 6);
    bytes.append(char(prefix));
    bytes.append(char(command));
    bytes.append(char(address >> 8));
    bytes.append(char(address & 0xFF));
    bytes.append(char(payload.size()));
    bytes.append(payload);
    bytes.append(char(FrameChecksum(bytes)));
    return bytes;
}

QByteArray DeviceFrameText(quint8 command, const QByteArray &data, quint16 address)
{
    return FrameBytesToText(FrameBytes(1, command, address, data));
}

QByteArray FrameBytesToText(const QByteArray &bytes)
{
    QByteArray text;
    text.reserve(bytes.size() * 2 + 2);
    text.append(FrameStart);
    for (char b : bytes)
        text.append(ByteToHexPair(quint8(b)));
    text.append(FrameEnd);
    return text;
}

QByteArray ByteToHexPair(quint8 b)
{
    const char pair[2] = {HexDigits[b >> 4], HexDigits[b & 0x0F]};
    return QByteArray(pair, 2);
}

quint8 HexPairToByte(char c1, char c2)
{
    return quint8(16 * qMax(0, nibbleValue(c1)) + qMax(0, nibbleValue(c2)));
}

QByteArray BuildCommandFrame(quint8 command, quint16 address, quint8 n, const QByteArray &data)
{
    if (n > MaxFrameData)
        return {};
    // A caller that passes fewer bytes than n gets zeros, never bytes from beyond its buffer.
    const QByteArray padded = data.left(n) + QByteArray(n - qMin<int>(n, int(data.size())), '\0');
    return FrameBytesToText(FrameBytes(0, command, address, padded));
}

QByteArray BuildWriteFrame(quint16 address, quint8 n, const QByteArray &data)
{
    return BuildCommandFrame(CMD_WRITE_MEMORY, address, n, data);
}

QByteArray BuildReadFrame(quint16 address, quint8 count)
{
    // A read request carries the count it asks for in the length byte, and no data.
    QByteArray bytes = FrameBytes(1, CMD_READ_MEMORY, address, {});
    bytes[4] = char(count);
    bytes[5] = char(FrameChecksum(bytes.left(5)));
    return FrameBytesToText(bytes);
}

QByteArray DecodeFrameText(const QByteArray &text)
{
    if (text.isEmpty())
        return QByteArray(1, '\0');
    const int length = text.size();
    const int count = (length - 1) / 2 + 1;
    QByteArray bytes(count, '\0');
    auto at = [&](int i) -> char { return i < length ? text.at(i) : FrameEnd; };
    for (int k = 0; k < count; ++k)
        bytes[k] = char(HexPairToByte(at(1 + 2 * k), at(2 + 2 * k)));
    return bytes;
}

quint8 BcdToByte(quint8 b)
{
    return quint8((b >> 4) * 10 + (b & 0x0F));
}

quint8 ByteToBcd(quint8 v)
{
    return quint8(((v / 10) << 4) + (v % 10));
}

QString ZeroPad(qint64 number, int width)
{
    QString text = QString::number(number);
    if (text.size() > width)
        return text.right(width);
    return text.rightJustified(width, QLatin1Char('0'));
}

std::optional<quint8> BcdFieldValue(quint8 b, BcdField field)
{
    if ((b >> 4) > 9 || (b & 0x0F) > 9)
        return std::nullopt;
    const quint8 value = BcdToByte(b);
    const bool inRange = [&] {
        switch (field) {
        case BcdField::Hour:
            return value <= 23;
        case BcdField::Minute:
        case BcdField::Second:
            return value <= 59;
        case BcdField::Day:
            return value >= 1 && value <= 31;
        case BcdField::Month:
            return value >= 1 && value <= 12;
        }
        return false;
    }();
    return inRange ? std::optional<quint8>(value) : std::nullopt;
}

QString BcdFieldText(quint8 b, BcdField field)
{
    const std::optional<quint8> value = BcdFieldValue(b, field);
    return value ? ZeroPad(*value, 2) : QStringLiteral("--");
}

quint8 FrameChecksum(const QByteArray &bytes)
{
    quint8 sum = 0;
    for (char b : bytes)
        sum ^= quint8(b);
    return sum;
}

std::optional<QByteArray> ParseValidFrame(const QByteArray &text)
{
    if (text.size() < 2 || text.front() != FrameStart || text.back() != FrameEnd)
        return std::nullopt;
    const int hexCount = text.size() - 2;
    if (hexCount % 2 != 0 || hexCount < 12)
        return std::nullopt;
    for (int i = 1; i <= hexCount; ++i) {
        if (nibbleValue(text.at(i)) < 0)
            return std::nullopt;
    }
    // Well formed: the device's own decoding, less the byte it makes of the end byte.
    const QByteArray bytes = DecodeFrameText(text).left(hexCount / 2);
    // A read request carries the count it asks for and no data.
    const bool readRequest = bytes.size() == 6 && bytes.at(0) == 1 && bytes.at(1) == 5;
    if ((quint8(bytes.at(4)) != bytes.size() - 6 && !readRequest) || FrameChecksum(bytes) != 0)
        return std::nullopt;
    return bytes;
}

} // namespace gencfg
