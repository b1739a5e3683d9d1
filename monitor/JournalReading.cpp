#include "monitor/JournalReading.h"

#include "link/Commands.h"
#include "link/FrameCodec.h"

#include <QCoreApplication>

namespace gencfg {

JournalReadOperation::JournalReadOperation(QObject *parent)
    : DeviceOperation(EventJournalEntries + AlarmJournalEntries, parent)
{}

int JournalReadOperation::position() const
{
    return (m_journal == AlarmJournal ? EventJournalEntries : 0) + m_index;
}

std::optional<OperationStep> JournalReadOperation::nextStep()
{
    if (m_done)
        return std::nullopt;
    if (!m_started) {
        m_started = true;
        Q_EMIT journalStarted(m_journal);
    }
    return JournalRecordStep(m_journal, quint8(m_index));
}

void JournalReadOperation::endJournal()
{
    if (m_journal == EventJournal) {
        m_journal = AlarmJournal;
        m_index = 0;
        m_started = false;
    } else {
        m_done = true;
        m_index = AlarmJournalEntries;
    }
}

std::optional<OperationStatus> JournalReadOperation::stepEnded(StepOutcome outcome,
                                                               const QByteArray &replyData)
{
    bool atEnd = false;
    if (outcome == StepOutcome::Replied) {
        m_unanswered = 0;
        const JournalRecord record = JournalRecordFromData(replyData);
        atEnd = IsJournalEnd(record.code());
        if (!atEnd)
            Q_EMIT recordRead(m_journal, m_index, record);
    } else if (outcome == StepOutcome::WriteFailed) {
        return OperationStatus::WriteFailed;
    } else if (++m_unanswered >= MaxUnanswered) {
        setProgress(position() + 1, total());
        return OperationStatus::NoAnswer;
    }
    if (atEnd || ++m_index >= JournalEntryCount(m_journal))
        endJournal();
    setProgress(position(), total());
    return std::nullopt;
}

OperationStep JournalRecordStep(JournalSelector journal, quint8 index)
{
    const QByteArray data = JournalRequestData(journal, index);
    return {BuildCommandFrame(CMD_JOURNAL_RECORD, 0, quint8(data.size()), data), "<<", BlockBound,
            CMD_JOURNAL_RECORD, int(sizeof(JournalRecord::bytes))};
}

QString JournalProgressText(int done, int total)
{
    return QCoreApplication::translate("JournalReading", "Чтение журнала: %1 из %2").arg(done).arg(total);
}

} // namespace gencfg
