#pragma once

// The "Терминал+лог" page: the raw traffic, numbered and time-stamped, the
// switch and name button of the log the received lines can be written to, and
// those of the session recording the window keeps.

#include "widgets/SaveFileDialog.h"

#include <QDateTime>
#include <QWidget>
#include <functional>

class QPlainTextEdit;
class QPushButton;

namespace gencfg {

class Messages;
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

    // What the window locks while an operation runs.
    QList<QWidget *> deviceControls() const;
    // What the window locks while a recording plays: there is no session to record.
    QList<QWidget *> sessionRecordingControls() const;

    // The session recording's file name, as chosen or given on the command line.
    QString sessionFileName() const { return m_sessionFileName; }
    void setSessionFileName(const QString &path);
    // The "Запись сеанса" lamp, as the window's recording is on or off.
    void showSessionRecording(bool on);

    // One arrival's worth of received text that now holds a carriage return.
    void terminalStep(const QByteArray &lineText);
    // A sent frame with its "<< " or "<<" mark: always shown, never numbered.
    void appendEcho(const QByteArray &line);

Q_SIGNALS:
    // The user switched the session recording on, to the named file, or off.
    void sessionRecordingSwitched(bool on, const QString &path);

private:
    void onSessionSwitch(bool on);
    // Asks for the session recording's file name; empty when the user cancels.
    void askSessionFileName(const FileChosen &chosen);

    QPushButton *m_logFileButton = nullptr; // "Имя файла"
    QPlainTextEdit *m_trafficView = nullptr;
    SwitchLed *m_showTrafficSwitch = nullptr;   // "Отображать данные"
    QPushButton *m_clearButton = nullptr;       // "Очистить "
    SwitchLed *m_logSwitch = nullptr;           // "Вести лог"
    QPushButton *m_sessionFileButton = nullptr; // "Файл записи"
    SwitchLed *m_sessionRecordSwitch = nullptr; // "Запись сеанса"
    QString m_sessionFileName;

    qint64 m_lineNumber = 0;
    bool m_displayData = false;
    TrafficLog &m_log;
    Messages *m_messages = nullptr;
    Clock m_clock = &QDateTime::currentDateTime;
};

} // namespace gencfg
