#include "monitor/ui/JournalPage.h"

#include "config/FileWriting.h"
#include "config/ParamFile.h"
#include "link/DeviceLink.h"
#include "link/LinkTexts.h"
#include "monitor/JournalReading.h"
#include "widgets/Messages.h"
#include "widgets/PageLayout.h"
#include "widgets/PortGuard.h"
#include "widgets/SaveFileDialog.h"

#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>
#include <algorithm>

namespace gencfg {

namespace {

QPlainTextEdit *makeMemo(QWidget *page, const char *name)
{
    auto *memo = new QPlainTextEdit(page);
    memo->setObjectName(QLatin1String(name));
    memo->setReadOnly(true);
    memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo->setPlainText(JournalPage::EmptyJournalText());
    return memo;
}

QLabel *makeCaption(QWidget *page, const char *name, const QString &text)
{
    auto *label = new QLabel(text, page);
    label->setObjectName(QLatin1String(name));
    return label;
}

using Frame = PageLayout::Frame;

// A caption at its own size, centred on centreX by design.
QRect captionPlace(const QLabel *label, int centreX)
{
    const QSize size = label->sizeHint();
    return {QPoint(centreX - size.width() / 2, 4), size};
}

// The left edge of a journal's half of the page: 0 or the middle.
int halfLeft(const Frame &f, double start)
{
    return RoundHalfEven(f.W * start);
}

// A journal's caption, centred over its list.
QRect overList(const Frame &f, const QRect &r, double start)
{
    return {QPoint(halfLeft(f, start) + RoundHalfEven((f.W / 2.0 - 14) / 2) - half(r.width()), r.y()),
            r.size()};
}

// A journal's list: half the page wide, down to above the bottom row.
QRect listPlace(const Frame &f, const QRect &r, double start)
{
    return {halfLeft(f, start), r.y(), RoundHalfEven(f.W / 2.0 - 14), f.H - PageLayout::StatusBarHeight - 90};
}

} // namespace

JournalPage::JournalPage(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("journalPage"));
    m_eventsCaption = makeCaption(this, "eventsCaption", JournalCaption(EventJournal));
    m_alarmsCaption = makeCaption(this, "alarmsCaption", JournalCaption(AlarmJournal));
    m_eventList = makeMemo(this, "eventList");
    m_alarmList = makeMemo(this, "alarmList");
    m_readJournalsButton = new QPushButton(tr("&Прочитать ЖУРНАЛ СОБЫТИЙ"), this);
    m_readJournalsButton->setObjectName(QStringLiteral("readJournalsButton"));
    connect(m_readJournalsButton, &QPushButton::clicked, this, [this] { readJournals(); });
    // At the right end above the alarm list.
    m_saveJournalsButton = new QPushButton(tr("Сохранить журналы"), this);
    m_saveJournalsButton->setObjectName(QStringLiteral("saveJournalsButton"));
    connect(m_saveJournalsButton, &QPushButton::clicked, this, &JournalPage::saveJournals);
    m_progressBar = new QProgressBar(this);
    m_progressBar->setObjectName(QStringLiteral("journalProgressBar"));
    m_progressBar->setTextVisible(false);
    m_progressBar->hide();

    auto *layout = new PageLayout(this);
    layout->add(m_eventsCaption, captionPlace(m_eventsCaption, 193),
                [](const Frame &f, const QRect &r) { return overList(f, r, 0); });
    layout->add(m_eventList, {0, 22, 386, 446},
                [](const Frame &f, const QRect &r) { return listPlace(f, r, 0); });
    layout->add(m_alarmList, {400, 22, 386, 446},
                [](const Frame &f, const QRect &r) { return listPlace(f, r, 0.5); });
    layout->add(m_saveJournalsButton, {646, 0, 140, 21}, [](const Frame &f, const QRect &r) {
        return QRect({f.W - 14 - r.width(), r.y()}, r.size());
    });
    // In a narrow window the alarm journal's caption, drawn from its left, gives way to the button beside it.
    layout->add(m_alarmsCaption, captionPlace(m_alarmsCaption, 593), [this](const Frame &f, const QRect &r) {
        const QRect centred = overList(f, r, 0.5);
        const int clear = m_saveJournalsButton->x() - 4 - m_alarmsCaption->sizeHint().width();
        return QRect({std::min(centred.x(), clear), r.y()}, r.size());
    });
    // In the strip between the lists and the button.
    layout->add(m_progressBar, {0, 466, 786, 8}, [](const Frame &f, const QRect &r) {
        return QRect(0, f.H - PageLayout::StatusBarHeight - 66, f.W - 14, r.height());
    });
    layout->add(m_readJournalsButton, {0, 476, 786, 41}, [](const Frame &f, const QRect &r) {
        return QRect({RoundHalfEven(f.W / 2.0) - half(r.width()) - 7, f.bottomRowTop(r.height())}, r.size());
    });
}

void JournalPage::attach(DeviceLink &link, Messages &messages)
{
    m_link = &link;
    m_messages = &messages;
}

void JournalPage::showEntry(JournalSelector journal, int row, const QString &line)
{
    QPlainTextEdit *memo = journal == AlarmJournal ? m_alarmList : m_eventList;
    if (row == m_book.entries(journal).size() - 1) {
        memo->appendPlainText(line);
        return;
    }
    QTextCursor cursor(memo->document()->findBlockByNumber(row));
    cursor.insertText(line);
    cursor.insertBlock();
}

QList<QWidget *> JournalPage::deviceControls() const
{
    return {m_readJournalsButton, m_saveJournalsButton};
}

QList<QWidget *> JournalPage::controllerControls() const
{
    return {m_readJournalsButton};
}

void JournalPage::saveJournals()
{
    if (m_book.isEmpty()) {
        if (m_messages)
            m_messages->warning(tr("Журналы ещё не прочитаны"));
        return;
    }
    AskSaveFileName(this,
                    {QString(), QDir::home().filePath(QStringLiteral("journals.csv")),
                     QStringLiteral("CSV (*.csv)"), QStringLiteral("csv")},
                    this, [this](const QString &path) {
                        if (path.isEmpty())
                            return;
                        bool refused = false;
                        const QString failure = SaveWhole(path, m_book.csv(), &refused);
                        if (!failure.isEmpty() && m_messages)
                            m_messages->error(refused ? failure
                                                      : tr("Не удалось сохранить %1: %2").arg(path, failure));
                    });
}

void JournalPage::readJournals()
{
    if (!m_link || !PortChosen(*m_link, m_messages))
        return;
    auto *reading = new JournalReadOperation;
    connect(reading, &JournalReadOperation::recordRead, this,
            [this](JournalSelector journal, int index, const JournalRecord &record) {
                showEntry(journal, m_book.addRecord(journal, index, record), JournalLine(journal, record));
            });
    connect(reading, &JournalReadOperation::recordMissing, this, [this](JournalSelector journal, int index) {
        showEntry(journal, m_book.addMissing(journal, index), MissingJournalLine(index));
    });
    connect(reading, &DeviceOperation::progress, this, [this](int done, int total) {
        m_progressBar->setRange(0, total);
        m_progressBar->setValue(done);
        Q_EMIT progressText(JournalProgressText(done, total));
    });
    connect(reading, &DeviceOperation::finished, this, [this, reading](OperationStatus status) {
        for (JournalSelector journal : {EventJournal, AlarmJournal}) {
            m_book.setComplete(journal, reading->isComplete(journal));
            if (!reading->isComplete(journal))
                (journal == AlarmJournal ? m_alarmList : m_eventList)
                    ->appendPlainText(IncompleteJournalText(journal));
        }
        m_progressBar->hide();
        Q_EMIT progressText((QStringList{RecordsReadText(m_book.recordCount())} + m_book.shortfalls())
                                .join(QStringLiteral("; ")));
        if (status == OperationStatus::Succeeded)
            Q_EMIT journalsRead(m_book);
        // The lines read so far stay whatever the end.
        if (status != OperationStatus::Succeeded && status != OperationStatus::Cancelled && m_messages)
            m_messages->plain(ErrorCaption(), NoAnswerText());
    });
    const int total = reading->total();
    // Refused while another operation runs; no entry comes before the first status frame.
    if (!m_link->startOwned(reading))
        return;
    // Nothing of an earlier reading stays, which may have been another controller's.
    for (QPlainTextEdit *memo : {m_eventList, m_alarmList})
        memo->clear();
    m_book.clear();
    if (m_controller) {
        const auto [serial, variantCode] = m_controller();
        m_book.setController(serial, variantCode);
    }
    m_progressBar->setRange(0, total);
    m_progressBar->setValue(0);
    m_progressBar->show();
    Q_EMIT progressText(JournalProgressText(0, total));
}

void JournalPage::clear()
{
    for (QPlainTextEdit *memo : {m_eventList, m_alarmList})
        memo->setPlainText(EmptyJournalText());
    m_book.clear();
}

QString JournalPage::EmptyJournalText()
{
    return tr("-пусто-");
}

} // namespace gencfg
