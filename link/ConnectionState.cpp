#include "link/ConnectionState.h"

#include "link/NetworkPortName.h"

#include <QCoreApplication>
#include <QSerialPortInfo>

namespace gencfg {

ConnectionState::ConnectionState(QObject *parent) : QObject(parent)
{
    m_silence.setSingleShot(true);
    m_silence.setInterval(DefaultSilenceMs);
    connect(&m_silence, &QTimer::timeout, this, [this] { setHeard(false); });
}

ConnectionState::State ConnectionState::state() const
{
    if (!m_recording.isEmpty())
        return State::RecordingShown;
    if (m_port.isEmpty())
        return State::NotConnected;
    return m_heard ? State::Connected : State::NoData;
}

QString ConnectionState::text() const
{
    if (state() == State::RecordingShown)
        return Text(State::RecordingShown, m_recording, QString());
    return Text(state(), m_port, m_adapter);
}

void ConnectionState::showPort(const QString &port, const QString &adapter)
{
    if (port == m_port && adapter == m_adapter)
        return;
    // Another port: what was heard on the last one says nothing about this one.
    if (port != m_port) {
        m_heard = false;
        m_silence.stop();
    }
    m_port = port;
    m_adapter = adapter;
    Q_EMIT changed();
}

void ConnectionState::followPort(const QString &port)
{
    if (port != m_port)
        showPort(port, AdapterOf(port));
}

void ConnectionState::showRecording(const QString &fileName)
{
    if (fileName == m_recording)
        return;
    m_recording = fileName;
    Q_EMIT changed();
}

void ConnectionState::frameReceived()
{
    if (m_port.isEmpty())
        return;
    m_silence.start();
    setHeard(true);
}

void ConnectionState::setHeard(bool heard)
{
    if (heard == m_heard)
        return;
    m_heard = heard;
    Q_EMIT changed();
}

QString ConnectionState::StateText(State state)
{
    switch (state) {
    case State::Connected:
        return QCoreApplication::translate("ConnectionState", "Подключено");
    case State::NoData:
        return QCoreApplication::translate("ConnectionState", "Нет данных");
    case State::RecordingShown:
        return QCoreApplication::translate("ConnectionState", "Показана запись");
    case State::NotConnected:
        break;
    }
    return QCoreApplication::translate("ConnectionState", "Не подключено");
}

QString ConnectionState::Text(State state, const QString &port, const QString &adapter)
{
    if (port.isEmpty())
        return StateText(state);
    const QString source = adapter.isEmpty() ? port : QStringLiteral("%1 (%2)").arg(port, adapter);
    return QStringLiteral("%1 — %2").arg(source, StateText(state));
}

QString ConnectionState::AdapterText(const QString &description, const QString &manufacturer)
{
    const QString what = description.trimmed();
    const QString maker = manufacturer.trimmed();
    if (maker.isEmpty() || what.contains(maker, Qt::CaseInsensitive))
        return what;
    if (what.isEmpty())
        return maker;
    return QStringLiteral("%1, %2").arg(what, maker);
}

QString ConnectionState::AdapterText(const QSerialPortInfo &info)
{
    return AdapterText(info.description(), info.manufacturer());
}

QString ConnectionState::AdapterOf(const QString &port)
{
    if (port.isEmpty() || IsNetworkPortName(port))
        return {};
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts()) {
        if (info.systemLocation() == port || info.portName() == port)
            return AdapterText(info);
    }
    return {};
}

} // namespace gencfg
