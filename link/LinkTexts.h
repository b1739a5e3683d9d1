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

} // namespace gencfg
