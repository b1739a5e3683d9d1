#include "service/ServiceChange.h"

#include "config/MemoryMap.h"
#include "link/DeviceText.h"
#include "service/ServicePayloads.h"

#include <QCoreApplication>

namespace gencfg {

namespace {

QString beforeText(const std::optional<QString> &before)
{
    return before.value_or(QCoreApplication::translate("ServiceChange", "неизвестно"));
}

} // namespace

QString MotorHoursText(quint32 minutes)
{
    return QCoreApplication::translate("ServiceChange", "%1 ч %2 мин").arg(minutes / 60).arg(minutes % 60);
}

quint32 MotorMinutesOf(const ConfigImageBytes &image)
{
    quint32 minutes = 0;
    for (int i = 0; i < 4; ++i)
        minutes = (minutes << 8) | image[size_t(MotoclockAddress + i)];
    return minutes;
}

QString SerialTextOf(const ConfigImageBytes &image)
{
    QByteArray bytes;
    for (int i = 0; i < SerialNumberLength; ++i) {
        const quint8 byte = image[size_t(SerialNumberAddress + i)];
        // Erased or blank memory ends the number, as the controller ends a stored text.
        if (byte == 0 || byte == 0xFF)
            break;
        bytes.append(char(byte));
    }
    // Shown in a question and kept in a file: nothing the controller holds may pass as control codes.
    return PrintableText(QString::fromLatin1(bytes));
}

QString ReplaceQuestion(const ServiceChange &change)
{
    return QCoreApplication::translate("ServiceChange", "Заменить %1 на %2?")
        .arg(beforeText(change.before), change.after);
}

QString ReplaceCaption(const ServiceChange &change)
{
    return change.what == ServiceChange::MotorHours
               ? QCoreApplication::translate("ServiceChange", "Счетчик моточасов")
               : QCoreApplication::translate("ServiceChange", "Серийный номер устройства");
}

QString ReplaceButtonText()
{
    return QCoreApplication::translate("ServiceChange", "Заменить");
}

QString ServiceSentText(const ServiceChange &change)
{
    return QCoreApplication::translate("ServiceChange", "Отправлено: %1 %2 (было %3)")
        .arg(ReplaceCaption(change).toLower(), change.after, beforeText(change.before));
}

QString FormerValueText(const std::optional<QString> &before)
{
    return QCoreApplication::translate("ServiceChange", "Прежнее значение: %1").arg(beforeText(before));
}

QString UnsetSerialText()
{
    return QCoreApplication::translate("ServiceChange", "не задан");
}

QString ServiceWhatName(ServiceChange::What what)
{
    return what == ServiceChange::MotorHours ? QStringLiteral("motor_hours") : QStringLiteral("serial");
}

} // namespace gencfg
