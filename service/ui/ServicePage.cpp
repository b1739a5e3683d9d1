#include "service/ui/ServicePage.h"

#include "link/Commands.h"
#include "link/DeviceLink.h"
#include "link/LinkTexts.h"
#include "service/ServicePayloads.h"
#include "widgets/Messages.h"
#include "widgets/SwitchLed.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QResizeEvent>

namespace gencfg {

namespace {

// The log row's place by design, and the gap it keeps to the page's bottom edge when the page is shorter.
constexpr int LogRowTop = 476;
constexpr int LogRowBottomGap = 6;

QPushButton *makeButton(QWidget *page, const char *name, const QString &caption, const QRect &place)
{
    auto *button = new QPushButton(caption, page);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(place);
    return button;
}

QLineEdit *makeEdit(QWidget *page, const char *name, const QString &text, const QRect &place,
                    bool enabled = true)
{
    auto *edit = new QLineEdit(text, page);
    edit->setObjectName(QLatin1String(name));
    edit->setGeometry(place);
    edit->setEnabled(enabled);
    return edit;
}

void makeLabel(QWidget *page, const char *name, const QString &text, int left, int top)
{
    auto *label = new QLabel(text, page);
    label->setObjectName(QLatin1String(name));
    label->adjustSize();
    label->move(left, top);
}

SwitchLed *makeSwitch(QWidget *page, const char *name, const QString &caption, const QRect &place)
{
    auto *led = new SwitchLed(page);
    led->setObjectName(QLatin1String(name));
    led->setCaption(caption);
    led->setGeometry(place);
    return led;
}

} // namespace

ServicePage::ServicePage(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("TabSheet4"));
    Edit4 = makeEdit(this, "Edit4", {}, {108, 21, 121, 20});
    Edit4->setEchoMode(QLineEdit::Password);
    Edit4->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
    Button14 = makeButton(this, "Button14", tr("Подтвердить пароль"), {11, 47, 299, 40});
    iSwitchLed4 = makeSwitch(this, "iSwitchLed4", tr("Режим Авто"), {450, 47, 146, 41});
    iSwitchLed5 = makeSwitch(this, "iSwitchLed5", tr("Режим Полу-авто"), {619, 46, 146, 41});

    makeLabel(this, "Label12", tr("Счетчик моточасов:"), 5, 125);
    Edit1 = makeEdit(this, "Edit1", QStringLiteral("0"), {114, 122, 33, 20}, false);
    makeLabel(this, "Label13", tr("час"), 153, 125);
    Edit2 = makeEdit(this, "Edit2", QStringLiteral("0"), {174, 122, 33, 20}, false);
    makeLabel(this, "Label14", tr("мин"), 213, 125);
    Button7 = makeButton(this, "Button7", tr("Установить"), {237, 112, 75, 41});
    Button7->setEnabled(false);

    makeLabel(this, "Label16", tr("Серийный номер устройства:"), 3, 189);
    Edit3 = makeEdit(this, "Edit3", QStringLiteral("00000000"), {160, 184, 69, 20}, false);
    Button10 = makeButton(this, "Button10", tr("Установить"), {235, 175, 75, 39});
    Button10->setEnabled(false);

    makeLabel(this, "Label27", tr("Время работы ГУ:"), 450, 125);
    Edit5 = makeEdit(this, "Edit5", QStringLiteral("0"), {563, 122, 33, 20});
    makeLabel(this, "Label21", tr("час"), 602, 125);
    Edit6 = makeEdit(this, "Edit6", QStringLiteral("0"), {623, 122, 33, 20});
    makeLabel(this, "Label22", tr("мин"), 662, 125);
    Button16 = makeButton(this, "Button16", tr("Старт"), {696, 112, 68, 41});

    makeLabel(this, "Label28", tr("Время ожидания ГУ:"), 450, 187);
    Edit7 = makeEdit(this, "Edit7", QStringLiteral("0"), {563, 184, 33, 20});
    makeLabel(this, "Label25", tr("час"), 602, 187);
    Edit8 = makeEdit(this, "Edit8", QStringLiteral("0"), {623, 184, 33, 20});
    makeLabel(this, "Label26", tr("мин"), 662, 187);
    Button17 = makeButton(this, "Button17", tr("Стоп"), {696, 174, 68, 41});

    Button8 = makeButton(this, "Button8", tr("Тест SMS"), {11, 240, 299, 41});
    Button9 = makeButton(this, "Button9", tr("Тест GPRS"), {11, 287, 299, 42});
    Button11 = makeButton(this, "Button11", tr("Перезагрузка модема"), {11, 335, 299, 40});
    Button12 = makeButton(this, "Button12", tr("Синхронизация системного времени"), {11, 405, 299, 41});
    Button15 = makeButton(this, "Button15", tr("Имя LOG-файла"), {11, 476, 145, 41});
    iSwitchLed3 = makeSwitch(this, "iSwitchLed3", tr("Вести LOG-файл"), {162, 476, 146, 41});

    const std::pair<QPushButton *, void (ServicePage::*)()> handlers[] = {
        {Button8, &ServicePage::Button8Click},   {Button9, &ServicePage::Button9Click},
        {Button11, &ServicePage::Button11Click}, {Button12, &ServicePage::Button12Click},
        {Button16, &ServicePage::Button16Click}, {Button17, &ServicePage::Button17Click},
        {Button7, &ServicePage::Button7Click},   {Button10, &ServicePage::Button10Click},
        {Button14, &ServicePage::Button14Click},
    };
    for (const auto &[button, handler] : handlers)
        connect(button, &QPushButton::clicked, this, [this, handler = handler] { (this->*handler)(); });
    // Only the user's click sends; the status frame sets the lamps without a word to the device.
    connect(iSwitchLed4, &SwitchLed::clicked, this, [this] { iSwitchLed4Click(); });
    connect(iSwitchLed5, &SwitchLed::clicked, this, [this] { iSwitchLed5Click(); });
    // The log controls belong to the terminal page; this page only tells it.
    connect(Button15, &QPushButton::clicked, this, &ServicePage::logNameRequested);
    connect(iSwitchLed3, &SwitchLed::changed, this, &ServicePage::logSwitchChanged);
}

void ServicePage::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    // The window leaves the page less height than the design's; the log row moves up rather than be cut.
    const int top = qMax(0, qMin(LogRowTop, height() - Button15->height() - LogRowBottomGap));
    Button15->move(Button15->x(), top);
    iSwitchLed3->move(iSwitchLed3->x(), top);
}

void ServicePage::attach(DeviceLink &link, Messages &messages)
{
    m_link = &link;
    m_messages = &messages;
}

QList<QWidget *> ServicePage::lockedControls() const
{
    return {Edit1, Edit2, Button7, Edit3, Button10};
}

QList<QWidget *> ServicePage::deviceControls() const
{
    return {iSwitchLed4, iSwitchLed5, Button7, Button10, Button16,
            Button17,    Button8,     Button9, Button11, Button12};
}

void ServicePage::run(const OperationStep &step, bool reportNotReady)
{
    if (!m_link || m_link->busy())
        return;
    auto *operation = new SingleStepOperation(step);
    connect(operation, &DeviceOperation::finished, this, [this, reportNotReady](OperationStatus status) {
        if (!m_messages || status == OperationStatus::Succeeded)
            return;
        if (status == OperationStatus::WriteFailed)
            m_messages->error(WriteFailedText());
        else if (reportNotReady && status != OperationStatus::Cancelled)
            m_messages->plain(QStringLiteral("Error"), NotReadyText());
    });
    m_link->startOwned(operation);
}

void ServicePage::sendCommand(quint8 command, const QByteArray &data)
{
    run(CommandStep(command, 0, data), true);
}

void ServicePage::writeBlock(quint16 address, const QByteArray &data)
{
    // A write that found the controller not ready says nothing; the technician sees no echo line.
    run(WriteBlockStep(address, data), false);
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
            m_messages->error(payload.message, QStringLiteral("Error"));
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

void ServicePage::Button8Click()
{
    sendCommand(CMD_TEST_SMS);
}

void ServicePage::Button9Click()
{
    sendCommand(CMD_TEST_GPRS);
}

void ServicePage::Button11Click()
{
    sendCommand(CMD_RESTART_MODEM);
}

void ServicePage::Button12Click()
{
    const QByteArray data = ClockPayload(m_clock());
    if (!data.isEmpty())
        sendCommand(CMD_SET_CLOCK, data);
}

void ServicePage::iSwitchLed4Click()
{
    sendCommand(CMD_MODE_AUTO);
}

void ServicePage::iSwitchLed5Click()
{
    sendCommand(CMD_MODE_SEMIAUTO);
}

void ServicePage::Button16Click()
{
    sendDuration(CMD_GENERATOR_START, Edit5, Edit6);
}

void ServicePage::Button17Click()
{
    sendDuration(CMD_GENERATOR_STOP, Edit7, Edit8);
}

void ServicePage::Button7Click()
{
    const ServicePayload payload = MotoclockPayload(Edit1->text(), Edit2->text());
    if (ready(payload))
        writeBlock(MotoclockAddress, payload.data);
}

void ServicePage::Button10Click()
{
    const ServicePayload payload = SerialNumberPayload(Edit3->text());
    if (ready(payload))
        writeBlock(SerialNumberAddress, payload.data);
}

void ServicePage::showAutomaticMode(bool semiauto)
{
    iSwitchLed4->setActive(!semiauto);
    iSwitchLed5->setActive(semiauto);
}

void ServicePage::logSwitchOff()
{
    iSwitchLed3->setActive(false);
}

void ServicePage::Button14Click()
{
    // The window unlocks the controls; it decides what is enabled.
    if (IsServiceCode(Edit4->text()))
        Q_EMIT serviceUnlocked();
}

} // namespace gencfg
