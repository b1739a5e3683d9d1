#include "monitor/ui/JournalPage.h"

#include "link/DeviceLink.h"
#include "monitor/Journal.h"

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
    memo->setPlainText(QStringLiteral("-пусто-"));
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
    Label19 = makeCaption(this, "Label19", QStringLiteral("Журнал событий"), 193);
    Label20 = makeCaption(this, "Label20", QStringLiteral("Журнал аварий"), 593);
    Memo3 = makeMemo(this, "Memo3", {0, 22, 386, 446});
    Memo4 = makeMemo(this, "Memo4", {400, 22, 386, 446});
    Button13 = new QPushButton(QStringLiteral("Прочитать ЖУРНАЛ СОБЫТИЙ"), this);
    Button13->setObjectName(QStringLiteral("Button13"));
    Button13->setGeometry(0, 476, 786, 41);
    connect(Button13, &QPushButton::clicked, this, [this] { Button13Click(); });
}

void JournalPage::attach(DeviceLink &link)
{
    m_link = &link;
}

void JournalPage::Button13Click()
{
    if (!m_link)
        return;
    OperationGuard guard(*m_link);
    if (!guard)
        return;
    ReadJournals();
}

void JournalPage::ReadJournals()
{
    const struct
    {
        JournalSelector journal;
        QPlainTextEdit *memo;
    } journals[] = {{EventJournal, Memo3}, {AlarmJournal, Memo4}};
    for (const auto &[journal, memo] : journals) {
        memo->clear();
        for (int index = 0; index < JournalEntryCount(journal); ++index) {
            QByteArray data;
            if (!m_link->ReadJournalRecord(quint8(index), journal, data))
                continue;
            const JournalRecord record = JournalRecordFromData(data);
            if (IsJournalEnd(record.code()))
                break;
            memo->appendPlainText(JournalLine(journal, record));
        }
    }
}

} // namespace gencfg
