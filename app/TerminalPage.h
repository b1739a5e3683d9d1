#pragma once

// The "Терминал+лог" page: the raw traffic, numbered and time-stamped, and the
// log file the received lines can be written to.

#include "monitor/LineAppendFile.h"

#include <QDateTime>
#include <QPointer>
#include <QWidget>
#include <functional>

class QPlainTextEdit;
class QPushButton;

namespace gencfg {

class Messages;
class SwitchLed;

class TerminalPage : public QWidget
{
    Q_OBJECT
public:
    // The terminal keeps this many of the latest lines.
    static constexpr int MaxTerminalLines = 10000;

    using Clock = std::function<QDateTime()>;
    // Asks for a log-file name, given the current one; empty when cancelled.
    using FileNameAsker = std::function<QString(const QString &current)>;

    explicit TerminalPage(QWidget *parent = nullptr);
    ~TerminalPage() override;

    void attach(Messages &messages);
    // Another page's log switch ("Вести LOG-файл"), acting as this page's own.
    void otherLogSwitchChanged(bool lit);
    void setClock(Clock clock) { m_clock = std::move(clock); }
    void setFileNameAsker(FileNameAsker asker) { m_askFileName = std::move(asker); }

    QPlainTextEdit *trafficView = nullptr;
    SwitchLed *showTrafficSwitch = nullptr; // "Отображать данные"
    QPushButton *clearButton = nullptr;     // "Очистить "
    QPushButton *logFileButton = nullptr;   // "Имя файла"
    SwitchLed *logSwitch = nullptr;         // "Вести лог"

    qint64 lineNumber() const { return LineNumber; }
    bool displayData() const { return DisplayData; }
    QString logFileName() const { return LogFileName; }
    bool logActive() const { return LogActive; }
    // A new name takes effect at once: an open log moves to the new file.
    void setLogFileName(const QString &name);

    // One arrival's worth of received text that now holds a carriage return.
    void terminalStep(const QByteArray &LineText);
    // A sent frame with its "<< " or "<<" mark: always shown, never numbered.
    void appendEcho(const QByteArray &line);

    void clearTraffic();
    void chooseLogFile();
    void logSwitchChange();
    void showTrafficSwitchChange();

Q_SIGNALS:
    // Logging stopped on a file failure: every log switch goes off.
    void logSwitchesOff();

private:
    bool anyLogSwitchLit() const;
    bool openLog();
    void closeLog();
    void writeLog(const QByteArray &line);
    // Turns logging off after a file failure and says so once the current event is over.
    void failLog(const QString &text);

    qint64 LineNumber = 0;
    bool DisplayData = false;
    QString LogFileName;
    bool LogActive = false;
    LineAppendFile LogFile;

    Messages *m_messages = nullptr;
    bool m_otherLogSwitchLit = false;
    Clock m_clock = &QDateTime::currentDateTime;
    FileNameAsker m_askFileName;
};

} // namespace gencfg
