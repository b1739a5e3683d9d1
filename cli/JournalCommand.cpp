#include "cli/CommandRunners.h"
#include "cli/Console.h"
#include "cli/DeviceSession.h"

#include "link/FrameCodec.h"
#include "monitor/JournalBook.h"
#include "monitor/JournalReading.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace gencfg::cli {

namespace {

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

QJsonArray journalJson(const JournalBook &book, JournalSelector journal)
{
    QJsonArray array;
    for (const JournalBook::Entry &entry : book.entries(journal)) {
        if (entry.missing)
            continue;
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

} // namespace

int RunReadJournal(const Invocation &invocation)
{
    DeviceSession session;
    if (const int opened = session.open(invocation.value(QStringLiteral("port"))); opened != Done)
        return opened;

    JournalBook book;
    const OperationStatus status = session.readJournals(book);
    // A controller that stopped answering still gets the lines read before, as in the window.
    if (status == OperationStatus::Cancelled || (book.isEmpty() && status != OperationStatus::Succeeded))
        return session.failure(status);

    if (invocation.has(QStringLiteral("json"))) {
        const QJsonObject missing{{QStringLiteral("events"), indexJson(book.missingIndices(EventJournal))},
                                  {QStringLiteral("alarms"), indexJson(book.missingIndices(AlarmJournal))}};
        const QJsonObject complete{{QStringLiteral("events"), book.isComplete(EventJournal)},
                                   {QStringLiteral("alarms"), book.isComplete(AlarmJournal)}};
        const QJsonObject journals{{QStringLiteral("events"), journalJson(book, EventJournal)},
                                   {QStringLiteral("alarms"), journalJson(book, AlarmJournal)},
                                   {QStringLiteral("missing"), missing},
                                   {QStringLiteral("complete"), complete}};
        PrintOut(QString::fromUtf8(QJsonDocument(journals).toJson(QJsonDocument::Indented)));
    } else if (invocation.has(QStringLiteral("csv"))) {
        PrintOut(QString::fromUtf8(book.csv()));
    } else {
        PrintOut(book.text());
    }
    // A journal with gaps, or that may go on past what was read, is not a journal read.
    const QStringList shortfalls = book.shortfalls();
    if (status != OperationStatus::Succeeded) {
        for (const QString &text : shortfalls)
            PrintErr(text + QLatin1Char('\n'));
        return session.failure(status);
    }
    return shortfalls.isEmpty() ? Done : Fail(NoAnswer, shortfalls.join(QLatin1Char('\n')));
}

} // namespace gencfg::cli
