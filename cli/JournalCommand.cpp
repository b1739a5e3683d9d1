#include "cli/CommandRunners.h"
#include "cli/Console.h"
#include "cli/DeviceSession.h"

#include "link/FrameCodec.h"
#include "monitor/JournalReading.h"

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

// A stamp field's value, or null with the byte as received beside it under "<key>_raw".
void insertStampField(QJsonObject &object, const QString &key, quint8 byte, BcdField field)
{
    if (const std::optional<quint8> value = BcdFieldValue(byte, field)) {
        object.insert(key, *value);
        return;
    }
    object.insert(key, QJsonValue::Null);
    object.insert(key + QStringLiteral("_raw"), QString::fromLatin1(ByteToHexPair(byte)));
}

QJsonArray journalJson(JournalSelector journal, const QList<JournalEntry> &entries)
{
    QJsonArray array;
    for (const JournalEntry &entry : entries) {
        const quint8 *b = entry.record.bytes;
        QJsonObject object{
            {QStringLiteral("index"), entry.index},
            {QStringLiteral("code"), entry.record.code()},
            {QStringLiteral("text"), JournalText(journal, entry.record.code())},
            {QStringLiteral("line"), JournalLine(journal, entry.record)},
        };
        insertStampField(object, QStringLiteral("hour"), b[0], BcdField::Hour);
        insertStampField(object, QStringLiteral("minute"), b[1], BcdField::Minute);
        insertStampField(object, QStringLiteral("day"), b[2], BcdField::Day);
        insertStampField(object, QStringLiteral("month"), b[3], BcdField::Month);
        array.append(object);
    }
    return array;
}

QString journalText(JournalSelector journal, const QList<JournalEntry> &entries)
{
    QString text = JournalCaption(journal) + QLatin1Char('\n');
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
    JournalReadOperation reading;
    QObject::connect(&reading, &JournalReadOperation::recordRead,
                     [&](JournalSelector journal, int index, const JournalRecord &record) {
                         (journal == AlarmJournal ? alarms : events).append({index, record});
                     });
    Progress progress(QStringLiteral("Чтение журнала"));
    const OperationStatus status = session.run(reading, &progress);
    progress.finish();
    // A controller that stopped answering still gets the lines read before, as in the window.
    if (status == OperationStatus::Cancelled ||
        (events.isEmpty() && alarms.isEmpty() && status != OperationStatus::Succeeded))
        return session.failure(status);

    if (invocation.has(QStringLiteral("json"))) {
        const QJsonObject journals{{QStringLiteral("events"), journalJson(EventJournal, events)},
                                   {QStringLiteral("alarms"), journalJson(AlarmJournal, alarms)}};
        PrintOut(QString::fromUtf8(QJsonDocument(journals).toJson(QJsonDocument::Indented)));
    } else {
        PrintOut(journalText(EventJournal, events) + QLatin1Char('\n') + journalText(AlarmJournal, alarms));
    }
    return session.failure(status);
}

} // namespace gencfg::cli
