#include "app/TerminalPage.h"

#include "app/TerminalLine.h"
#include "config/FileWriting.h"
#include "widgets/Messages.h"
#include "widgets/SwitchLed.h"

#include <QFileDialog>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

namespace gencfg {

TerminalPage::TerminalPage(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("terminalPage"));
    trafficView = new QPlainTextEdit(this);
    trafficView->setObjectName(QStringLiteral("trafficView"));
    trafficView->setReadOnly(true);
    trafficView->setLineWrapMode(QPlainTextEdit::NoWrap);
    trafficView->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    trafficView->setGeometry(0, 3, 789, 454);
    // A day of traffic would fill the memory; the LOG file keeps every line.
    trafficView->setMaximumBlockCount(MaxTerminalLines);

    showTrafficSwitch = new SwitchLed(this);
    showTrafficSwitch->setObjectName(QStringLiteral("showTrafficSwitch"));
    showTrafficSwitch->setCaption(tr("Отображать данные"));
    showTrafficSwitch->setGeometry(3, 476, 120, 41);

    clearButton = new QPushButton(tr("Очистить "), this);
    clearButton->setObjectName(QStringLiteral("clearButton"));
    clearButton->setGeometry(129, 476, 120, 41);

    logFileButton = new QPushButton(tr("Имя файла"), this);
    logFileButton->setObjectName(QStringLiteral("logFileButton"));
    logFileButton->setGeometry(543, 476, 120, 41);

    logSwitch = new SwitchLed(this);
    logSwitch->setObjectName(QStringLiteral("logSwitch"));
    logSwitch->setCaption(tr("Вести лог"));
    logSwitch->setGeometry(669, 476, 120, 41);

    // The display follows the lamp whoever sets it; the log follows only the user.
    connect(showTrafficSwitch, &SwitchLed::activeChanged, this, [this] { showTrafficSwitchChange(); });
    connect(clearButton, &QPushButton::clicked, this, [this] { clearTraffic(); });
    connect(logFileButton, &QPushButton::clicked, this, [this] { chooseLogFile(); });
    connect(logSwitch, &SwitchLed::changed, this, [this] { logSwitchChange(); });

    m_askFileName = [this](const QString &current) {
        return QFileDialog::getSaveFileName(window(), tr("Имя LOG-файла"), current,
                                            tr("Текстовые файлы (*.txt *.log);;Все файлы (*)"), nullptr,
                                            QFileDialog::DontConfirmOverwrite);
    };
}

TerminalPage::~TerminalPage()
{
    closeLog();
}

void TerminalPage::attach(Messages &messages)
{
    m_messages = &messages;
}

void TerminalPage::otherLogSwitchChanged(bool lit)
{
    m_otherLogSwitchLit = lit;
    logSwitchChange();
}

void TerminalPage::terminalStep(const QByteArray &LineText)
{
    if (!LineText.contains('\r'))
        return;
    if (DisplayData || LogActive) {
        // One reading of the clock: the screen and the file name the same moment.
        const QString stamp = TerminalTimeStamp(m_clock(), LocaleStampSeparators(locale()));
        if (DisplayData)
            trafficView->appendPlainText(QString::number(LineNumber) + QLatin1Char(' ') + stamp +
                                         QLatin1Char(' ') + TerminalDisplayText(LineText));
        if (LogActive)
            writeLog(TerminalLine(LineNumber, stamp, LineText));
    }
    ++LineNumber;
}

void TerminalPage::appendEcho(const QByteArray &line)
{
    trafficView->appendPlainText(TerminalDisplayText(line));
}

void TerminalPage::clearTraffic()
{
    trafficView->clear();
}

void TerminalPage::chooseLogFile()
{
    const QString name = m_askFileName ? m_askFileName(LogFileName) : QString();
    if (!name.isEmpty())
        setLogFileName(name);
}

void TerminalPage::setLogFileName(const QString &name)
{
    if (name == LogFileName)
        return;
    LogFileName = name;
    if (LogActive) {
        closeLog();
        LogActive = openLog();
    }
}

bool TerminalPage::anyLogSwitchLit() const
{
    return logSwitch->isActive() || m_otherLogSwitchLit;
}

void TerminalPage::logSwitchChange()
{
    if (LogFileName.isEmpty()) {
        logSwitch->setActive(false);
        showTrafficSwitch->setActive(false);
        if (!logSwitch->isActive() && m_messages)
            m_messages->warning(tr("Задайте имя LOG-файла"));
        return;
    }
    if (anyLogSwitchLit()) {
        if (!LogActive)
            LogActive = openLog();
    } else {
        LogActive = false;
        closeLog();
    }
}

void TerminalPage::showTrafficSwitchChange()
{
    DisplayData = showTrafficSwitch->isActive();
}

bool TerminalPage::openLog()
{
    // Opening a pipe would freeze the window until a reader came.
    if (const QString refusal = WriteTargetRefusal(LogFileName); !refusal.isEmpty()) {
        failLog(refusal);
        return false;
    }
    if (LogFile.open(LogFileName))
        return true;
    failLog(tr("Не удалось открыть LOG-файл %1: %2").arg(LogFileName, LogFile.errorString()));
    return false;
}

void TerminalPage::closeLog()
{
    LogFile.close();
}

void TerminalPage::writeLog(const QByteArray &line)
{
    // On disk at once: a line in a buffer would be lost if the program were killed.
    if (LogFile.append(line + "\r\n"))
        return;
    failLog(tr("Не удалось записать в LOG-файл %1: %2").arg(LogFileName, LogFile.errorString()));
}

void TerminalPage::failLog(const QString &text)
{
    LogActive = false;
    closeLog();
    logSwitch->setActive(false);
    m_otherLogSwitchLit = false;
    Q_EMIT logSwitchesOff();
    // Not from inside the receive path: a modal box there would run the dispatcher again.
    QTimer::singleShot(0, this, [this, text] {
        if (m_messages)
            m_messages->error(text);
    });
}

} // namespace gencfg
