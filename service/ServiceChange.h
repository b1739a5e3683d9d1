#pragma once

// A value the technician replaces in the controller's memory (the engine-hour
// counter or the serial number): what it was, what it becomes, and the texts
// that ask for it, report it and keep it.

#include "config/ConfigImage.h"

#include <QDateTime>
#include <QString>
#include <optional>

namespace gencfg {

struct ServiceChange
{
    enum What { MotorHours, SerialNumber };
    What what = MotorHours;
    std::optional<QString> before; // as the controller last told it; nothing when unknown
    QString after;
    QDateTime time;
};

// "1234 ч 58 мин"
QString MotorHoursText(quint32 minutes);
// The counter and the serial number as a parameter image holds them.
quint32 MotorMinutesOf(const ConfigImageBytes &image);
QString SerialTextOf(const ConfigImageBytes &image);

// A serial number the controller holds blank.
QString UnsetSerialText();

// "Заменить 1234 ч 58 мин на 0 ч 0 мин?"
QString ReplaceQuestion(const ServiceChange &change);
QString ReplaceCaption(const ServiceChange &change);
QString ReplaceButtonText();
// The status bar's word once the controller took it.
QString ServiceSentText(const ServiceChange &change);
// "Прежнее значение: 1234 ч 58 мин", as gencfg-cli prints it.
QString FormerValueText(const std::optional<QString> &before);
// "motor_hours" or "serial", as the visit archive names it.
QString ServiceWhatName(ServiceChange::What what);

} // namespace gencfg
