#pragma once

// The "Дополнительно" page: one-shot service commands, the service code and
// the log-file controls.

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;

namespace gencfg {

class SwitchLed;

class ServicePage : public QWidget
{
    Q_OBJECT
public:
    explicit ServicePage(QWidget *parent = nullptr);

    QLineEdit *Edit4 = nullptr; // service code
    QPushButton *Button14 = nullptr;
    SwitchLed *iSwitchLed4 = nullptr; // "Режим Авто"
    SwitchLed *iSwitchLed5 = nullptr; // "Режим Полу-авто"
    QLineEdit *Edit1 = nullptr; // motor hours
    QLineEdit *Edit2 = nullptr; // motor minutes
    QPushButton *Button7 = nullptr;
    QLineEdit *Edit3 = nullptr; // serial number
    QPushButton *Button10 = nullptr;
    QLineEdit *Edit5 = nullptr; // run time, hours
    QLineEdit *Edit6 = nullptr; // run time, minutes
    QPushButton *Button16 = nullptr; // "Старт"
    QLineEdit *Edit7 = nullptr; // wait time, hours
    QLineEdit *Edit8 = nullptr; // wait time, minutes
    QPushButton *Button17 = nullptr; // "Стоп"
    QPushButton *Button8 = nullptr; // "Тест SMS"
    QPushButton *Button9 = nullptr; // "Тест GPRS"
    QPushButton *Button11 = nullptr; // "Перезагрузка модема"
    QPushButton *Button12 = nullptr; // "Синхронизация системного времени"
    QPushButton *Button15 = nullptr; // "Имя LOG-файла"
    SwitchLed *iSwitchLed3 = nullptr; // "Вести LOG-файл"

    // The controls the service code unlocks.
    QList<QWidget *> lockedControls() const;
    // The controls that send something to the controller.
    QList<QWidget *> deviceControls() const;

Q_SIGNALS:
    // The service code was confirmed: the locked commands and the terminal page open.
    void serviceUnlocked();
};

} // namespace gencfg
