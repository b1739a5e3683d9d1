#pragma once

// The "Дополнительно" page: one-shot service commands, the service code and
// the log-file controls.

#include "config/ConfigImage.h"
#include "service/ServiceChange.h"

#include <QDateTime>
#include <QWidget>
#include <functional>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace gencfg {

class DeviceLink;
class Messages;
class SwitchLed;
class TrafficLog;
struct OperationStep;
struct TelemetryRecord;
struct ServicePayload;

class ServicePage : public QWidget
{
    Q_OBJECT
public:
    using Clock = std::function<QDateTime()>;

    explicit ServicePage(TrafficLog &log, QWidget *parent = nullptr);

    void attach(DeviceLink &link, Messages &messages);
    // The local clock the controller's clock is set from.
    void setClock(Clock clock) { m_clock = std::move(clock); }

    // The controls the service code unlocks.
    QList<QWidget *> lockedControls() const;
    // The controls that send something to the controller.
    QList<QWidget *> deviceControls() const;
    // What reaches the controller: off while no port is open.
    QList<QWidget *> controllerControls() const;
    static QString WrongCodeText();

    // The controller reports automatic operation: the mode switches show which, without a word to it.
    void showAutomaticMode(bool semiauto);

    // What the controller holds now, from its status frame or a reading of its memory: the counter and serial
    // fields show it unless the technician typed there, and a replacement names it.
    void showControllerRecord(const TelemetryRecord &record);
    void showControllerImage(const ConfigImageBytes &image);
    // Another port: what the last controller held says nothing of the next.
    void forgetController();

Q_SIGNALS:
    // A replacement the controller took: for the status bar and the visit archive.
    void serviceSent(const gencfg::ServiceChange &change);
    // The service code was confirmed: the locked commands and the terminal page open.
    void serviceUnlocked();

private Q_SLOTS:
    // Handlers; each one that talks to the controller holds the link for its click.
    void testSms();
    void testGprs();
    void restartModem();
    void syncClock();
    void autoModeClick();
    void semiautoModeClick();
    void startGenerator();
    void stopGenerator();
    void setMotorHours();
    void setSerialNumber();
    void unlock();

private:
    QPushButton *m_logFileButton = nullptr; // "Имя LOG-файла"
    // One frame to the controller; a controller that is not ready is reported only when asked.
    void run(const OperationStep &step, bool reportNotReady, const std::function<void()> &sent = {});
    void sendCommand(quint8 command, const QByteArray &data = {});
    void sendDuration(quint8 command, const QLineEdit *hours, const QLineEdit *minutes);
    // Asks before replacing what the controller holds, then writes and tells what was sent.
    void replace(ServiceChange change, quint16 address, const QByteArray &data);
    void showMotorMinutes(quint32 minutes);
    void showSerial(const QString &serial);
    // Shows why a payload is not sent; true when it is ready.
    bool ready(const ServicePayload &payload);

    QLineEdit *m_serviceCodeEdit = nullptr; // service code
    QPushButton *m_unlockButton = nullptr;
    SwitchLed *m_autoModeSwitch = nullptr;     // "Режим Авто"
    SwitchLed *m_semiautoModeSwitch = nullptr; // "Режим Полу-авто"
    QLineEdit *m_motorHoursEdit = nullptr;     // motor hours
    QLineEdit *m_motorMinutesEdit = nullptr;   // motor minutes
    QPushButton *m_setMotorHoursButton = nullptr;
    QLineEdit *m_serialNumberEdit = nullptr; // serial number
    QPushButton *m_setSerialNumberButton = nullptr;
    QLineEdit *m_runHoursEdit = nullptr;           // run time, hours
    QLineEdit *m_runMinutesEdit = nullptr;         // run time, minutes
    QPushButton *m_startGeneratorButton = nullptr; // "Старт"
    QLineEdit *m_waitHoursEdit = nullptr;          // wait time, hours
    QLineEdit *m_waitMinutesEdit = nullptr;        // wait time, minutes
    QPushButton *m_stopGeneratorButton = nullptr;  // "Стоп"
    QPushButton *m_testSmsButton = nullptr;        // "Тест SMS"
    QPushButton *m_testGprsButton = nullptr;       // "Тест GPRS"
    QPushButton *m_restartModemButton = nullptr;   // "Перезагрузка модема"
    QPushButton *m_syncClockButton = nullptr; // "Синхронизация системного времени"
    SwitchLed *m_logSwitch = nullptr;         // "Вести LOG-файл"

    DeviceLink *m_link = nullptr;
    Messages *m_messages = nullptr;
    Clock m_clock = &QDateTime::currentDateTime;
    std::optional<quint32> m_motorMinutes; // as the controller last told it
    std::optional<QString> m_serial;
};

} // namespace gencfg
