#pragma once

// The system's own texts as the tests expect them, spelled out here once
// rather than taken from the code they check.

#include <QString>

namespace gencfg::test {

inline const QString ReadDone = QStringLiteral("Параметры успешно прочитаны из устройства.");
inline const QString WriteDone = QStringLiteral("Параметры успешно записаны в устройство.");
inline const QString UnprovenWrite =
    QStringLiteral("Запись не подтверждена: устройство вернуло другие значения.");
inline const QString NoLink =
    QStringLiteral("Нет связи. Устройство занято или не подключено. Попробуйте еще раз.");
inline const QString PortGone = QStringLiteral("Порт закрыт: устройство отключено");
inline const QString PortBack = QStringLiteral("Порт открыт снова: %1");
inline const QString PortBusyMark = QStringLiteral(" — занят");
inline const QString JoinGroupHint = QStringLiteral("Нет прав на порт: добавьте пользователя %1 в группу %2 "
                                                    "(sudo usermod -aG %2 %1) и войдите в систему заново.");
inline const QString ReadText = QStringLiteral("Чтение параметров из устройства...");
inline const QString WriteText = QStringLiteral("Запись параметров в устройство...");
// A row whose value lies outside its limits; %1 and %2 are the limits.
inline const QString OutsideLimitsMark = QStringLiteral("Вне допустимых пределов: %1…%2");
inline const QString NotWrittenOutsideLimits =
    QStringLiteral("Параметры не записаны: значения вне допустимых пределов.");

} // namespace gencfg::test
