#pragma once

// The "Журнал событий" page: the event and alarm journals side by side, read
// from the controller entry by entry.

#include "monitor/Journal.h"

#include <QVector>
#include <QWidget>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace gencfg {

class Placer;

class DeviceLink;
class Messages;

class JournalPage : public QWidget
{
    Q_OBJECT
public:
    explicit JournalPage(QWidget *parent = nullptr);

    void attach(DeviceLink &link, Messages &messages);
    // Places every control at its fractions of the page control's size, above a status bar of height sb.
    void placeChildren(const Placer &p, int sb);

    // Starts the reading; ignored while another operation runs.
    void readJournals();

    // What reads the device, for the window's enabling rule.
    QList<QWidget *> deviceControls() const;

Q_SIGNALS:
    // The status bar's progress text; empty when no reading runs.
    void progressText(const QString &text);

private:
    QLabel *eventsCaption = nullptr;
    QLabel *alarmsCaption = nullptr;
    QPlainTextEdit *eventList = nullptr; // events
    QPlainTextEdit *alarmList = nullptr; // alarms
    QPushButton *readJournalsButton = nullptr;

    // A line at its entry's place: entries asked once more come after later ones.
    void showEntry(JournalSelector journal, int index, const QString &line);

    DeviceLink *m_link = nullptr;
    Messages *m_messages = nullptr;
    // The entry index of each line of the two journals, in line order.
    QVector<int> m_shownIndices[2];
};

} // namespace gencfg
