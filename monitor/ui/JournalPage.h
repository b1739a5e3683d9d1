#pragma once

// The "Журнал событий" page: the event and alarm journals side by side, read
// from the controller entry by entry.

#include "monitor/JournalBook.h"

#include <QWidget>
#include <functional>
#include <utility>

class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace gencfg {

class DeviceLink;
class Messages;

class JournalPage : public QWidget
{
    Q_OBJECT
public:
    explicit JournalPage(QWidget *parent = nullptr);

    void attach(DeviceLink &link, Messages &messages);
    // Places every control at its fractions of the page control's size, above a status bar of height sb.

    // Starts the reading; ignored while another operation runs.
    void readJournals();
    // Back to nothing read: both lists say so and the entries are forgotten, being another port's.
    void clear();
    // "-пусто-": what a list holds before the first reading.
    static QString EmptyJournalText();
    // Names the controller a reading starts on, for the saved file: its serial number (empty when not
    // known) and variant code.
    using ControllerSource = std::function<std::pair<QString, quint8>()>;
    void setControllerSource(ControllerSource source) { m_controller = std::move(source); }

    // "Сохранить журналы": both journals as one CSV file.
    void saveJournals();

    // What reads the device, or the journals while they are read, for the window's enabling rule.
    QList<QWidget *> deviceControls() const;
    // What reaches the controller: off while no port is open.
    QList<QWidget *> controllerControls() const;

Q_SIGNALS:
    // The status bar's progress text; empty when no reading runs.
    void progressText(const QString &text);
    // A reading that went to its end, missing entries and all.
    void journalsRead(const gencfg::JournalBook &journals);

private:
    QLabel *m_eventsCaption = nullptr;
    QLabel *m_alarmsCaption = nullptr;
    QPlainTextEdit *m_eventList = nullptr; // events
    QPlainTextEdit *m_alarmList = nullptr; // alarms
    QPushButton *m_readJournalsButton = nullptr;
    QPushButton *m_saveJournalsButton = nullptr;
    // Entries asked so far, under the lists while a reading runs.
    QProgressBar *m_progressBar = nullptr;

    // A line at its entry's row: entries asked once more come after later ones.
    void showEntry(JournalSelector journal, int row, const QString &line);

    DeviceLink *m_link = nullptr;
    Messages *m_messages = nullptr;
    // What the lists show, entry by entry.
    JournalBook m_book;
    ControllerSource m_controller;
};

} // namespace gencfg
