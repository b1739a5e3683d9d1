#include "cli/Commands.h"
#include "cli/Console.h"
#include "cli/DeviceSession.h"

#include "link/FrameCodec.h"
#include "monitor/Journal.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace gencfg::cli {

namespace {

struct JournalEntry
{
    int index = 0;
    JournalRecord record;
};

// The window's reading: entries in index order up to the end code, an entry
// whose reply does not come skipped. Returns false when the controller fell
// silent, which the window would only show as missing lines.
bool readJournal(DeviceSession &session, JournalSelector journal, QList<JournalEntry> &entries,
                 Progress &progress)
{
    DeviceLink &link = session.link();
    const int count = JournalEntryCount(journal);
    for (int index = 0; index < count; ++index) {
        const int framesBefore = link.packetCount();
        QByteArray data;
        if (!link.ReadJournalRecord(quint8(index), journal, data)) {
            if (session.portLost() || link.packetCount() == framesBefore)
                return false;
            continue;
        }
        progress.set(100 * (index + 1) / count);
        const JournalRecord record = JournalRecordFromData(data);
        if (IsJournalEnd(record.code()))
            break;
        entries.append({index, record});
    }
    return true;
}

QJsonArray journalJson(JournalSelector journal, const QList<JournalEntry> &entries)
{
    QJsonArray array;
    for (const JournalEntry &entry : entries) {
        const quint8 *b = entry.record.bytes;
        array.append(QJsonObject{
            {QStringLiteral("index"), entry.index},
            {QStringLiteral("hour"), BcdToByte(b[0])},
            {QStringLiteral("minute"), BcdToByte(b[1])},
            {QStringLiteral("day"), BcdToByte(b[2])},
            {QStringLiteral("month"), BcdToByte(b[3])},
            {QStringLiteral("code"), entry.record.code()},
            {QStringLiteral("text"), JournalText(journal, entry.record.code())},
            {QStringLiteral("line"), JournalLine(journal, entry.record)},
        });
    }
    return array;
}

QString journalText(const QString &caption, JournalSelector journal, const QList<JournalEntry> &entries)
{
    QString text = caption + QLatin1Char('\n');
    for (const JournalEntry &entry : entries)
        text += JournalLine(journal, entry.record) + QLatin1Char('\n');
    return text;
}

} // namespace

int RunReadJournal(const Invocation &invocation)
{
    DeviceSession session;
    if (const int opened = session.open(invocation.value(QStringLiteral("port"))); opened != Done)
        return opened;

    QList<JournalEntry> events;
    QList<JournalEntry> alarms;
    {
        Progress progress(QStringLiteral("Журнал событий"));
        if (!readJournal(session, EventJournal, events, progress)) {
            progress.finish();
            return session.noAnswer();
        }
    }
    {
        Progress progress(QStringLiteral("Журнал аварий"));
        if (!readJournal(session, AlarmJournal, alarms, progress)) {
            progress.finish();
            return session.noAnswer();
        }
    }

    if (invocation.has(QStringLiteral("json"))) {
        const QJsonObject journals{{QStringLiteral("events"), journalJson(EventJournal, events)},
                                   {QStringLiteral("alarms"), journalJson(AlarmJournal, alarms)}};
        PrintOut(QString::fromUtf8(QJsonDocument(journals).toJson(QJsonDocument::Indented)));
    } else {
        PrintOut(journalText(QStringLiteral("Журнал событий"), EventJournal, events) + QLatin1Char('\n') +
                 journalText(QStringLiteral("Журнал аварий"), AlarmJournal, alarms));
    }
    return Done;
}

} // namespace gencfg::cli
