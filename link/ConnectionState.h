#pragma once

// What the window is connected to, as the status bar tells it: the port, the
// adapter behind it, and whether a controller is heard on it.

#include <QObject>
#include <QString>
#include <QTimer>

class QSerialPortInfo;

namespace gencfg {

class ConnectionState : public QObject
{
    Q_OBJECT
    Q_PROPERTY(State state READ state NOTIFY changed)
    Q_PROPERTY(QString text READ text NOTIFY changed)
public:
    enum class State { NotConnected, Connected, NoData, RecordingShown };
    Q_ENUM(State)

    // A controller sends its status frame every second or so: this long without a frame is silence.
    static constexpr int DefaultSilenceMs = 3000;

    explicit ConnectionState(QObject *parent = nullptr);

    State state() const;
    // The port and adapter, then the state: "/dev/ttyUSB0 (FT232R USB UART, FTDI) — Подключено".
    QString text() const;

    // The port open now, and the adapter behind it; an empty port for none.
    void showPort(const QString &port, const QString &adapter);
    // The same, with the adapter looked up when the port is another than shown.
    void followPort(const QString &port);
    // A recording plays in place of a port; an empty name ends it.
    void showRecording(const QString &fileName);
    // A frame came from the controller.
    void frameReceived();
    void setSilenceMs(int ms) { m_silence.setInterval(ms); }

    static QString StateText(State state);
    static QString Text(State state, const QString &port, const QString &adapter);
    // The adapter as its driver describes it, without saying the maker twice; empty when nothing is known.
    static QString AdapterText(const QString &description, const QString &manufacturer);
    static QString AdapterText(const QSerialPortInfo &info);
    // The adapter behind a port by its path or name; empty for a network port or a pseudo-terminal.
    static QString AdapterOf(const QString &port);

Q_SIGNALS:
    void changed();

private:
    void setHeard(bool heard);

    QString m_port;
    QString m_adapter;
    QString m_recording;
    bool m_heard = false;
    QTimer m_silence;
};

} // namespace gencfg
