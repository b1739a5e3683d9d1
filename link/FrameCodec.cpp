#include "link/FrameCodec.h"

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

QByteArray layOut(quint8 prefix, quint8 command, quint16 address, quint8 n, const QByteArray &data)
{
    QByteArray bytes;
    bytes.reserve(n + 6);
    bytes.append(char(prefix));
    bytes.append(char(command));
    bytes.append(char(address >> 8));
    bytes.append(char(address & 0xFF));
    bytes.append(char(n));
    // A caller that passes fewer bytes than n gets zeros, never bytes from beyond its buffer.
    bytes.append(data.left(n));
    bytes.append(QByteArray(n - qMin<int>(n, data.size()), '\0'));
    bytes.append(char(FrameChecksum(bytes)));
    return bytes;
}

} // namespace

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
    return FrameBytesToText(layOut(0, command, address, n, data));
}

QByteArray BuildWriteFrame(quint16 address, quint8 n, const QByteArray &data)
{
    return BuildCommandFrame(4, address, n, data);
}

QByteArray BuildReadFrame(quint16 address, quint8 count)
{
    QByteArray bytes;
    bytes.append(char(1));
    bytes.append(char(5));
    bytes.append(char(address >> 8));
    bytes.append(char(address & 0xFF));
    bytes.append(char(count));
    bytes.append(char(FrameChecksum(bytes)));
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
    QByteArray bytes(hexCount / 2, '\0');
    for (int k = 0; k < bytes.size(); ++k) {
        const int hi = nibbleValue(text.at(1 + 2 * k));
        const int lo = nibbleValue(text.at(2 + 2 * k));
        if (hi < 0 || lo < 0)
            return std::nullopt;
        bytes[k] = char(hi * 16 + lo);
    }
    // A read request carries the count it asks for and no data.
    const bool readRequest = bytes.size() == 6 && bytes.at(0) == 1 && bytes.at(1) == 5;
    if ((quint8(bytes.at(4)) != bytes.size() - 6 && !readRequest) || FrameChecksum(bytes) != 0)
        return std::nullopt;
    return bytes;
}

} // namespace gencfg
