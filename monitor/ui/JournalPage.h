#pragma once

// The "Журнал событий" page: the event and alarm journals side by side.

#include <QWidget>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace gencfg {

class JournalPage : public QWidget
{
    Q_OBJECT
public:
    explicit JournalPage(QWidget *parent = nullptr);

    QLabel *Label19 = nullptr;
    QLabel *Label20 = nullptr;
    QPlainTextEdit *Memo3 = nullptr; // events
    QPlainTextEdit *Memo4 = nullptr; // alarms
    QPushButton *Button13 = nullptr;
};

} // namespace gencfg
