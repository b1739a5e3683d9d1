#include "monitor/TelemetryRecording.h"

#include "config/FileWriting.h"
#include "monitor/TelemetryCsv.h"

#include <QCoreApplication>

namespace gencfg {

QString TelemetryRecording::start(const QString &path)
{
    m_file.close();
    // Opening a pipe would wait for a reader forever; a device would swallow the rows.
    if (const QString refusal = WriteTargetRefusal(path); !refusal.isEmpty())
        return refusal;
    if (!m_file.open(path))
        return QCoreApplication::translate("TelemetryCsv", "Не удалось открыть файл записи %1: %2")
            .arg(path, m_file.errorString());
    if (m_file.size() == 0)
        return writeLine(TelemetryCsvHeader());
    return {};
}

void TelemetryRecording::stop()
{
    m_file.close();
    emit stopped(QString());
}

void TelemetryRecording::append(const TelemetrySample &sample)
{
    if (!m_file.isOpen())
        return;
    if (const QString failure = writeLine(TelemetryCsvRow(sample.msecs, sample.record)); !failure.isEmpty()) {
        m_file.close();
        emit stopped(failure);
    }
}

QString TelemetryRecording::writeLine(const QString &line)
{
    if (m_file.append((line + CsvLineEnd).toUtf8()))
        return {};
    return QCoreApplication::translate("TelemetryCsv", "Не удалось записать в файл записи %1: %2")
        .arg(m_file.fileName(), m_file.errorString());
}

} // namespace gencfg
