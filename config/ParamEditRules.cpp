#include "config/ParamEditRules.h"
#include "link/DeviceText.h"

#include "config/MemoryMap.h"
#include "config/ParamLimits.h"

#include <QRegularExpression>
#include <cmath>

namespace gencfg {

namespace {

using MemoryMap::PhoneDigits;

QLocale strictLocale(const QLocale &locale)
{
    QLocale strict = locale;
    strict.setNumberOptions(strict.numberOptions() | QLocale::RejectGroupSeparator);
    return strict;
}

bool isIntegerSize(int size)
{
    return size == 1 || size == 2 || size == 4;
}

bool isTextSize(int size)
{
    return size == 16 || size == 32;
}

bool isPlainInteger(const QString &text)
{
    static const QRegularExpression integer(QStringLiteral("^[+-]?[0-9]+$"));
    return integer.match(text).hasMatch();
}

bool isTenDigits(const QString &text)
{
    if (text.size() != PhoneDigits)
        return false;
    for (QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}

EditVerdict checkText(const QString &text, int width)
{
    if (CharacterCount(text) > width)
        return EditVerdict::refuse(EditWarnings::textTooLong(width));
    if (!FirstUnstorableCharacter(text).isEmpty())
        return EditVerdict::refuse(EditWarnings::textBadCharacters());
    return EditVerdict::accept();
}

} // namespace

bool ParseDecimal(const QString &text, const QLocale &locale, double *value)
{
    bool ok = false;
    double parsed = strictLocale(locale).toDouble(text, &ok);
    // A plain ASCII integer reads the same everywhere, whatever the locale's signs.
    if (!ok && isPlainInteger(text))
        parsed = QLocale::c().toDouble(text, &ok);
    if (!ok || !std::isfinite(parsed))
        return false;
    if (value)
        *value = parsed;
    return true;
}

EditVerdict CheckTypedValue(const CatalogueRow &row, const QString &text, const QLocale &locale)
{
    if (HoldsValueEnd(text))
        return EditVerdict::refuse(EditWarnings::separator());

    if (row.kind == ParamKind::Number) {
        if (row.size == PhoneDigits && !isTenDigits(text))
            return EditVerdict::refuse(EditWarnings::phoneDigits());
        if (isTextSize(row.size)) {
            const EditVerdict verdict = checkText(text, row.size);
            if (!verdict.accepted)
                return verdict;
        }
    }

    if (!row.limits)
        return EditVerdict::accept();

    double value = 0;
    if (!ParseDecimal(text, locale, &value))
        return EditVerdict::refuse(EditWarnings::notNumber());
    // The image codec takes only plain decimal integers for these rows.
    if (IsNumberKind(row.kind) && isIntegerSize(row.size) && !isPlainInteger(text))
        return EditVerdict::refuse(EditWarnings::notInteger());

    if (!WithinLimits(value, *row.limits))
        return EditVerdict::refuse(EditWarnings::outOfRange());
    return EditVerdict::accept();
}

EditVerdict CheckChosenOption(const CatalogueRow &row, const QString &text)
{
    if (HoldsValueEnd(text))
        return EditVerdict::refuse(EditWarnings::separator());
    const QStringList options = OptionTexts(row.kind);
    if (!options.contains(text))
        return EditVerdict::refuse(EditWarnings::notAnOption(options));
    return EditVerdict::accept();
}

} // namespace gencfg
