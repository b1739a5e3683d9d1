#include "monitor/ui/JournalPage.h"

#include "link/DeviceLink.h"
#include "link/LinkTexts.h"
#include "monitor/JournalReading.h"
#include "widgets/Messages.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

namespace gencfg {

namespace {

QPlainTextEdit *makeMemo(QWidget *page, const char *name, const QRect &place)
{
    auto *memo = new QPlainTextEdit(page);
    memo->setObjectName(QLatin1String(name));
    memo->setReadOnly(true);
    memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo->setPlainText(QCoreApplication::translate("gencfg::JournalPage", "-пусто-"));
    memo->setGeometry(place);
    return memo;
}

QLabel *makeCaption(QWidget *page, const char *name, const QString &text, int centreX)
{
    auto *label = new QLabel(text, page);
    label->setObjectName(QLatin1String(name));
    label->adjustSize();
    label->move(centreX - label->width() / 2, 4);
    return label;
}

} // namespace

JournalPage::JournalPage(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("TabSheet5"));
    Label19 = makeCaption(this, "Label19", JournalCaption(EventJournal), 193);
    Label20 = makeCaption(this, "Label20", JournalCaption(AlarmJournal), 593);
    Memo3 = makeMemo(this, "Memo3", {0, 22, 386, 446});
    Memo4 = makeMemo(this, "Memo4", {400, 22, 386, 446});
    Button13 = new QPushButton(tr("Прочитать ЖУРНАЛ СОБЫТИЙ"), this);
    Button13->setObjectName(QStringLiteral("Button13"));
    Button13->setGeometry(0, 476, 786, 41);
    connect(Button13, &QPushButton::clicked, this, [this] { Button13Click(); });
}

void JournalPage::attach(DeviceLink &link, Messages &messages)
{
    m_link = &link;
    m_messages = &messages;
}

void JournalPage::Button13Click()
{
    if (!m_link || m_link->busy())
        return;
    ReadJournals();
}

void JournalPage::ReadJournals()
{
    auto *reading = new JournalReadOperation;
    connect(reading, &JournalReadOperation::journalStarted, this,
            [this](JournalSelector journal) { (journal == AlarmJournal ? Memo4 : Memo3)->clear(); });
    connect(reading, &JournalReadOperation::recordRead, this,
            [this](JournalSelector journal, int, const JournalRecord &record) {
                (journal == AlarmJournal ? Memo4 : Memo3)->appendPlainText(JournalLine(journal, record));
            });
    connect(reading, &DeviceOperation::progress, this,
            [this](int done, int total) { Q_EMIT progressText(JournalProgressText(done, total)); });
    connect(reading, &DeviceOperation::finished, this, [this](OperationStatus status) {
        Q_EMIT progressText(QString());
        // The lines read so far stay whatever the end.
        if (status != OperationStatus::Succeeded && status != OperationStatus::Cancelled && m_messages)
            m_messages->plain(tr("Ошибка"), NoAnswerText());
    });
    Q_EMIT progressText(JournalProgressText(0, reading->total()));
    if (!m_link->startOwned(reading))
        Q_EMIT progressText(QString());
}

} // namespace gencfg
