#pragma once

// Reading both journals from the controller, entry by entry: the event
// journal, then the alarm journal, each up to its end mark. An entry whose
// reply does not come is asked once more at the end of its journal, and
// reported missing when that fails too; three requests in a row without a
// reply end the reading, since the controller has stopped answering. A reply
// carries no index, so an entry is told only once the next request has gone
// out without a second reply turning up: one that does puts the entry in doubt,
// and it is asked once more too.

#include "link/DeviceOperation.h"
#include "monitor/Journal.h"

#include <QVector>

namespace gencfg {

class JournalReadOperation : public DeviceOperation
{
    Q_OBJECT
public:
    static constexpr int MaxUnanswered = 3;

    explicit JournalReadOperation(QObject *parent = nullptr);

    JournalSelector journal() const { return m_journal; }
    // Entries reported missing so far, over both journals.
    int missingCount() const { return m_missingCount; }

Q_SIGNALS:
    // An entry read, not an end mark. An entry asked once more comes after the later ones.
    void recordRead(gencfg::JournalSelector journal, int index, const gencfg::JournalRecord &record);
    // An entry without a usable reply when asked once more, or whose second
    // asking the end of the reading cut off. Entries the controller fell
    // silent on are not reported: they are not known to exist.
    void recordMissing(gencfg::JournalSelector journal, int index);

protected:
    std::optional<OperationStep> nextStep() override;
    std::optional<OperationStatus> stepEnded(StepOutcome outcome, const QByteArray &replyData) override;
    std::optional<OperationStatus> lastReplyDoubted() override;

private:
    // Requests already made or skipped at the end mark, over both journals.
    int position() const;
    int askedIndex() const;
    // The first asking of the journal is over: on to the entries to ask again.
    void endFirstPass();
    void nextJournal();
    void reportMissing(JournalSelector journal, int index);
    // What the reading's end left unasked the second time.
    void reportUnaskedAgain();
    // Tells the entry read last, no longer in doubt.
    void tellHeldEntry();

    struct ReadEntry
    {
        JournalSelector journal;
        int index;
        bool firstAsking;
        JournalRecord record;
    };
    std::optional<ReadEntry> m_held;

    JournalSelector m_journal = EventJournal;
    int m_index = 0;
    bool m_firstPass = true;
    bool m_done = false;
    // Entries of the current journal without a reply at their first asking, in index order.
    QVector<int> m_unansweredEntries;
    // How many of them have been asked again.
    int m_askedAgain = 0;
    int m_unanswered = 0;
    // First askings of the current journal within the current run of unanswered requests.
    QVector<int> m_silentRun;
    bool m_fellSilent = false;
    int m_missingCount = 0;
};

// The request for one journal record; its reply carries the record's five bytes.
OperationStep JournalRecordStep(JournalSelector journal, quint8 index);

// "Чтение журнала: 37 из 155"
QString JournalProgressText(int done, int total);

// "-- запись 7 не прочитана --": the place of an entry that could not be read.
QString MissingJournalLine(int index);

// "Не прочитано записей: 2"
QString MissingEntriesText(int count);

} // namespace gencfg
