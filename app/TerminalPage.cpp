#include "app/TerminalPage.h"

#include "app/TerminalLine.h"
#include "monitor/TrafficLog.h"
#include "record/RecordingFormat.h"
#include "widgets/Messages.h"
#include "widgets/PageLayout.h"
#include "widgets/SaveFileDialog.h"
#include "widgets/SwitchLed.h"

#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

namespace gencfg {

TerminalPage::TerminalPage(TrafficLog &log, QWidget *parent) : QWidget(parent), m_log(log)
{
    setObjectName(QStringLiteral("terminalPage"));
    m_trafficView = new QPlainTextEdit(this);
    m_trafficView->setObjectName(QStringLiteral("trafficView"));
    m_trafficView->setReadOnly(true);
    // Frames line up column by column only in a fixed-width font; the size stays the window's.
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    if (font().pixelSize() > 0)
        fixed.setPixelSize(font().pixelSize());
    m_trafficView->setFont(fixed);
    m_trafficView->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_trafficView->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // A day of traffic would fill the memory; the LOG file keeps every line.
    m_trafficView->setMaximumBlockCount(MaxTerminalLines);

    m_showTrafficSwitch = new SwitchLed(this);
    m_showTrafficSwitch->setObjectName(QStringLiteral("showTrafficSwitch"));
    m_showTrafficSwitch->setCaption(tr("Отображать данные"));

    m_clearButton = new QPushButton(tr("Очистить "), this);
    m_clearButton->setObjectName(QStringLiteral("clearButton"));

    m_logFileButton = new QPushButton(tr("Имя файла"), this);
    m_logFileButton->setObjectName(QStringLiteral("logFileButton"));

    m_logSwitch = new SwitchLed(this);
    m_logSwitch->setObjectName(QStringLiteral("logSwitch"));
    m_logSwitch->setCaption(tr("Вести лог"));

    m_sessionFileButton = new QPushButton(tr("Файл записи"), this);
    m_sessionFileButton->setObjectName(QStringLiteral("sessionFileButton"));
    m_sessionFileButton->setAccessibleName(m_sessionFileButton->text());

    m_sessionRecordSwitch = new SwitchLed(this);
    m_sessionRecordSwitch->setObjectName(QStringLiteral("sessionRecordSwitch"));
    m_sessionRecordSwitch->setCaption(tr("Запись сеанса"));

    // The traffic view fills the page; the bottom row keeps two controls at the left and four at the right.
    using Frame = PageLayout::Frame;
    auto *layout = new PageLayout(this);
    layout->add(m_trafficView, {0, 3, 789, 454}, [](const Frame &f, const QRect &r) {
        return QRect(r.topLeft(), QSize(f.W - 14, f.H - PageLayout::StatusBarHeight - 60));
    });
    // right: the distance from the page control's right edge to the control's.
    const struct
    {
        QWidget *control;
        QRect design;
        int right;
    } row[] = {{m_showTrafficSwitch, {3, 476, 120, 41}, -1},
               {m_clearButton, {129, 476, 120, 41}, -1},
               {m_logSwitch, {669, 476, 120, 41}, 14},
               {m_logFileButton, {543, 476, 120, 41}, 14 + 120 + 5},
               {m_sessionRecordSwitch, {404, 476, 120, 41}, 139 + 120 + 19},
               {m_sessionFileButton, {279, 476, 120, 41}, 278 + 120 + 5}};
    for (const auto &control : row)
        layout->add(control.control, control.design, [right = control.right](const Frame &f, const QRect &r) {
            return QRect({right < 0 ? r.x() : f.W - right - r.width(), f.bottomRowTop(r.height())}, r.size());
        });

    connect(m_sessionFileButton, &QPushButton::clicked, this, [this] {
        askSessionFileName([this](const QString &path) {
            if (!path.isEmpty())
                setSessionFileName(path);
        });
    });
    connect(m_sessionRecordSwitch, &SwitchLed::changed, this, &TerminalPage::onSessionSwitch);

    // The display follows the lamp whoever sets it; the log follows only the user.
    connect(m_showTrafficSwitch, &SwitchLed::activeChanged, this, [this](bool lit) { m_displayData = lit; });
    connect(m_clearButton, &QPushButton::clicked, m_trafficView, &QPlainTextEdit::clear);
    connect(m_logFileButton, &QPushButton::clicked, &m_log, &TrafficLog::chooseFileName);
    connect(m_logSwitch, &SwitchLed::changed, &m_log,
            [this](bool lit) { m_log.switchChanged(m_logSwitch, lit); });
    connect(&m_log, &TrafficLog::onChanged, m_logSwitch, [this](bool on) {
        if (!on)
            m_logSwitch->setActive(false);
    });

    // Both pages' name buttons ask in a file dialog over this window.
    m_log.setFileNameAsker([this](const QString &current, const FileChosen &chosen) {
        AskSaveFileName(window(),
                        {tr("Имя LOG-файла"), current, tr("Текстовые файлы (*.txt *.log);;Все файлы (*)"),
                         QString(), true},
                        this, chosen);
    });
    // Only this page's switches go off: the service page's keeps what the user gave it.
    connect(&m_log, &TrafficLog::nameMissing, this, [this] {
        m_logSwitch->setActive(false);
        m_log.switchOff(m_logSwitch);
        m_showTrafficSwitch->setActive(false);
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
    return {m_logFileButton};
}

QList<QWidget *> TerminalPage::sessionRecordingControls() const
{
    return {m_sessionFileButton, m_sessionRecordSwitch};
}

void TerminalPage::setSessionFileName(const QString &path)
{
    m_sessionFileName = RecordingFileName(path);
    m_sessionFileButton->setToolTip(m_sessionFileName);
    m_sessionFileButton->setAccessibleDescription(m_sessionFileName);
}

void TerminalPage::showSessionRecording(bool on)
{
    m_sessionRecordSwitch->setActive(on);
}

void TerminalPage::askSessionFileName(const FileChosen &chosen)
{
    AskSaveFileName(window(),
                    {tr("Запись сеанса"), m_sessionFileName, tr("Записи сеанса (*.gcrec);;Все файлы (*)"),
                     QStringLiteral("gcrec")},
                    this, chosen);
}

void TerminalPage::onSessionSwitch(bool on)
{
    if (!on || !m_sessionFileName.isEmpty()) {
        Q_EMIT sessionRecordingSwitched(on, m_sessionFileName);
        return;
    }
    // The switch stays lit while the name is asked; recording starts once there is one.
    askSessionFileName([this](const QString &path) {
        if (!m_sessionRecordSwitch->isActive())
            return;
        setSessionFileName(path);
        if (m_sessionFileName.isEmpty())
            m_sessionRecordSwitch->setActive(false);
        else
            Q_EMIT sessionRecordingSwitched(true, m_sessionFileName);
    });
}

void TerminalPage::terminalStep(const QByteArray &lineText)
{
    if (!lineText.contains('\r'))
        return;
    if (m_displayData || m_log.isOn()) {
        // One reading of the clock: the screen and the file name the same moment.
        const QString stamp = TerminalTimeStamp(m_clock(), LocaleStampSeparators(locale()));
        if (m_displayData)
            m_trafficView->appendPlainText(QString::number(m_lineNumber) + QLatin1Char(' ') + stamp +
                                           QLatin1Char(' ') + TerminalDisplayText(lineText));
        if (m_log.isOn())
            m_log.write(TerminalLine(m_lineNumber, stamp, lineText));
    }
    ++m_lineNumber;
}

void TerminalPage::appendEcho(const QByteArray &line)
{
    m_trafficView->appendPlainText(TerminalDisplayText(line));
}

} // namespace gencfg
