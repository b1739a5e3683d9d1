#pragma once

// What the window tells when it turns from one source of frames to another: a port picked or lost, a
// session recording opened or closed.

#include <QCoreApplication>
#include <QString>

namespace gencfg {

// Why a session recording ended without the user switching it off.
enum class SourceChange { PortPicked, PortLost, RecordingOpened };

// "Запись сеанса site.gcrec завершена: выбран другой порт"
inline QString SessionRecordingEndedText(const QString &fileName, SourceChange change)
{
    switch (change) {
    case SourceChange::PortPicked:
        return QCoreApplication::translate("SourceTexts", "Запись сеанса %1 завершена: выбран другой порт")
            .arg(fileName);
    case SourceChange::PortLost:
        return QCoreApplication::translate("SourceTexts", "Запись сеанса %1 завершена: порт потерян")
            .arg(fileName);
    case SourceChange::RecordingOpened:
        return QCoreApplication::translate("SourceTexts", "Запись сеанса %1 завершена: открыта запись сеанса")
            .arg(fileName);
    }
    return {};
}

// The port that was live before a recording was shown could not be opened again.
inline QString LivePortGoneText(const QString &port, const QString &failure)
{
    return QCoreApplication::translate("SourceTexts", "Порт %1 не открыт снова после записи сеанса:\n%2")
        .arg(port, failure);
}

// The trends' CSV file follows the live controller only.
inline QString CsvPausedText()
{
    return QCoreApplication::translate("SourceTexts", "Запись в файл приостановлена: показана запись сеанса");
}

inline QString CsvStoppedText()
{
    return QCoreApplication::translate("SourceTexts", "Запись в файл остановлена: порт не открыт снова");
}

} // namespace gencfg
