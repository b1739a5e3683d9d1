#include "config/ConfigImage.h"
#include "link/DeviceText.h"

#include "config/Catalogue.h"
#include "config/MemoryMap.h"
#include "config/ParamModel.h"

#include <QCoreApplication>
#include <QTextCodec>
#include <algorithm>
#include <limits>

namespace gencfg {

namespace {

using MemoryMap::PhoneDigits;

// A plain decimal integer with an optional sign that fits in 32 bits.
std::optional<qint32> ParseInteger(const QString &text)
{
    int i = 0;
    bool negative = false;
    if (i < text.size() && (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char('-'))) {
        negative = text.at(i) == QLatin1Char('-');
        ++i;
    }
    if (i == text.size())
        return std::nullopt;
    qint64 magnitude = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (c < u'0' || c > u'9')
            return std::nullopt;
        magnitude = magnitude * 10 + (c - u'0');
        if (magnitude > qint64(std::numeric_limits<qint32>::max()) + 1)
            return std::nullopt;
    }
    const qint64 n = negative ? -magnitude : magnitude;
    if (n > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return qint32(n);
}

// The first image address of a node whose field of width bytes lies inside the image.
std::optional<int> FieldStart(const ParamModel &tree, int node, int width)
{
    const int address = tree.row(node).address;
    if (address < 0 || width < 0 || qint64(address) + width > MemoryMap::Size)
        return std::nullopt;
    return address;
}

// The byte width of a number row's size; 0 for a size the codec does not know.
int NumberWidth(int size)
{
    constexpr int widths[] = {1, 2, 4, PhoneDigits, 16, 32};
    return std::find(std::begin(widths), std::end(widths), size) != std::end(widths) ? size : 0;
}

QString NumberError(const QString &path, const QString &value)
{
    return QCoreApplication::translate("ConfigImage", "%1: значение '%2' не является целым числом")
        .arg(path, value);
}

QString PhoneError(const QString &path, const QString &value)
{
    return QCoreApplication::translate("ConfigImage", "%1: номер '%2' должен начинаться с десяти цифр")
        .arg(path, value);
}

EncodeResult Failure(int node, const QString &error)
{
    EncodeResult result;
    result.ok = false;
    result.failedNode = node;
    result.error = error;
    return result;
}

// The option code of a text, or nullopt where the text leaves the byte unwritten.
std::optional<quint8> OptionCode(ParamKind kind, const QString &value)
{
    const QStringList texts = OptionTexts(kind);
    const int code = int(texts.indexOf(value));
    switch (kind) {
    case ParamKind::OnOff:
    case ParamKind::Language:
        return quint8(code == 0 ? 0 : 1);
    case ParamKind::MessageType:
        return quint8(code == 0 || code == 1 ? code : 2);
    case ParamKind::EngineType:
    case ParamKind::AccessLevel:
    case ParamKind::TestStartMode:
        if (code >= 0)
            return quint8(code);
        return std::nullopt;
    default:
        return std::nullopt;
    }
}

QString OptionText(ParamKind kind, quint8 code)
{
    const QStringList texts = OptionTexts(kind);
    if (code < texts.size())
        return texts.at(code);
    // Out-of-list codes of the two-way and message kinds show their last option.
    if (kind == ParamKind::OnOff || kind == ParamKind::Language || kind == ParamKind::MessageType)
        return texts.constLast();
    return QString();
}

// Raw device bytes as text; a value never holds ';', so such a text ends there.
QString DeviceText(const QByteArray &bytes)
{
    QString text = DeviceTextCodec()->toUnicode(bytes);
    const qsizetype separator = text.indexOf(QLatin1Char(';'));
    if (separator >= 0)
        text.truncate(separator);
    return text;
}

QString TextUntilEnd(const ConfigImageBytes &image, int start, int width)
{
    QByteArray bytes;
    for (int j = 0; j < width && image[size_t(start + j)] < DeviceTextEnd; ++j)
        bytes.append(char(image[size_t(start + j)]));
    return DeviceText(bytes);
}

quint16 Word(const ConfigImageBytes &image, int address)
{
    return quint16(image[size_t(address)] << 8 | image[size_t(address + 1)]);
}

// Tenths to whole units, halves to the even neighbour.
double RoundTenthsHalfEven(quint16 tenths)
{
    int whole = tenths / 10;
    const int rest = tenths % 10;
    if (rest > 5 || (rest == 5 && whole % 2 == 1))
        ++whole;
    return whole;
}

} // namespace

std::optional<ByteSpan> CodedSpan(const ParamModel &tree, int node)
{
    const CatalogueRow &row = tree.row(node);
    int width = 0;
    if (IsNumberKind(row.kind))
        width = NumberWidth(row.size);
    else if (!OptionTexts(row.kind).isEmpty())
        width = 1;
    if (width == 0)
        return std::nullopt;
    const std::optional<int> start = FieldStart(tree, node, width);
    if (!start)
        return std::nullopt;
    return ByteSpan{*start, width};
}

EncodeResult EncodeNode(const ParamModel &tree, int node, ConfigImageBytes &image)
{
    const std::optional<ByteSpan> span = CodedSpan(tree, node);
    if (!span)
        return {};
    const ParamKind kind = tree.row(node).kind;
    const QString &value = tree.row(node).value;
    const size_t a = size_t(span->start);
    const int width = span->width;

    if (IsNumberKind(kind)) {
        if (width == 1 || width == 2 || width == 4) {
            const std::optional<qint32> n = ParseInteger(value);
            if (!n)
                return Failure(node, NumberError(tree.path(node), value));
            const quint32 bits = quint32(*n);
            for (int j = 0; j < width; ++j)
                image[a + size_t(j)] = quint8(bits >> (8 * (width - 1 - j)));
        } else if (width == PhoneDigits) {
            if (value.size() < PhoneDigits)
                return Failure(node, PhoneError(tree.path(node), value));
            for (int j = 0; j < PhoneDigits; ++j) {
                const char16_t c = value.at(j).unicode();
                if (c < u'0' || c > u'9')
                    return Failure(node, PhoneError(tree.path(node), value));
                image[a + size_t(j)] = quint8(c - u'0');
            }
        } else {
            const QByteArray bytes = DeviceTextCodec()->fromUnicode(value);
            const int k = std::min(width, int(bytes.size()));
            for (int j = 0; j < k; ++j)
                image[a + size_t(j)] = quint8(bytes.at(j));
        }
        return {};
    }

    if (const std::optional<quint8> code = OptionCode(kind, value))
        image[a] = *code;
    return {};
}

EncodeResult EncodeConfigImage(const ParamModel &tree, ConfigImageBytes &image)
{
    image.fill(0xFF);
    for (int node = 0; node < tree.nodeCount(); ++node) {
        if (EncodeResult result = EncodeNode(tree, node, image); !result.ok)
            return result;
    }
    return {};
}

std::optional<QString> DecodedValue(const ConfigImageBytes &image, const ParamModel &tree, int node)
{
    const ParamKind kind = tree.row(node).kind;
    const int size = tree.row(node).size;

    if (kind == ParamKind::ReadOnly) {
        const std::optional<int> start = FieldStart(tree, node, size);
        if (!start)
            return std::nullopt;
        return size == 2 ? QString::number(Word(image, *start)) : TextUntilEnd(image, *start, size);
    }

    const std::optional<ByteSpan> span = CodedSpan(tree, node);
    if (!span)
        return std::nullopt;
    const int a = span->start;
    const int width = span->width;
    if (!IsNumberKind(kind))
        return OptionText(kind, image[size_t(a)]);
    if (width == 1) {
        const quint8 b = image[size_t(a)];
        return kind == ParamKind::Temperature ? QString::number(qint8(b)) : QString::number(b);
    }
    if (width == 2)
        return QString::number(Word(image, a));
    if (width == 4) {
        const quint32 bits = quint32(Word(image, a)) << 16 | Word(image, a + 2);
        return QString::number(qint32(bits));
    }
    if (width == PhoneDigits) {
        // The device holds one digit value per byte; other bytes below the end mark are kept.
        QByteArray bytes;
        for (int j = 0; j < PhoneDigits; ++j) {
            const quint8 b = image[size_t(a + j)];
            if (b < DeviceTextEnd)
                bytes.append(char(b + 0x30));
        }
        return DeviceText(bytes);
    }
    return TextUntilEnd(image, a, width);
}

void DecodeConfigImage(const ConfigImageBytes &image, ParamModel &tree)
{
    for (int node = 0; node < tree.nodeCount(); ++node) {
        if (const std::optional<QString> value = DecodedValue(image, tree, node))
            tree.setValue(node, *value);
    }
}

GaugeThresholds ThresholdsFromImage(const ConfigImageBytes &image)
{
    GaugeThresholds t;
    t.generatorLow = Word(image, MemoryMap::GeneratorLow);
    t.generatorHigh = Word(image, MemoryMap::GeneratorHigh);
    t.mainsLow = Word(image, MemoryMap::MainsLow);
    t.mainsHigh = Word(image, MemoryMap::MainsHigh);
    t.temperatureLow = qint8(image[MemoryMap::TemperatureLow]);
    t.starterBatteryLow = Word(image, MemoryMap::StarterBatteryLow) / 10.0;
    t.upsLow = RoundTenthsHalfEven(Word(image, MemoryMap::UpsLow));
    const quint16 upsHigh = Word(image, MemoryMap::UpsHigh);
    t.upsHigh = RoundTenthsHalfEven(upsHigh);
    if (upsHigh < 160)
        t.upsScale = UpsScale{8, 16};
    else if (upsHigh < 320)
        t.upsScale = UpsScale{16, 32};
    else if (upsHigh < 640)
        t.upsScale = UpsScale{32, 64};
    else if (upsHigh < 1200)
        t.upsScale = UpsScale{64, 120};
    return t;
}

ConfigImageBytes DefaultConfigImage(DeviceVariant variant)
{
    ParamModel tree;
    LoadVariantTree(variant, tree);
    ConfigImageBytes image;
    const EncodeResult result = EncodeConfigImage(tree, image);
    Q_ASSERT_X(result.ok, "DefaultConfigImage", qPrintable(result.error));
    return image;
}

} // namespace gencfg
