#pragma once

// The system's own texts as the tests expect them, spelled out here once
// rather than taken from the code they check.

#include <QString>

namespace gencfg::test {

inline const QString ReadDone = QStringLiteral("Параметры успешно прочитаны из устройства.");
inline const QString WriteDone = QStringLiteral("Параметры успешно записаны в устройство.");
inline const QString NoLink =
    QStringLiteral("Нет связи. Устройство занято или не подключено. Попробуйте еще раз.");
inline const QString PortGone = QStringLiteral("Порт закрыт: устройство отключено");
inline const QString ReadText = QStringLiteral("Чтение параметров из устройства...");
inline const QString WriteText = QStringLiteral("Запись параметров в устройство...");

} // namespace gencfg::test
