#pragma once

// A parameter's value as the controller codes it: a whole number, an option's
// code, or a text (names, phone digits); none for headings and values not read yet.

#include <QString>
#include <QtGlobal>

namespace gencfg {

struct ParamValue
{
    enum class Type : quint8 { None, Number, Option, Text };

    Type type = Type::None;
    qint64 number = 0; // a number, or an option's code
    QString text;

    static ParamValue ofNumber(qint64 n) { return {Type::Number, n, {}}; }
    static ParamValue ofOption(int code) { return {Type::Option, code, {}}; }
    static ParamValue ofText(const QString &t) { return {Type::Text, 0, t}; }

    bool isNone() const { return type == Type::None; }
    bool isNumber() const { return type == Type::Number; }
    bool isOption() const { return type == Type::Option; }
    bool isText() const { return type == Type::Text; }
};

inline bool operator==(const ParamValue &a, const ParamValue &b)
{
    return a.type == b.type && a.number == b.number && a.text == b.text;
}
inline bool operator!=(const ParamValue &a, const ParamValue &b)
{
    return !(a == b);
}

} // namespace gencfg
