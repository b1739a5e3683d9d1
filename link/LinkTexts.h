#pragma once

// What the window and the command line tell about the link and its operations.

#include <QCoreApplication>
#include <QString>

namespace gencfg {

// A transfer or a journal reading that found no controller.
inline QString NoAnswerText()
{
    return QCoreApplication::translate("LinkTexts",
                                       "Нет связи. Устройство занято или не подключено. Попробуйте еще раз.");
}

// A service command whose controller did not become ready.
inline QString NotReadyText()
{
    return QCoreApplication::translate("LinkTexts", "глююююк");
}

// A frame the port did not take whole.
inline QString WriteFailedText()
{
    return QCoreApplication::translate("LinkTexts", "Ошибка записи в порт: команда не отправлена.");
}

// A request asked for while no port is open.
inline QString NoPortText()
{
    return QCoreApplication::translate("LinkTexts", "Порт не выбран");
}

inline QString PortLostText()
{
    return QCoreApplication::translate("LinkTexts", "Порт закрыт: устройство отключено");
}

// A network port lost, with what the connection told.
inline QString ConnectionLostText(const QString &reason)
{
    return QCoreApplication::translate("LinkTexts", "Соединение потеряно: %1").arg(reason);
}

// The round trip of a network port, as the status bar shows it.
inline QString NetworkRoundTripText(int ms)
{
    return QCoreApplication::translate("LinkTexts", "Сеть: %1 мс").arg(ms);
}

// The adapter came back and its port is open again; name as the port chooser shows it.
inline QString PortReopenedText(const QString &name)
{
    return QCoreApplication::translate("LinkTexts", "Порт открыт снова: %1").arg(name);
}

// The line after "Can't open device ..." for a user outside the port's group.
inline QString PortPermissionHintText(const QString &group, const QString &userName)
{
    return QCoreApplication::translate("LinkTexts", "Нет прав на порт: добавьте пользователя %1 в группу %2 "
                                                    "(sudo usermod -aG %2 %1) и войдите в систему заново.")
        .arg(userName, group);
}

} // namespace gencfg
