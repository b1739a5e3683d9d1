#include "config/ConfigImage.h"
#include "link/DeviceText.h"

#include "config/Catalogue.h"
#include "config/MemoryMap.h"
#include "config/ParamModel.h"
#include "config/ParamValueText.h"

#include <QCoreApplication>
#include <QTextCodec>
#include <algorithm>

namespace gencfg {

namespace {

using MemoryMap::PhoneDigits;

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

// The byte of an option value, or nullopt where the value leaves the byte unwritten.
std::optional<quint8> OptionByte(ParamKind kind, const ParamValue &value)
{
    const int count = int(OptionTexts(kind).size());
    const int code = value.isOption() && value.number >= 0 && value.number < count ? int(value.number) : -1;
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

ParamValue OptionValue(ParamKind kind, quint8 code)
{
    const int count = int(OptionTexts(kind).size());
    if (code < count)
        return ParamValue::ofOption(code);
    // Out-of-list codes of the two-way and message kinds take their last option.
    if (kind == ParamKind::OnOff || kind == ParamKind::Language || kind == ParamKind::MessageType)
        return ParamValue::ofOption(count - 1);
    return {};
}

QString TextUntilEnd(const ConfigImageBytes &image, int start, int width)
{
    QByteArray bytes;
    for (int j = 0; j < width && image[size_t(start + j)] < DeviceTextEnd; ++j)
        bytes.append(char(image[size_t(start + j)]));
    return TextFromDevice(bytes);
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
    else if (IsOptionKind(row.kind))
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
    const ParamValue &value = tree.row(node).value;
    const QString text = ValueText(kind, value);
    const size_t a = size_t(span->start);
    const int width = span->width;

    if (IsNumberKind(kind)) {
        if (width == 1 || width == 2 || width == 4) {
            if (!value.isNumber())
                return Failure(node, NumberError(tree.path(node), text));
            const quint32 bits = quint32(value.number);
            for (int j = 0; j < width; ++j)
                image[a + size_t(j)] = quint8(bits >> (8 * (width - 1 - j)));
        } else if (width == PhoneDigits) {
            if (text.size() < PhoneDigits)
                return Failure(node, PhoneError(tree.path(node), text));
            for (int j = 0; j < PhoneDigits; ++j) {
                const char16_t c = text.at(j).unicode();
                if (c < u'0' || c > u'9')
                    return Failure(node, PhoneError(tree.path(node), text));
                image[a + size_t(j)] = quint8(c - u'0');
            }
        } else {
            const QByteArray bytes = DeviceTextCodec()->fromUnicode(text);
            const int k = std::min(width, int(bytes.size()));
            for (int j = 0; j < k; ++j)
                image[a + size_t(j)] = quint8(bytes.at(j));
        }
        return {};
    }

    if (const std::optional<quint8> code = OptionByte(kind, value))
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

std::optional<ParamValue> DecodedValue(const ConfigImageBytes &image, const ParamModel &tree, int node)
{
    const ParamKind kind = tree.row(node).kind;
    const int size = tree.row(node).size;

    if (kind == ParamKind::ReadOnly) {
        const std::optional<int> start = FieldStart(tree, node, size);
        if (!start)
            return std::nullopt;
        return size == 2 ? ParamValue::ofNumber(Word(image, *start))
                         : ParamValue::ofText(TextUntilEnd(image, *start, size));
    }

    const std::optional<ByteSpan> span = CodedSpan(tree, node);
    if (!span)
        return std::nullopt;
    const int a = span->start;
    const int width = span->width;
    if (!IsNumberKind(kind))
        return OptionValue(kind, image[size_t(a)]);
    if (width == 1) {
        const quint8 b = image[size_t(a)];
        return ParamValue::ofNumber(kind == ParamKind::Temperature ? qint8(b) : b);
    }
    if (width == 2)
        return ParamValue::ofNumber(Word(image, a));
    if (width == 4) {
        const quint32 bits = quint32(Word(image, a)) << 16 | Word(image, a + 2);
        return ParamValue::ofNumber(qint32(bits));
    }
    if (width == PhoneDigits) {
        // The device holds one digit value per byte; other bytes below the end mark are kept.
        QByteArray bytes;
        for (int j = 0; j < PhoneDigits; ++j) {
            const quint8 b = image[size_t(a + j)];
            if (b < DeviceTextEnd)
                bytes.append(char(b + 0x30));
        }
        return ParamValue::ofText(TextFromDevice(bytes));
    }
    return ParamValue::ofText(TextUntilEnd(image, a, width));
}

void DecodeConfigImage(const ConfigImageBytes &image, ParamModel &tree)
{
    for (int node = 0; node < tree.nodeCount(); ++node) {
        if (const std::optional<ParamValue> value = DecodedValue(image, tree, node))
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
