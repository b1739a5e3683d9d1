#pragma once

// Numbers written straight into a byte buffer, for output of many records.

#include <QByteArray>
#include <charconv>

namespace gencfg {

inline void AppendDecimal(QByteArray &out, qint64 number)
{
    char digits[24];
    const std::to_chars_result end = std::to_chars(digits, digits + sizeof digits, number);
    out.append(digits, int(end.ptr - digits));
}

} // namespace gencfg
