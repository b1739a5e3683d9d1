#pragma once

// The "Журнал событий" page: the event and alarm journals side by side, read
// from the controller entry by entry.

#include <QWidget>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace gencfg {

class DeviceLink;

class JournalPage : public QWidget
{
    Q_OBJECT
public:
    explicit JournalPage(QWidget *parent = nullptr);

    void attach(DeviceLink &link);

    QLabel *Label19 = nullptr;
    QLabel *Label20 = nullptr;
    QPlainTextEdit *Memo3 = nullptr; // events
    QPlainTextEdit *Memo4 = nullptr; // alarms
    QPushButton *Button13 = nullptr;

    // Holds the link for the whole reading; ignored while anything else holds it.
    void Button13Click();
    void ReadJournals();

private:
    DeviceLink *m_link = nullptr;
};

} // namespace gencfg
