#pragma once

// The "Терминал+лог" page: the raw traffic, numbered and time-stamped, and the
// switch and name button of the log the received lines can be written to.

#include <QDateTime>
#include <QWidget>
#include <functional>

class QPlainTextEdit;
class QPushButton;

namespace gencfg {

class Messages;
class Placer;
class SwitchLed;
class TrafficLog;

class TerminalPage : public QWidget
{
    Q_OBJECT
public:
    // The terminal keeps this many of the latest lines.
    static constexpr int MaxTerminalLines = 10000;

    using Clock = std::function<QDateTime()>;

    explicit TerminalPage(TrafficLog &log, QWidget *parent = nullptr);

    void attach(Messages &messages);
    void setClock(Clock clock) { m_clock = std::move(clock); }
    // Stretches the traffic view and keeps the buttons along the bottom and right edges.
    void placeChildren(const Placer &p, int statusBarHeight);

    // What the window locks while an operation runs.
    QList<QWidget *> deviceControls() const;

    // One arrival's worth of received text that now holds a carriage return.
    void terminalStep(const QByteArray &LineText);
    // A sent frame with its "<< " or "<<" mark: always shown, never numbered.
    void appendEcho(const QByteArray &line);

private:
    QPushButton *logFileButton = nullptr; // "Имя файла"
    QPlainTextEdit *trafficView = nullptr;
    SwitchLed *showTrafficSwitch = nullptr; // "Отображать данные"
    QPushButton *clearButton = nullptr;     // "Очистить "
    SwitchLed *logSwitch = nullptr;         // "Вести лог"

    qint64 LineNumber = 0;
    bool DisplayData = false;
    TrafficLog &m_log;
    Messages *m_messages = nullptr;
    Clock m_clock = &QDateTime::currentDateTime;
};

} // namespace gencfg
