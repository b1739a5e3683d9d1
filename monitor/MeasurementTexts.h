#pragma once

// The captions and units of the measurement page; gencfg-cli's status prints
// the same readings under the same words.

#include <QString>

namespace gencfg {

inline QString DeviceModeCaption()
{
    return QStringLiteral("Режим работы устройства");
}
inline QString PhaseACaption()
{
    return QStringLiteral("Фаза А");
}
inline QString PhaseBCaption()
{
    return QStringLiteral("Фаза B");
}
inline QString PhaseCCaption()
{
    return QStringLiteral("Фаза С");
}
inline QString GeneratorPhaseCaption()
{
    return QStringLiteral("Фаза ГУ");
}
inline QString StarterBatteryCaption()
{
    return QStringLiteral("Напряжение АКБ");
}
inline QString UpsBatteryCaption()
{
    return QStringLiteral("Напряжение ИБП");
}
inline QString MotoclockCaption()
{
    return QStringLiteral("Счетчик моточасов");
}
inline QString MaintenanceCaption()
{
    return QStringLiteral("До проведения ТО");
}
inline QString DeviceClockCaption()
{
    return QStringLiteral("Системное время");
}
inline QString SignalCaption()
{
    return QStringLiteral("Уровень GSM сигнала");
}
inline QString NetworkRegistrationCaption()
{
    return QStringLiteral("Резистрация в сети");
}
inline QString TemperaturesCaption()
{
    return QStringLiteral("Датчики температуры");
}

// Units texts as the displays show them after the number.
inline QString VoltUnits()
{
    return QStringLiteral("В");
}
inline QString UpsVoltUnits()
{
    return QStringLiteral(" В");
}
inline QString DbmUnits()
{
    return QStringLiteral("дБм");
}

} // namespace gencfg
