#include "monitor/TrafficLog.h"

#include "config/FileWriting.h"

namespace gencfg {

void TrafficLog::setFileName(const QString &name)
{
    if (name == m_fileName)
        return;
    m_fileName = name;
    if (isOn()) {
        close();
        open();
    }
}

void TrafficLog::chooseFileName()
{
    if (m_askFileName)
        m_askFileName(m_fileName, [this](const QString &name) {
            if (!name.isEmpty())
                setFileName(name);
        });
}

void TrafficLog::switchChanged(const QObject *lamp, bool lit)
{
    if (lit)
        m_lit.insert(lamp);
    else
        m_lit.remove(lamp);
    if (m_fileName.isEmpty()) {
        Q_EMIT nameMissing();
        return;
    }
    if (m_lit.isEmpty())
        close();
    else if (!isOn())
        open();
}

void TrafficLog::switchOff(const QObject *lamp)
{
    m_lit.remove(lamp);
    if (m_lit.isEmpty())
        close();
}

void TrafficLog::write(const QByteArray &line)
{
    // On disk at once: a line in a buffer would be lost if the program were killed.
    if (!m_file.append(line + "\r\n"))
        fail(tr("Не удалось записать в LOG-файл %1: %2").arg(m_fileName, m_file.errorString()));
}

void TrafficLog::open()
{
    // Opening a pipe would freeze the window until a reader came.
    if (const QString refusal = WriteTargetRefusal(m_fileName); !refusal.isEmpty())
        fail(refusal);
    else if (!m_file.open(m_fileName))
        fail(tr("Не удалось открыть LOG-файл %1: %2").arg(m_fileName, m_file.errorString()));
    else
        Q_EMIT onChanged(true);
}

void TrafficLog::close()
{
    if (!isOn())
        return;
    m_file.close();
    Q_EMIT onChanged(false);
}

void TrafficLog::fail(const QString &text)
{
    m_lit.clear();
    m_file.close();
    // Every switch goes out, lit or not before.
    Q_EMIT onChanged(false);
    Q_EMIT failed(text);
}

} // namespace gencfg
