#pragma once

// Texts as the controller stores them: single-byte Windows-1251, ended in its
// memory by the first byte of 0x7B or more.

#include <QString>

class QTextCodec;

namespace gencfg {

constexpr quint8 DeviceTextEnd = 0x7B;

// The Windows-1251 codec; never null where Qt's codecs are installed.
QTextCodec *DeviceTextCodec();

// Characters as a technician counts them: a character outside the Basic
// Multilingual Plane (two UTF-16 units) is one.
int CharacterCount(const QString &text);

// Whether text holds ";". A text read from a controller ends before the first one, so no
// parameter value holds it, and what is written must not either.
bool HoldsValueEnd(const QString &text);

// A controller's text bytes as text, ended before the first ";".
QString TextFromDevice(const QByteArray &bytes);

// The first character of text that a text stored in the controller cannot
// hold, whole as typed, or an empty string when all of them fit: one without a
// Windows-1251 code below DeviceTextEnd, or ";".
QString FirstUnstorableCharacter(const QString &text);

// Text that came from a controller, safe to print, show or store: every control
// or format character (C0, DEL, C1, bidirectional marks) becomes "\\xHH" or
// "\\uHHHH", so a terminal, a ledger or a file name never acts on it.
QString PrintableText(const QString &text);

} // namespace gencfg
