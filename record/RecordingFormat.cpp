#include "record/RecordingFormat.h"

#include <QFileInfo>
#include <QList>

namespace gencfg {

namespace {

// Blanks, controls, non-ASCII and '%' are escaped, so a value is one word and reads back exactly.
QByteArray Escaped(const QString &value)
{
    static const char Hex[] = "0123456789ABCDEF";
    QByteArray out;
    for (const char c : value.toUtf8()) {
        const quint8 b = quint8(c);
        if (b <= 0x20 || b >= 0x7F || c == '%') {
            out += '%';
            out += Hex[b >> 4];
            out += Hex[b & 0xF];
        } else {
            out += c;
        }
    }
    return out;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

std::optional<QString> Unescaped(const QByteArray &word)
{
    QByteArray out;
    for (int i = 0; i < word.size(); ++i) {
        if (word.at(i) != '%') {
            out += word.at(i);
            continue;
        }
        if (i + 2 >= word.size())
            return std::nullopt;
        const int high = HexDigit(word.at(i + 1));
        const int low = HexDigit(word.at(i + 2));
        if (high < 0 || low < 0)
            return std::nullopt;
        out += char(high * 16 + low);
        i += 2;
    }
    return QString::fromUtf8(out);
}

} // namespace

QByteArray FormatRecordingHeader(const RecordingHeader &header)
{
    QByteArray line = RecordingMagic + QByteArray::number(header.formatVersion);
    line += " version=" + Escaped(header.programVersion);
    line += " port=" + Escaped(header.port);
    line += " start=" + Escaped(header.start.toString(Qt::ISODateWithMs));
    if (!header.variant.isEmpty())
        line += " variant=" + Escaped(header.variant);
    return line + '\n';
}

QString RecordingFileName(const QString &path)
{
    const QFileInfo file(path);
    // What is there already is what the user chose: a folder or a device is refused as it is named.
    if (file.fileName().isEmpty() || !file.suffix().isEmpty() || file.exists())
        return path;
    return path.endsWith(QLatin1Char('.')) ? path + QStringLiteral("gcrec") : path + QStringLiteral(".gcrec");
}

std::optional<RecordingHeader> ParseRecordingHeader(const QByteArray &line)
{
    QByteArray text = line;
    if (text.endsWith('\r'))
        text.chop(1);
    if (!text.startsWith(RecordingMagic))
        return std::nullopt;
    const QList<QByteArray> words = text.mid(int(sizeof(RecordingMagic)) - 1).split(' ');
    bool ok = false;
    RecordingHeader header;
    header.formatVersion = words.first().toInt(&ok);
    if (!ok || header.formatVersion < 1)
        return std::nullopt;
    // A later version may say other things; only its version is needed to refuse it.
    if (header.formatVersion > RecordingFormatVersion)
        return header;
    for (int i = 1; i < words.size(); ++i) {
        const QByteArray &word = words.at(i);
        const int equals = int(word.indexOf('='));
        if (equals <= 0)
            return std::nullopt;
        const std::optional<QString> value = Unescaped(word.mid(equals + 1));
        if (!value)
            return std::nullopt;
        const QByteArray key = word.left(equals);
        if (key == "version")
            header.programVersion = *value;
        else if (key == "port")
            header.port = *value;
        else if (key == "variant")
            header.variant = *value;
        else if (key == "start")
            header.start = QDateTime::fromString(*value, Qt::ISODateWithMs);
        // Other keys are notes a later program may add: skipped.
    }
    if (!header.start.isValid())
        return std::nullopt;
    return header;
}

QByteArray FormatChunkLine(qint64 ms, ChunkDirection direction, const QByteArray &bytes)
{
    QByteArray line = QByteArray::number(ms);
    line += direction == ChunkDirection::Received ? " < " : " > ";
    line += bytes.toHex().toUpper();
    return line + '\n';
}

std::optional<RecordedChunk> ParseChunkLine(const QByteArray &line)
{
    int end = int(line.size());
    if (end > 0 && line.at(end - 1) == '\r')
        --end;
    int i = 0;
    qint64 ms = 0;
    // Fifteen digits are more than thirty thousand years of milliseconds.
    while (i < end && i < 15 && line.at(i) >= '0' && line.at(i) <= '9')
        ms = ms * 10 + (line.at(i++) - '0');
    if (i == 0 || ms > MaxChunkMs || i + 3 > end || line.at(i) != ' ' || line.at(i + 2) != ' ')
        return std::nullopt;
    const char mark = line.at(i + 1);
    if (mark != '<' && mark != '>')
        return std::nullopt;
    i += 3;
    const int digits = end - i;
    if (digits == 0 || digits % 2 != 0)
        return std::nullopt;
    RecordedChunk chunk;
    chunk.ms = ms;
    chunk.direction = mark == '<' ? ChunkDirection::Received : ChunkDirection::Sent;
    chunk.bytes.resize(digits / 2);
    for (int k = 0; k < digits / 2; ++k) {
        const int high = HexDigit(line.at(i + 2 * k));
        const int low = HexDigit(line.at(i + 2 * k + 1));
        if (high < 0 || low < 0)
            return std::nullopt;
        chunk.bytes[k] = char(high * 16 + low);
    }
    return chunk;
}

} // namespace gencfg
