#pragma once

// The "Дополнительно" page: one-shot service commands, the service code and
// the log-file controls.

#include <QDateTime>
#include <QWidget>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace gencfg {

class DeviceLink;
class Messages;
class SwitchLed;
struct OperationStep;
struct ServicePayload;

class ServicePage : public QWidget
{
    Q_OBJECT
public:
    using Clock = std::function<QDateTime()>;

    explicit ServicePage(QWidget *parent = nullptr);

    void attach(DeviceLink &link, Messages &messages);
    // The local clock the controller's clock is set from.
    void setClock(Clock clock) { m_clock = std::move(clock); }

    QLineEdit *Edit4 = nullptr; // service code
    QPushButton *Button14 = nullptr;
    SwitchLed *iSwitchLed4 = nullptr; // "Режим Авто"
    SwitchLed *iSwitchLed5 = nullptr; // "Режим Полу-авто"
    QLineEdit *Edit1 = nullptr;       // motor hours
    QLineEdit *Edit2 = nullptr;       // motor minutes
    QPushButton *Button7 = nullptr;
    QLineEdit *Edit3 = nullptr; // serial number
    QPushButton *Button10 = nullptr;
    QLineEdit *Edit5 = nullptr;       // run time, hours
    QLineEdit *Edit6 = nullptr;       // run time, minutes
    QPushButton *Button16 = nullptr;  // "Старт"
    QLineEdit *Edit7 = nullptr;       // wait time, hours
    QLineEdit *Edit8 = nullptr;       // wait time, minutes
    QPushButton *Button17 = nullptr;  // "Стоп"
    QPushButton *Button8 = nullptr;   // "Тест SMS"
    QPushButton *Button9 = nullptr;   // "Тест GPRS"
    QPushButton *Button11 = nullptr;  // "Перезагрузка модема"
    QPushButton *Button12 = nullptr;  // "Синхронизация системного времени"
    QPushButton *Button15 = nullptr;  // "Имя LOG-файла"
    SwitchLed *iSwitchLed3 = nullptr; // "Вести LOG-файл"

    // The controls the service code unlocks.
    QList<QWidget *> lockedControls() const;
    // The controls that send something to the controller.
    QList<QWidget *> deviceControls() const;

    // Handlers; each one that talks to the controller holds the link for its click.
    void Button8Click();
    void Button9Click();
    void Button11Click();
    void Button12Click();
    void iSwitchLed4Click();
    void iSwitchLed5Click();
    void Button16Click();
    void Button17Click();
    void Button7Click();
    void Button10Click();
    void Button14Click();

    // The controller reports automatic operation: the mode switches show which, without a word to it.
    void showAutomaticMode(bool semiauto);
    // Logging stopped elsewhere: "Вести LOG-файл" goes off.
    void logSwitchOff();

Q_SIGNALS:
    // The service code was confirmed: the locked commands and the terminal page open.
    void serviceUnlocked();
    // "Имя LOG-файла" was clicked.
    void logNameRequested();
    // The user turned "Вести LOG-файл" on or off.
    void logSwitchChanged(bool lit);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    // One frame to the controller; a controller that is not ready is reported only when asked.
    void run(const OperationStep &step, bool reportNotReady);
    void sendCommand(quint8 command, const QByteArray &data = {});
    void sendDuration(quint8 command, const QLineEdit *hours, const QLineEdit *minutes);
    void writeBlock(quint16 address, const QByteArray &data);
    // Shows why a payload is not sent; true when it is ready.
    bool ready(const ServicePayload &payload);

    DeviceLink *m_link = nullptr;
    Messages *m_messages = nullptr;
    Clock m_clock = &QDateTime::currentDateTime;
};

} // namespace gencfg
