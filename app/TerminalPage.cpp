#include "app/TerminalPage.h"

#include "app/TerminalLine.h"
#include "monitor/TrafficLog.h"
#include "widgets/Messages.h"
#include "widgets/PageLayout.h"
#include "widgets/SaveFileDialog.h"
#include "widgets/SwitchLed.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

namespace gencfg {

TerminalPage::TerminalPage(TrafficLog &log, QWidget *parent) : QWidget(parent), m_log(log)
{
    setObjectName(QStringLiteral("terminalPage"));
    trafficView = new QPlainTextEdit(this);
    trafficView->setObjectName(QStringLiteral("trafficView"));
    trafficView->setReadOnly(true);
    trafficView->setLineWrapMode(QPlainTextEdit::NoWrap);
    trafficView->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // A day of traffic would fill the memory; the LOG file keeps every line.
    trafficView->setMaximumBlockCount(MaxTerminalLines);

    showTrafficSwitch = new SwitchLed(this);
    showTrafficSwitch->setObjectName(QStringLiteral("showTrafficSwitch"));
    showTrafficSwitch->setCaption(tr("Отображать данные"));

    clearButton = new QPushButton(tr("Очистить "), this);
    clearButton->setObjectName(QStringLiteral("clearButton"));

    logFileButton = new QPushButton(tr("Имя файла"), this);
    logFileButton->setObjectName(QStringLiteral("logFileButton"));

    logSwitch = new SwitchLed(this);
    logSwitch->setObjectName(QStringLiteral("logSwitch"));
    logSwitch->setCaption(tr("Вести лог"));

    sessionFileButton = new QPushButton(tr("Файл записи"), this);
    sessionFileButton->setObjectName(QStringLiteral("sessionFileButton"));
    sessionFileButton->setAccessibleName(sessionFileButton->text());

    sessionRecordSwitch = new SwitchLed(this);
    sessionRecordSwitch->setObjectName(QStringLiteral("sessionRecordSwitch"));
    sessionRecordSwitch->setCaption(tr("Запись сеанса"));

    // The traffic view fills the page; the bottom row keeps two controls at the left and four at the right.
    using Frame = PageLayout::Frame;
    auto *layout = new PageLayout(this);
    layout->add(trafficView, {0, 3, 789, 454}, [](const Frame &f, const QRect &r) {
        return QRect(r.topLeft(), QSize(f.W - 14, f.H - PageLayout::StatusBarHeight - 60));
    });
    // right: the distance from the page control's right edge to the control's.
    const struct
    {
        QWidget *control;
        QRect design;
        int right;
    } row[] = {{showTrafficSwitch, {3, 476, 120, 41}, -1},
               {clearButton, {129, 476, 120, 41}, -1},
               {logSwitch, {669, 476, 120, 41}, 14},
               {logFileButton, {543, 476, 120, 41}, 14 + 120 + 5},
               {sessionRecordSwitch, {404, 476, 120, 41}, 139 + 120 + 19},
               {sessionFileButton, {279, 476, 120, 41}, 278 + 120 + 5}};
    for (const auto &control : row)
        layout->add(control.control, control.design, [right = control.right](const Frame &f, const QRect &r) {
            return QRect({right < 0 ? r.x() : f.W - right - r.width(), f.bottomRowTop(r.height())}, r.size());
        });

    connect(sessionFileButton, &QPushButton::clicked, this, [this] {
        const QString path = askSessionFileName();
        if (!path.isEmpty())
            setSessionFileName(path);
    });
    connect(sessionRecordSwitch, &SwitchLed::changed, this, &TerminalPage::onSessionSwitch);

    // The display follows the lamp whoever sets it; the log follows only the user.
    connect(showTrafficSwitch, &SwitchLed::activeChanged, this, [this](bool lit) { DisplayData = lit; });
    connect(clearButton, &QPushButton::clicked, trafficView, &QPlainTextEdit::clear);
    connect(logFileButton, &QPushButton::clicked, &m_log, &TrafficLog::chooseFileName);
    connect(logSwitch, &SwitchLed::changed, &m_log,
            [this](bool lit) { m_log.switchChanged(logSwitch, lit); });
    connect(&m_log, &TrafficLog::onChanged, logSwitch, [this](bool on) {
        if (!on)
            logSwitch->setActive(false);
    });

    // Both pages' name buttons ask in a file dialog over this window.
    m_log.setFileNameAsker([this](const QString &current) {
        return AskSaveFileName(window(),
                               {tr("Имя LOG-файла"), current,
                                tr("Текстовые файлы (*.txt *.log);;Все файлы (*)"), QString(), true});
    });
    // Only this page's switches go off: the service page's keeps what the user gave it.
    connect(&m_log, &TrafficLog::nameMissing, this, [this] {
        logSwitch->setActive(false);
        m_log.switchOff(logSwitch);
        showTrafficSwitch->setActive(false);
        if (m_messages)
            m_messages->warning(tr("Задайте имя LOG-файла"), LogFileWarningCaption());
    });
    connect(&m_log, &TrafficLog::failed, this, [this](const QString &text) {
        // Not from inside the receive path: a modal box there would run the dispatcher again.
        QTimer::singleShot(0, this, [this, text] {
            if (m_messages)
                m_messages->error(text);
        });
    });
}

void TerminalPage::attach(Messages &messages)
{
    m_messages = &messages;
}

QList<QWidget *> TerminalPage::deviceControls() const
{
    return {logFileButton};
}

QList<QWidget *> TerminalPage::sessionRecordingControls() const
{
    return {sessionFileButton, sessionRecordSwitch};
}

void TerminalPage::setSessionFileName(const QString &path)
{
    m_sessionFileName = path;
    sessionFileButton->setToolTip(path);
    sessionFileButton->setAccessibleDescription(path);
}

void TerminalPage::showSessionRecording(bool on)
{
    sessionRecordSwitch->setActive(on);
}

QString TerminalPage::askSessionFileName()
{
    return AskSaveFileName(window(), {tr("Запись сеанса"), m_sessionFileName,
                                      tr("Записи сеанса (*.gcrec);;Все файлы (*)"), QStringLiteral("gcrec")});
}

void TerminalPage::onSessionSwitch(bool on)
{
    if (on && m_sessionFileName.isEmpty())
        setSessionFileName(askSessionFileName());
    if (on && m_sessionFileName.isEmpty()) {
        sessionRecordSwitch->setActive(false);
        return;
    }
    Q_EMIT sessionRecordingSwitched(on, m_sessionFileName);
}

void TerminalPage::terminalStep(const QByteArray &lineText)
{
    if (!lineText.contains('\r'))
        return;
    if (DisplayData || m_log.isOn()) {
        // One reading of the clock: the screen and the file name the same moment.
        const QString stamp = TerminalTimeStamp(m_clock(), LocaleStampSeparators(locale()));
        if (DisplayData)
            trafficView->appendPlainText(QString::number(LineNumber) + QLatin1Char(' ') + stamp +
                                         QLatin1Char(' ') + TerminalDisplayText(lineText));
        if (m_log.isOn())
            m_log.write(TerminalLine(LineNumber, stamp, lineText));
    }
    ++LineNumber;
}

void TerminalPage::appendEcho(const QByteArray &line)
{
    trafficView->appendPlainText(TerminalDisplayText(line));
}

} // namespace gencfg
