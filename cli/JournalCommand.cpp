#include "cli/CommandRunners.h"
#include "cli/Console.h"
#include "cli/DeviceSession.h"

#include "link/FrameCodec.h"
#include "monitor/JournalReading.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>

namespace gencfg::cli {

namespace {

struct JournalEntry
{
    int index = 0;
    JournalRecord record;
};

// What one journal gave: its entries read and the indices it could not read, each in index order.
struct JournalResult
{
    QList<JournalEntry> entries;
    QList<int> missing;

    void sort()
    {
        std::sort(entries.begin(), entries.end(),
                  [](const JournalEntry &a, const JournalEntry &b) { return a.index < b.index; });
        std::sort(missing.begin(), missing.end());
    }
    bool isEmpty() const { return entries.isEmpty() && missing.isEmpty(); }
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

QJsonArray indexJson(const QList<int> &indices)
{
    QJsonArray array;
    for (int index : indices)
        array.append(index);
    return array;
}

// The caption, then a line for each entry read or missing, as the window shows them.
QString journalText(JournalSelector journal, const JournalResult &result)
{
    QString text = JournalCaption(journal) + QLatin1Char('\n');
    auto missing = result.missing.cbegin();
    for (const JournalEntry &entry : result.entries) {
        for (; missing != result.missing.cend() && *missing < entry.index; ++missing)
            text += MissingJournalLine(*missing) + QLatin1Char('\n');
        text += JournalLine(journal, entry.record) + QLatin1Char('\n');
    }
    for (; missing != result.missing.cend(); ++missing)
        text += MissingJournalLine(*missing) + QLatin1Char('\n');
    return text;
}

} // namespace

int RunReadJournal(const Invocation &invocation)
{
    DeviceSession session;
    if (const int opened = session.open(invocation.value(QStringLiteral("port"))); opened != Done)
        return opened;

    JournalResult events;
    JournalResult alarms;
    JournalReadOperation reading;
    QObject::connect(&reading, &JournalReadOperation::recordRead,
                     [&](JournalSelector journal, int index, const JournalRecord &record) {
                         (journal == AlarmJournal ? alarms : events).entries.append({index, record});
                     });
    QObject::connect(&reading, &JournalReadOperation::recordMissing, [&](JournalSelector journal, int index) {
        (journal == AlarmJournal ? alarms : events).missing.append(index);
    });
    Progress progress(QStringLiteral("Чтение журнала"));
    const OperationStatus status = session.run(reading, &progress);
    progress.finish();
    // A controller that stopped answering still gets the lines read before, as in the window.
    if (status == OperationStatus::Cancelled ||
        (events.isEmpty() && alarms.isEmpty() && status != OperationStatus::Succeeded))
        return session.failure(status);
    events.sort();
    alarms.sort();

    if (invocation.has(QStringLiteral("json"))) {
        const QJsonObject missing{{QStringLiteral("events"), indexJson(events.missing)},
                                  {QStringLiteral("alarms"), indexJson(alarms.missing)}};
        const QJsonObject journals{{QStringLiteral("events"), journalJson(EventJournal, events.entries)},
                                   {QStringLiteral("alarms"), journalJson(AlarmJournal, alarms.entries)},
                                   {QStringLiteral("missing"), missing}};
        PrintOut(QString::fromUtf8(QJsonDocument(journals).toJson(QJsonDocument::Indented)));
    } else {
        PrintOut(journalText(EventJournal, events) + QLatin1Char('\n') + journalText(AlarmJournal, alarms));
    }
    // A journal with gaps is not a journal read.
    const int missing = reading.missingCount();
    if (status != OperationStatus::Succeeded) {
        if (missing > 0)
            PrintErr(MissingEntriesText(missing) + QLatin1Char('\n'));
        return session.failure(status);
    }
    return missing > 0 ? Fail(NoAnswer, MissingEntriesText(missing)) : Done;
}

} // namespace gencfg::cli
