#pragma once

// The "Терминал+лог" page: the raw traffic, numbered and time-stamped.

#include <QWidget>

class QPlainTextEdit;
class QPushButton;

namespace gencfg {

class SwitchLed;

class TerminalPage : public QWidget
{
    Q_OBJECT
public:
    explicit TerminalPage(QWidget *parent = nullptr);

    QPlainTextEdit *Memo1 = nullptr;
    SwitchLed *iSwitchLed2 = nullptr; // "Отображать данные"
    QPushButton *Button5 = nullptr;   // "Очистить "
    QPushButton *Button6 = nullptr;   // "Имя файла"
    SwitchLed *iSwitchLed1 = nullptr; // "Вести лог"
};

} // namespace gencfg
