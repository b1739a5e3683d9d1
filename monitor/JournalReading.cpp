#include "monitor/JournalReading.h"

#include "link/Commands.h"
#include "link/FrameCodec.h"

#include <QCoreApplication>
#include <algorithm>
#include <cstring>
#include <utility>

namespace gencfg {

namespace {

int entryKey(JournalSelector journal, int index)
{
    return journal << 8 | index;
}

// Two answers to the same request: the same record, or both an end mark, whatever its stamp.
bool sameAnswer(const JournalRecord &a, const JournalRecord &b)
{
    if (IsJournalEnd(a.code()) || IsJournalEnd(b.code()))
        return IsJournalEnd(a.code()) && IsJournalEnd(b.code());
    return std::memcmp(a.bytes, b.bytes, sizeof a.bytes) == 0;
}

} // namespace

JournalReadOperation::JournalReadOperation(QObject *parent)
    : DeviceOperation(EventJournalEntries + AlarmJournalEntries, parent)
{
    // Connected first, so whoever listens to the end has heard of every missing entry before.
    connect(this, &DeviceOperation::finished, this, &JournalReadOperation::reportUnsettled);
}

std::optional<JournalReadOperation::Request> JournalReadOperation::nextRequest() const
{
    for (JournalSelector journal : {EventJournal, AlarmJournal}) {
        const Pass &p = m_passes[journal == AlarmJournal];
        if (!p.firstAskingDone)
            return Request{journal, p.next, Asking::First};
        if (p.askedAgain < p.again.size())
            return Request{journal, p.again.at(p.askedAgain), Asking::Again};
    }
    // Nothing left to ask, but the last reply has no later one to vouch for it yet.
    if (!m_held.isEmpty())
        return Request{m_held.constLast().request.journal, m_held.constLast().request.index, Asking::Confirm};
    return std::nullopt;
}

std::optional<OperationStep> JournalReadOperation::nextStep()
{
    const std::optional<Request> request = nextRequest();
    if (!request)
        return std::nullopt;
    m_request = *request;
    return JournalRecordStep(request->journal, quint8(request->index));
}

void JournalReadOperation::firstAskingAnswered(Pass &p, bool endMark)
{
    // The end mark's place is kept: a doubted end mark is asked from there on.
    if (endMark) {
        p.firstAskingDone = true;
        return;
    }
    if (++p.next >= JournalEntryCount(m_request.journal)) {
        p.firstAskingDone = true;
        p.complete = true;
    }
}

void JournalReadOperation::confirmOldest()
{
    const Held held = m_held.takeFirst();
    const Request &request = held.request;
    Pass &p = pass(request.journal);
    if (!IsJournalEnd(held.record.code()))
        Q_EMIT recordRead(request.journal, request.index, held.record);
    else if (request.asking == Asking::First)
        p.complete = true;
    // An end mark for an entry asked again names no entry, unless records were read beyond it.
    else if (request.index < p.lastRecord)
        reportMissing(request.journal, request.index);
}

void JournalReadOperation::doubtHeld()
{
    for (const Held &held : std::exchange(m_held, {})) {
        const Request &request = held.request;
        Pass &p = pass(request.journal);
        if (request.asking != Asking::First) {
            reportMissing(request.journal, request.index);
        } else if (!IsJournalEnd(held.record.code())) {
            p.again.append(request.index);
        } else if (++p.endDoubts <= MaxEndDoubts) {
            // The journal may go on past a doubted end mark.
            p.firstAskingDone = false;
            p.next = request.index;
        }
    }
}

std::optional<OperationStatus> JournalReadOperation::strayReply(bool afterReply)
{
    Q_UNUSED(afterReply)
    m_owed = std::max(0, m_owed - 1);
    doubtHeld();
    return std::nullopt;
}

void JournalReadOperation::reportMissing(JournalSelector journal, int index)
{
    ++m_missingCount;
    Q_EMIT recordMissing(journal, index);
}

void JournalReadOperation::reportUnsettled()
{
    for (const Held &held : std::exchange(m_held, {})) {
        const Request &request = held.request;
        // An unconfirmed end mark leaves its journal incomplete; one for an entry asked again beyond
        // the last record names no entry.
        const bool endMark = IsJournalEnd(held.record.code());
        if (!endMark || (request.asking != Asking::First && request.index < pass(request.journal).lastRecord))
            reportMissing(request.journal, request.index);
    }
    for (JournalSelector journal : {EventJournal, AlarmJournal}) {
        Pass &p = pass(journal);
        for (int i = p.askedAgain; i < p.again.size(); ++i) {
            const int index = p.again.at(i);
            if (!m_fellSilent || !m_silentRun.contains(entryKey(journal, index)))
                reportMissing(journal, index);
        }
        p.askedAgain = int(p.again.size());
    }
}

void JournalReadOperation::showProgress()
{
    int done = 0;
    for (JournalSelector journal : {EventJournal, AlarmJournal}) {
        const Pass &p = pass(journal);
        done += p.firstAskingDone ? JournalEntryCount(journal) : p.next;
    }
    setProgress(qMin(done, total()), total());
}

std::optional<OperationStatus> JournalReadOperation::stepEnded(StepOutcome outcome,
                                                               const QByteArray &replyData)
{
    if (outcome == StepOutcome::WriteFailed)
        return OperationStatus::WriteFailed;
    const Request request = m_request;
    Pass &p = pass(request.journal);
    if (outcome == StepOutcome::Replied) {
        m_unanswered = 0;
        m_silentRun.clear();
        const JournalRecord record = JournalRecordFromData(replyData);
        if (request.asking == Asking::Confirm) {
            // The newest request asked twice got the same answer: it was its own, and so were those before.
            if (!m_held.isEmpty() && sameAnswer(m_held.constLast().record, record)) {
                while (!m_held.isEmpty())
                    confirmOldest();
            } else {
                doubtHeld();
            }
        } else {
            for (Held &held : m_held)
                ++held.later;
            m_held.append(Held{request, record, m_owed > 0 ? 2 : 1});
            while (!m_held.isEmpty() && m_held.constFirst().later >= m_held.constFirst().needed)
                confirmOldest();
            if (request.asking == Asking::Again) {
                ++p.askedAgain;
            } else {
                if (!IsJournalEnd(record.code()))
                    p.lastRecord = std::max(p.lastRecord, request.index);
                firstAskingAnswered(p, IsJournalEnd(record.code()));
            }
        }
    } else {
        // Without a reply of its own, this request vouches for nothing: the held replies wait on.
        if (outcome != StepOutcome::NotReady)
            ++m_owed;
        if (request.asking == Asking::First) {
            p.again.append(request.index);
            m_silentRun.append(entryKey(request.journal, request.index));
            firstAskingAnswered(p, false);
        } else if (request.asking == Asking::Again) {
            ++p.askedAgain;
            reportMissing(request.journal, request.index);
        }
        if (++m_unanswered >= MaxUnanswered) {
            m_fellSilent = true;
            showProgress();
            return OperationStatus::NoAnswer;
        }
    }
    showProgress();
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

QString RecordsReadText(int count)
{
    return QCoreApplication::translate("JournalReading", "Прочитано записей: %1").arg(count);
}

QString MissingJournalLine(int index)
{
    return QCoreApplication::translate("JournalReading", "-- запись %1 не прочитана --").arg(index);
}

QString MissingEntriesText(int count)
{
    return QCoreApplication::translate("JournalReading", "Не прочитано записей: %1").arg(count);
}

QString IncompleteJournalText(JournalSelector journal)
{
    return QCoreApplication::translate("JournalReading", "%1 может быть неполным")
        .arg(JournalCaption(journal));
}

} // namespace gencfg
