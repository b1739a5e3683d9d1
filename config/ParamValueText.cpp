#include "config/ParamValueText.h"

#include "config/MemoryMap.h"
#include "link/DeviceText.h"

#include <limits>

namespace gencfg {

namespace {

bool IsIntegerField(const CatalogueRow &row)
{
    const bool numeric = IsNumberKind(row.kind) || row.kind == ParamKind::ReadOnly;
    return numeric && (row.size == 1 || row.size == 2 || row.size == 4);
}

QString LimitText(const CatalogueRow &row, double limit)
{
    const QString digits = QString::number(qint64(limit));
    // Phone numbers are shown at their full width, temperatures with their sign.
    if (row.kind == ParamKind::Number && row.size == MemoryMap::PhoneDigits)
        return digits.rightJustified(MemoryMap::PhoneDigits, QLatin1Char('0'));
    if (row.kind == ParamKind::Temperature && limit > 0)
        return QLatin1Char('+') + digits;
    return digits;
}

} // namespace

QString ValueText(ParamKind kind, const ParamValue &value)
{
    switch (value.type) {
    case ParamValue::Type::Number:
        return QString::number(value.number);
    case ParamValue::Type::Option:
        return OptionTexts(kind).value(qsizetype(value.number));
    case ParamValue::Type::Text:
        return value.text;
    case ParamValue::Type::None:
        break;
    }
    return {};
}

std::optional<qint64> WholeNumber(const QString &text)
{
    int i = 0;
    const bool negative = text.startsWith(QLatin1Char('-'));
    if (negative || text.startsWith(QLatin1Char('+')))
        ++i;
    if (i == text.size())
        return std::nullopt;
    qint64 magnitude = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (c < u'0' || c > u'9')
            return std::nullopt;
        if (magnitude > (std::numeric_limits<qint64>::max() - 9) / 10)
            return std::nullopt;
        magnitude = magnitude * 10 + (c - u'0');
    }
    return negative ? -magnitude : magnitude;
}

std::optional<ParamValue> ValueFromText(const CatalogueRow &row, const QString &text)
{
    if (IsOptionKind(row.kind)) {
        const qsizetype code = OptionTexts(row.kind).indexOf(text);
        return code >= 0 ? std::optional(ParamValue::ofOption(int(code))) : std::nullopt;
    }
    if (IsIntegerField(row)) {
        const std::optional<qint64> n = WholeNumber(text);
        if (!n || *n < std::numeric_limits<qint32>::min() || *n > std::numeric_limits<qint32>::max())
            return std::nullopt;
        return ParamValue::ofNumber(*n);
    }
    if (HoldsValueEnd(text))
        return std::nullopt;
    return ParamValue::ofText(text);
}

QString MinText(const CatalogueRow &row)
{
    return row.limits ? LimitText(row, row.limits->min) : QString();
}

QString MaxText(const CatalogueRow &row)
{
    return row.limits ? LimitText(row, row.limits->max) : QString();
}

} // namespace gencfg
