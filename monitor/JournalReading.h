#pragma once

// Reading both journals from the controller, entry by entry: the event
// journal, then the alarm journal, each up to its end mark. An entry whose
// reply does not come is skipped; three requests in a row without a reply end
// the reading, since the controller has stopped answering.

#include "link/DeviceOperation.h"
#include "monitor/Journal.h"

namespace gencfg {

class JournalReadOperation : public DeviceOperation
{
    Q_OBJECT
public:
    static constexpr int MaxUnanswered = 3;

    explicit JournalReadOperation(QObject *parent = nullptr);

    JournalSelector journal() const { return m_journal; }

Q_SIGNALS:
    // Before the first request of a journal.
    void journalStarted(gencfg::JournalSelector journal);
    // An entry read, not an end mark.
    void recordRead(gencfg::JournalSelector journal, int index, const gencfg::JournalRecord &record);

protected:
    std::optional<OperationStep> nextStep() override;
    std::optional<OperationStatus> stepEnded(StepOutcome outcome, const QByteArray &replyData) override;

private:
    // Requests already made or skipped at the end mark, over both journals.
    int position() const;
    void endJournal();

    JournalSelector m_journal = EventJournal;
    int m_index = 0;
    bool m_started = false;
    bool m_done = false;
    int m_unanswered = 0;
};

// The request for one journal record; its reply carries the record's five bytes.
OperationStep JournalRecordStep(JournalSelector journal, quint8 index);

// "Чтение журнала: 37 из 155"
QString JournalProgressText(int done, int total);

} // namespace gencfg
