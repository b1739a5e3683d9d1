#include "monitor/JournalReading.h"

#include "link/Commands.h"
#include "link/FrameCodec.h"

#include <QCoreApplication>

namespace gencfg {

JournalReadOperation::JournalReadOperation(QObject *parent)
    : DeviceOperation(EventJournalEntries + AlarmJournalEntries, parent)
{
    // Connected first, so whoever listens to the end has heard of every missing entry before.
    connect(this, &DeviceOperation::finished, this, [this] {
        tellHeldEntry();
        reportUnaskedAgain();
    });
}

void JournalReadOperation::tellHeldEntry()
{
    if (!m_held)
        return;
    const ReadEntry entry = *m_held;
    m_held.reset();
    Q_EMIT recordRead(entry.journal, entry.index, entry.record);
}

std::optional<OperationStatus> JournalReadOperation::lastReplyDoubted()
{
    if (!m_held)
        return std::nullopt;
    const ReadEntry entry = *m_held;
    m_held.reset();
    // Asked once more at the end of its journal while that is still being read; missing otherwise.
    if (entry.firstAsking && entry.journal == m_journal && !m_done)
        m_unansweredEntries.append(entry.index);
    else
        reportMissing(entry.journal, entry.index);
    return std::nullopt;
}

int JournalReadOperation::position() const
{
    return (m_journal == AlarmJournal ? EventJournalEntries : 0) + m_index;
}

int JournalReadOperation::askedIndex() const
{
    return m_firstPass ? m_index : m_unansweredEntries.at(m_askedAgain);
}

std::optional<OperationStep> JournalReadOperation::nextStep()
{
    if (m_done)
        return std::nullopt;
    return JournalRecordStep(m_journal, quint8(askedIndex()));
}

void JournalReadOperation::endFirstPass()
{
    m_firstPass = false;
    m_index = JournalEntryCount(m_journal);
    m_askedAgain = 0;
    if (m_unansweredEntries.isEmpty())
        nextJournal();
}

void JournalReadOperation::nextJournal()
{
    m_unansweredEntries.clear();
    m_silentRun.clear();
    m_askedAgain = 0;
    if (m_journal == EventJournal) {
        m_journal = AlarmJournal;
        m_index = 0;
        m_firstPass = true;
    } else {
        m_done = true;
        m_index = AlarmJournalEntries;
    }
}

void JournalReadOperation::reportMissing(JournalSelector journal, int index)
{
    ++m_missingCount;
    Q_EMIT recordMissing(journal, index);
}

void JournalReadOperation::reportUnaskedAgain()
{
    if (m_done)
        return;
    const int from = m_firstPass ? 0 : m_askedAgain;
    for (int i = from; i < m_unansweredEntries.size(); ++i) {
        const int index = m_unansweredEntries.at(i);
        if (!m_fellSilent || !m_silentRun.contains(index))
            reportMissing(m_journal, index);
    }
    m_done = true;
}

std::optional<OperationStatus> JournalReadOperation::stepEnded(StepOutcome outcome,
                                                               const QByteArray &replyData)
{
    // The request after the held entry's has gone out and ended, and no second reply came between.
    tellHeldEntry();
    if (outcome == StepOutcome::WriteFailed)
        return OperationStatus::WriteFailed;
    const int index = askedIndex();
    bool atEnd = false;
    if (outcome == StepOutcome::Replied) {
        m_unanswered = 0;
        m_silentRun.clear();
        const JournalRecord record = JournalRecordFromData(replyData);
        // An end mark, also one given to an entry asked again, has no line and is not missing.
        atEnd = IsJournalEnd(record.code());
        if (!atEnd)
            m_held = ReadEntry{m_journal, index, m_firstPass, record};
    } else if (m_firstPass) {
        m_unansweredEntries.append(index);
        m_silentRun.append(index);
    } else {
        reportMissing(m_journal, index);
    }
    if (outcome != StepOutcome::Replied && ++m_unanswered >= MaxUnanswered) {
        if (!m_firstPass)
            ++m_askedAgain;
        m_fellSilent = true;
        setProgress(qMin(position() + 1, total()), total());
        return OperationStatus::NoAnswer;
    }
    if (m_firstPass) {
        if (atEnd || ++m_index >= JournalEntryCount(m_journal))
            endFirstPass();
    } else if (++m_askedAgain >= m_unansweredEntries.size()) {
        nextJournal();
    }
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

QString MissingJournalLine(int index)
{
    return QCoreApplication::translate("JournalReading", "-- запись %1 не прочитана --").arg(index);
}

QString MissingEntriesText(int count)
{
    return QCoreApplication::translate("JournalReading", "Не прочитано записей: %1").arg(count);
}

} // namespace gencfg
