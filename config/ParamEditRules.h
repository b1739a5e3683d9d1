#pragma once

// Whether a value typed into the value dialog may replace a row's value. Pure
// decisions, so the dialog and its tests share them without a window.

#include "config/Catalogue.h"

#include <QCoreApplication>
#include <QLocale>
#include <QString>
#include <QStringList>

namespace gencfg {

struct EditVerdict
{
    bool accepted = true;
    QString warning; // empty when accepted

    static EditVerdict accept() { return {}; }
    static EditVerdict refuse(const QString &warning) { return {false, warning}; }
};

namespace EditWarnings {
inline QString notNumber()
{
    return QCoreApplication::translate("EditWarnings", "Значение должно быть числом");
}
inline QString outOfRange()
{
    return QCoreApplication::translate("EditWarnings", "Значение вне диапазона");
}
inline QString notInteger()
{
    return QCoreApplication::translate("EditWarnings", "Значение должно быть целым числом");
}
inline QString phoneDigits()
{
    return QCoreApplication::translate("EditWarnings", "Номер должен содержать 10 цифр");
}
inline QString textTooLong(int width)
{
    return QCoreApplication::translate("EditWarnings", "Текст длиннее %1 символов").arg(width);
}
inline QString textBadCharacters()
{
    return QCoreApplication::translate("EditWarnings", "Текст содержит недопустимые символы");
}
inline QString notAnOption(const QStringList &options)
{
    QStringList quoted;
    for (const QString &option : options)
        quoted.append(QCoreApplication::translate("EditWarnings", "«%1»").arg(option));
    return QCoreApplication::translate("EditWarnings", "Значение должно быть одним из: %1")
        .arg(quoted.join(QStringLiteral(", ")));
}
inline QString separator()
{
    return QCoreApplication::translate("EditWarnings", "Значение не может содержать символ ;");
}
} // namespace EditWarnings

// A decimal number in the locale's format; an explicit "+" is allowed, group
// separators and non-finite values are not.
bool ParseDecimal(const QString &text, const QLocale &locale, double *value = nullptr);

// The verdict on text typed into the edit field for a row; its size, kind and limits decide.
EditVerdict CheckTypedValue(const CatalogueRow &row, const QString &text, const QLocale &locale = QLocale());

// The verdict on text chosen in an option row's list: exactly one of the
// row's option texts, for the codec would store any other as another option.
EditVerdict CheckChosenOption(const CatalogueRow &row, const QString &text);

} // namespace gencfg
