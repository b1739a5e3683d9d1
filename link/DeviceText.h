#pragma once

// Texts as the controller stores them: single-byte Windows-1251, ended in its
// memory by the first byte of 0x7B or more.

#include <QtGlobal>

class QTextCodec;

namespace gencfg {

constexpr quint8 DeviceTextEnd = 0x7B;

// The Windows-1251 codec; never null where Qt's codecs are installed.
QTextCodec *DeviceTextCodec();

} // namespace gencfg
