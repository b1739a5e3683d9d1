#include "service/ui/ServicePage.h"

#include "link/Commands.h"
#include "link/DeviceLink.h"
#include "link/LinkTexts.h"
#include "monitor/Telemetry.h"
#include "monitor/TrafficLog.h"
#include "service/ServicePayloads.h"
#include "service/ui/DurationRow.h"
#include "widgets/Messages.h"
#include "widgets/PageLayout.h"
#include "widgets/PortGuard.h"
#include "widgets/SwitchLed.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace gencfg {

namespace {

// The log row's place by design, and the gap it keeps to the page's bottom edge when the page is shorter.
constexpr int LogRowTop = 476;
constexpr int LogRowBottomGap = 6;

// The page never moves its controls: each stays at its design place.
void fix(QWidget *control, const QRect &place)
{
    static_cast<PageLayout *>(control->parentWidget()->layout())->add(control, place);
}

QPushButton *makeButton(QWidget *page, const char *name, const QString &caption, const QRect &place)
{
    auto *button = new QPushButton(caption, page);
    button->setObjectName(QLatin1String(name));
    fix(button, place);
    return button;
}

QLineEdit *makeEdit(QWidget *page, const char *name, const QString &text, const QRect &place)
{
    auto *edit = new QLineEdit(text, page);
    edit->setObjectName(QLatin1String(name));
    fix(edit, place);
    return edit;
}

void makeLabel(QWidget *page, const char *name, const QString &text, int left, int top)
{
    auto *label = new QLabel(text, page);
    label->setObjectName(QLatin1String(name));
    fix(label, {QPoint(left, top), label->sizeHint()});
}

SwitchLed *makeSwitch(QWidget *page, const char *name, const QString &caption, const QRect &place)
{
    auto *led = new SwitchLed(page);
    led->setObjectName(QLatin1String(name));
    led->setCaption(caption);
    fix(led, place);
    return led;
}

// The log row: at its design place, or as far up as the page's bottom edge needs when the window leaves the
// page less height than the design's.
void keepAboveBottom(QWidget *control, const QRect &place)
{
    static_cast<PageLayout *>(control->parentWidget()->layout())
        ->add(control, place, [](const PageLayout::Frame &f, const QRect &r) {
            const int top = qMax(0, qMin(LogRowTop, f.page.height() - r.height() - LogRowBottomGap));
            return QRect({r.x(), top}, r.size());
        });
}

} // namespace

ServicePage::ServicePage(TrafficLog &log, QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("servicePage"));
    new PageLayout(this);
    m_serviceCodeEdit = makeEdit(this, "serviceCodeEdit", {}, {108, 21, 121, 20});
    m_serviceCodeEdit->setEchoMode(QLineEdit::Password);
    m_serviceCodeEdit->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
    m_unlockButton = makeButton(this, "unlockButton", tr("&Подтвердить пароль"), {11, 47, 299, 40});
    connect(m_serviceCodeEdit, &QLineEdit::returnPressed, this, &ServicePage::unlock);
    m_autoModeSwitch = makeSwitch(this, "autoModeSwitch", tr("Режим Авто"), {450, 47, 146, 41});
    m_semiautoModeSwitch = makeSwitch(this, "semiautoModeSwitch", tr("Режим Полу-авто"), {619, 46, 146, 41});

    const DurationRow *motor = new DurationRow({"motor",
                                                "motorHoursCaption",
                                                tr("Счетчик моточасов:"),
                                                5,
                                                {114, 122},
                                                "setMotorHoursButton",
                                                tr("Установить"),
                                                237,
                                                75},
                                               this);
    m_motorHoursEdit = motor->hoursEdit();
    m_motorMinutesEdit = motor->minutesEdit();
    m_setMotorHoursButton = motor->button();

    makeLabel(this, "serialNumberCaption", tr("Серийный номер устройства:"), 3, 189);
    m_serialNumberEdit = makeEdit(this, "serialNumberEdit", QStringLiteral("00000000"), {160, 184, 69, 20});
    m_setSerialNumberButton = makeButton(this, "setSerialNumberButton", tr("Установить"), {235, 175, 75, 39});

    const DurationRow *run = new DurationRow({"run",
                                              "runTimeCaption",
                                              tr("Время работы ГУ:"),
                                              450,
                                              {563, 122},
                                              "startGeneratorButton",
                                              tr("Старт"),
                                              696,
                                              68},
                                             this);
    m_runHoursEdit = run->hoursEdit();
    m_runMinutesEdit = run->minutesEdit();
    m_startGeneratorButton = run->button();

    const DurationRow *wait = new DurationRow({"wait",
                                               "waitTimeCaption",
                                               tr("Время ожидания ГУ:"),
                                               450,
                                               {563, 184},
                                               "stopGeneratorButton",
                                               tr("Стоп"),
                                               696,
                                               68},
                                              this);
    m_waitHoursEdit = wait->hoursEdit();
    m_waitMinutesEdit = wait->minutesEdit();
    m_stopGeneratorButton = wait->button();

    m_testSmsButton = makeButton(this, "testSmsButton", tr("Тест SMS"), {11, 240, 299, 41});
    m_testGprsButton = makeButton(this, "testGprsButton", tr("Тест GPRS"), {11, 287, 299, 42});
    m_restartModemButton =
        makeButton(this, "restartModemButton", tr("Перезагрузка модема"), {11, 335, 299, 40});
    m_syncClockButton =
        makeButton(this, "syncClockButton", tr("Синхронизация системного времени"), {11, 405, 299, 41});
    m_logFileButton = makeButton(this, "logFileButton", tr("Имя LOG-файла"), {11, 476, 145, 41});
    m_logSwitch = makeSwitch(this, "logSwitch", tr("Вести LOG-файл"), {162, 476, 146, 41});
    keepAboveBottom(m_logFileButton, m_logFileButton->geometry());
    keepAboveBottom(m_logSwitch, m_logSwitch->geometry());

    const std::pair<QPushButton *, void (ServicePage::*)()> handlers[] = {
        {m_testSmsButton, &ServicePage::testSms},
        {m_testGprsButton, &ServicePage::testGprs},
        {m_restartModemButton, &ServicePage::restartModem},
        {m_syncClockButton, &ServicePage::syncClock},
        {m_startGeneratorButton, &ServicePage::startGenerator},
        {m_stopGeneratorButton, &ServicePage::stopGenerator},
        {m_setMotorHoursButton, &ServicePage::setMotorHours},
        {m_setSerialNumberButton, &ServicePage::setSerialNumber},
        {m_unlockButton, &ServicePage::unlock},
    };
    for (const auto &[button, handler] : handlers)
        connect(button, &QPushButton::clicked, this, [this, handler = handler] { (this->*handler)(); });
    // Only the user's click sends; the status frame sets the lamps without a word to the device.
    connect(m_autoModeSwitch, &SwitchLed::clicked, this, [this] { autoModeClick(); });
    connect(m_semiautoModeSwitch, &SwitchLed::clicked, this, [this] { semiautoModeClick(); });
    connect(m_logFileButton, &QPushButton::clicked, &log, &TrafficLog::chooseFileName);
    connect(m_logSwitch, &SwitchLed::changed, &log,
            [this, &log](bool lit) { log.switchChanged(m_logSwitch, lit); });
    connect(&log, &TrafficLog::onChanged, m_logSwitch, [this](bool on) {
        if (!on)
            m_logSwitch->setActive(false);
    });
}

void ServicePage::attach(DeviceLink &link, Messages &messages)
{
    m_link = &link;
    m_messages = &messages;
}

QList<QWidget *> ServicePage::lockedControls() const
{
    return {m_motorHoursEdit, m_motorMinutesEdit, m_setMotorHoursButton, m_serialNumberEdit,
            m_setSerialNumberButton};
}

QList<QWidget *> ServicePage::controllerControls() const
{
    QList<QWidget *> controls = deviceControls();
    controls.removeOne(m_logFileButton);
    return controls;
}

QList<QWidget *> ServicePage::deviceControls() const
{
    return {m_autoModeSwitch,       m_semiautoModeSwitch,  m_setMotorHoursButton, m_setSerialNumberButton,
            m_startGeneratorButton, m_stopGeneratorButton, m_testSmsButton,       m_testGprsButton,
            m_restartModemButton,   m_syncClockButton,     m_logFileButton};
}

void ServicePage::run(const OperationStep &step, bool reportNotReady, const std::function<void()> &sent)
{
    if (!m_link || !PortChosen(*m_link, m_messages))
        return;
    auto *operation = new SingleStepOperation(step);
    connect(operation, &DeviceOperation::finished, this,
            [this, reportNotReady, sent](OperationStatus status) {
                if (status == OperationStatus::Succeeded && sent)
                    sent();
                if (!m_messages || status == OperationStatus::Succeeded)
                    return;
                if (status == OperationStatus::WriteFailed)
                    m_messages->error(WriteFailedText());
                else if (reportNotReady && status != OperationStatus::Cancelled)
                    m_messages->plain(NotReadyCaption(), NotReadyText());
            });
    // Refused, and deleted, while another operation runs.
    m_link->startOwned(operation);
}

void ServicePage::sendCommand(quint8 command, const QByteArray &data)
{
    run(CommandStep(command, 0, data), true);
}

void ServicePage::replace(ServiceChange change, quint16 address, const QByteArray &data)
{
    if (!m_messages || !m_link)
        return;
    Question question;
    question.caption = ReplaceCaption(change);
    question.text = ReplaceQuestion(change);
    question.buttons = {{ReplaceButtonText(), Question::Destructive}, {tr("Отмена"), Question::Reject}};
    question.defaultButton = 1;
    m_messages->ask(question, [this, change, address, data](int button) mutable {
        if (button != 0)
            return;
        // A write that found the controller not ready says nothing; the technician sees no echo line.
        run(WriteBlockStep(address, data), false, [this, change]() mutable {
            change.time = QDateTime::currentDateTime();
            if (change.what == ServiceChange::MotorHours) {
                m_motorHoursEdit->setModified(false);
                m_motorMinutesEdit->setModified(false);
            } else {
                m_serial = change.after;
                m_serialNumberEdit->setModified(false);
            }
            Q_EMIT serviceSent(change);
        });
    });
}

bool ServicePage::ready(const ServicePayload &payload)
{
    switch (payload.status) {
    case ServicePayload::Ok:
        return true;
    case ServicePayload::Ignored:
        return false;
    case ServicePayload::Warning:
        if (m_messages)
            m_messages->warning(payload.message);
        return false;
    case ServicePayload::Error:
        if (m_messages)
            m_messages->error(payload.message);
        return false;
    }
    return false;
}

void ServicePage::sendDuration(quint8 command, const QLineEdit *hours, const QLineEdit *minutes)
{
    const ServicePayload payload = DurationPayload(hours->text(), minutes->text());
    if (ready(payload))
        sendCommand(command, payload.data);
}

void ServicePage::testSms()
{
    sendCommand(CMD_TEST_SMS);
}

void ServicePage::testGprs()
{
    sendCommand(CMD_TEST_GPRS);
}

void ServicePage::restartModem()
{
    sendCommand(CMD_RESTART_MODEM);
}

void ServicePage::syncClock()
{
    const QByteArray data = ClockPayload(m_clock());
    if (!data.isEmpty())
        sendCommand(CMD_SET_CLOCK, data);
}

void ServicePage::autoModeClick()
{
    sendCommand(CMD_MODE_AUTO);
}

void ServicePage::semiautoModeClick()
{
    sendCommand(CMD_MODE_SEMIAUTO);
}

void ServicePage::startGenerator()
{
    sendDuration(CMD_GENERATOR_START, m_runHoursEdit, m_runMinutesEdit);
}

void ServicePage::stopGenerator()
{
    sendDuration(CMD_GENERATOR_STOP, m_waitHoursEdit, m_waitMinutesEdit);
}

void ServicePage::setMotorHours()
{
    const ServicePayload payload = MotoclockPayload(m_motorHoursEdit->text(), m_motorMinutesEdit->text());
    if (!ready(payload))
        return;
    ServiceChange change;
    change.what = ServiceChange::MotorHours;
    if (m_motorMinutes)
        change.before = MotorHoursText(*m_motorMinutes);
    quint32 minutes = 0;
    for (const char byte : payload.data)
        minutes = (minutes << 8) | quint8(byte);
    change.after = MotorHoursText(minutes);
    replace(change, MotoclockAddress, payload.data);
}

void ServicePage::setSerialNumber()
{
    const ServicePayload payload = SerialNumberPayload(m_serialNumberEdit->text());
    if (!ready(payload))
        return;
    ServiceChange change;
    change.what = ServiceChange::SerialNumber;
    change.before = m_serial;
    change.after = QString::fromLatin1(payload.data);
    replace(change, SerialNumberAddress, payload.data);
}

void ServicePage::showControllerRecord(const TelemetryRecord &record)
{
    showMotorMinutes(record.MotoclockMinutes);
}

void ServicePage::showControllerImage(const ConfigImageBytes &image)
{
    showMotorMinutes(MotorMinutesOf(image));
    showSerial(SerialTextOf(image));
}

void ServicePage::forgetController()
{
    m_motorMinutes.reset();
    m_serial.reset();
}

void ServicePage::showMotorMinutes(quint32 minutes)
{
    m_motorMinutes = minutes;
    // What the technician typed stays until it is sent.
    if (m_motorHoursEdit->isModified() || m_motorMinutesEdit->isModified())
        return;
    m_motorHoursEdit->setText(QString::number(minutes / 60));
    m_motorMinutesEdit->setText(QString::number(minutes % 60));
}

void ServicePage::showSerial(const QString &serial)
{
    m_serial = serial.isEmpty() ? UnsetSerialText() : serial;
    if (!serial.isEmpty() && !m_serialNumberEdit->isModified())
        m_serialNumberEdit->setText(serial);
}

void ServicePage::showAutomaticMode(bool semiauto)
{
    m_autoModeSwitch->setActive(!semiauto);
    m_semiautoModeSwitch->setActive(semiauto);
}

void ServicePage::unlock()
{
    // The window unlocks the controls; it decides what is enabled.
    if (IsServiceCode(m_serviceCodeEdit->text())) {
        Q_EMIT serviceUnlocked();
        return;
    }
    // Typed again from scratch: the whole wrong code is selected.
    m_serviceCodeEdit->selectAll();
    if (m_messages)
        m_messages->warning(WrongCodeText());
}

QString ServicePage::WrongCodeText()
{
    return tr("Неверный пароль");
}

} // namespace gencfg
