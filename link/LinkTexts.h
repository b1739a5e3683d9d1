#pragma once

// What the window and the command line tell about the link and its operations.

#include <QString>

namespace gencfg {

// A transfer or a journal reading that found no controller.
inline QString NoAnswerText()
{
    return QStringLiteral("Нет связи. Устройство занято или не подключено. Попробуйте еще раз.");
}

// A service command whose controller did not become ready.
inline QString NotReadyText()
{
    return QStringLiteral("глююююк");
}

// A frame the port did not take whole.
inline QString WriteFailedText()
{
    return QStringLiteral("Ошибка записи в порт: команда не отправлена.");
}

inline QString PortLostText()
{
    return QStringLiteral("Порт закрыт: устройство отключено");
}

// The adapter came back and its port is open again; name as the port chooser shows it.
inline QString PortReopenedText(const QString &name)
{
    return QStringLiteral("Порт открыт снова: %1").arg(name);
}

// The line after "Can't open device ..." for a user outside the port's group.
inline QString PortPermissionHintText(const QString &group, const QString &userName)
{
    return QStringLiteral("Нет прав на порт: добавьте пользователя %1 в группу %2 "
                          "(sudo usermod -aG %2 %1) и войдите в систему заново.")
        .arg(userName, group);
}

} // namespace gencfg
