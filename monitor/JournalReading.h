#pragma once

// Reading both journals from the controller, entry by entry: the event
// journal, then the alarm journal, each up to its end mark. A reply carries no
// index, so a reply counts for its entry only once a later request got a reply
// of its own with no stray reply between; a stray reply puts it in doubt. While
// an earlier request's reply may still be on its way, two later replies are
// needed: a reply that comes just after the next status frame is taken for the
// next request's own. An
// entry without a reply, or in doubt, is asked once more after the rest of its
// journal, and reported missing when that fails too. An end mark is doubted
// like any entry: in doubt, its journal is read on from there; a journal is
// complete only once its end mark is confirmed. What is still unconfirmed when
// there is nothing left to ask is asked again, so the last reply of a reading
// counts too. Three requests in a row without a reply end the reading, since
// the controller has stopped answering.

#include "link/DeviceOperation.h"
#include "monitor/Journal.h"

#include <QVector>

namespace gencfg {

class JournalReadOperation : public DeviceOperation
{
    Q_OBJECT
public:
    static constexpr int MaxUnanswered = 3;
    // An end mark doubted this often leaves its journal incomplete.
    static constexpr int MaxEndDoubts = 3;

    explicit JournalReadOperation(QObject *parent = nullptr);

    // Entries reported missing so far, over both journals.
    int missingCount() const { return m_missingCount; }
    // Read up to a confirmed end mark, or through its last index.
    bool isComplete(JournalSelector journal) const { return m_passes[journal == AlarmJournal].complete; }

Q_SIGNALS:
    // An entry read and confirmed, not an end mark. Entries come in no fixed order.
    void recordRead(gencfg::JournalSelector journal, int index, const gencfg::JournalRecord &record);
    // An entry without a usable reply when asked once more, one still unconfirmed
    // when the reading ended, or one whose second asking the end of the reading cut
    // off. Entries the controller fell silent on are not reported: they are not known to exist.
    void recordMissing(gencfg::JournalSelector journal, int index);

protected:
    std::optional<OperationStep> nextStep() override;
    std::optional<OperationStatus> stepEnded(StepOutcome outcome, const QByteArray &replyData) override;
    std::optional<OperationStatus> strayReply(bool afterReply) override;

private:
    enum class Asking { First, Again, Confirm };
    struct Request
    {
        JournalSelector journal = EventJournal;
        int index = 0;
        Asking asking = Asking::First;
    };
    struct Pass
    {
        // The next index of the first asking; an end mark's own index.
        int next = 0;
        bool firstAskingDone = false;
        bool complete = false;
        // Entries without a reply at their first asking, or put in doubt, to ask once more.
        QVector<int> again;
        int askedAgain = 0;
        // The highest index that held a record at its first asking.
        int lastRecord = -1;
        int endDoubts = 0;
    };
    struct Held
    {
        Request request;
        JournalRecord record;
        // Replies to later requests it waits for, and those that came.
        int needed = 1;
        int later = 0;
    };

    Pass &pass(JournalSelector journal) { return m_passes[journal == AlarmJournal]; }
    // What to ask next, or nothing when the reading is over.
    std::optional<Request> nextRequest() const;
    void firstAskingAnswered(Pass &pass, bool endMark);
    // The oldest held reply counts for its entry now.
    void confirmOldest();
    // None of the held replies may be its request's own.
    void doubtHeld();
    void reportMissing(JournalSelector journal, int index);
    // What the reading's end left unconfirmed or unasked the second time.
    void reportUnsettled();
    void showProgress();

    Pass m_passes[2];
    Request m_request;
    // Replies taken and not yet vouched for, oldest first.
    QVector<Held> m_held;
    int m_unanswered = 0;
    // Requests sent whose reply never came, less the stray replies since: late replies still owed.
    int m_owed = 0;
    // First askings (journal * 256 + index) within the current run of unanswered requests.
    QVector<int> m_silentRun;
    bool m_fellSilent = false;
    int m_missingCount = 0;
};

// The request for one journal record; its reply carries the record's five bytes.
OperationStep JournalRecordStep(JournalSelector journal, quint8 index);

// "Чтение журнала: 37 из 155"
QString JournalProgressText(int done, int total);

// "Прочитано записей: 57": what a reading ended with.
QString RecordsReadText(int count);

// "-- запись 7 не прочитана --": the place of an entry that could not be read.
QString MissingJournalLine(int index);

// "Не прочитано записей: 2"
QString MissingEntriesText(int count);

// "Журнал аварий может быть неполным": its end mark was never confirmed.
QString IncompleteJournalText(JournalSelector journal);

} // namespace gencfg
