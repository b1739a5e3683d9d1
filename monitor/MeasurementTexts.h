#pragma once

// The captions and units of the measurement page; gencfg-cli's status prints
// the same readings under the same words, and the recording file keeps them
// in Russian (TextUse::Stored).

#include "link/TextUse.h"

#include <QString>

namespace gencfg {

inline QString DeviceModeCaption(TextUse use = TextUse::Shown)
{
    return TextFor("Measurement", QT_TRANSLATE_NOOP("Measurement", "Режим работы устройства"), use);
}
inline QString PhaseACaption(TextUse use = TextUse::Shown)
{
    return TextFor("Measurement", QT_TRANSLATE_NOOP("Measurement", "Фаза А"), use);
}
inline QString PhaseBCaption(TextUse use = TextUse::Shown)
{
    return TextFor("Measurement", QT_TRANSLATE_NOOP("Measurement", "Фаза B"), use);
}
inline QString PhaseCCaption(TextUse use = TextUse::Shown)
{
    return TextFor("Measurement", QT_TRANSLATE_NOOP("Measurement", "Фаза С"), use);
}
inline QString GeneratorPhaseCaption(TextUse use = TextUse::Shown)
{
    return TextFor("Measurement", QT_TRANSLATE_NOOP("Measurement", "Фаза ГУ"), use);
}
inline QString StarterBatteryCaption(TextUse use = TextUse::Shown)
{
    return TextFor("Measurement", QT_TRANSLATE_NOOP("Measurement", "Напряжение АКБ"), use);
}
inline QString UpsBatteryCaption(TextUse use = TextUse::Shown)
{
    return TextFor("Measurement", QT_TRANSLATE_NOOP("Measurement", "Напряжение ИБП"), use);
}
inline QString MotoclockCaption(TextUse use = TextUse::Shown)
{
    return TextFor("Measurement", QT_TRANSLATE_NOOP("Measurement", "Счетчик моточасов"), use);
}
inline QString MaintenanceCaption(TextUse use = TextUse::Shown)
{
    return TextFor("Measurement", QT_TRANSLATE_NOOP("Measurement", "До проведения ТО"), use);
}
inline QString DeviceClockCaption(TextUse use = TextUse::Shown)
{
    return TextFor("Measurement", QT_TRANSLATE_NOOP("Measurement", "Системное время"), use);
}
inline QString SignalCaption(TextUse use = TextUse::Shown)
{
    return TextFor("Measurement", QT_TRANSLATE_NOOP("Measurement", "Уровень GSM сигнала"), use);
}
inline QString NetworkRegistrationCaption(TextUse use = TextUse::Shown)
{
    return TextFor("Measurement", QT_TRANSLATE_NOOP("Measurement", "Резистрация в сети"), use);
}
inline QString TemperaturesCaption(TextUse use = TextUse::Shown)
{
    return TextFor("Measurement", QT_TRANSLATE_NOOP("Measurement", "Датчики температуры"), use);
}

// Units texts as the displays show them after the number.
inline QString VoltUnits(TextUse use = TextUse::Shown)
{
    return TextFor("Measurement", QT_TRANSLATE_NOOP("Measurement", "В"), use);
}
inline QString UpsVoltUnits(TextUse use = TextUse::Shown)
{
    return TextFor("Measurement", QT_TRANSLATE_NOOP("Measurement", " В"), use);
}
inline QString DbmUnits(TextUse use = TextUse::Shown)
{
    return TextFor("Measurement", QT_TRANSLATE_NOOP("Measurement", "дБм"), use);
}

} // namespace gencfg
