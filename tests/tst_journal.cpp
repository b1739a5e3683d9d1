#include "ControllerFrames.h"
#include "MemLink.h"
#include "link/Commands.h"
#include "link/FrameCodec.h"
#include "monitor/Journal.h"
#include "monitor/JournalBook.h"
#include "monitor/JournalReading.h"

#include <QTest>

using namespace gencfg;
using namespace gencfg::test;

class TestJournal : public QObject
{
    Q_OBJECT

private slots:
    void line_data();
    void line();
    void alarmJournal_namesOnlyAlarms();
    void endCodes_data();
    void endCodes();
    void recordFromData_takesFiveBytesAndPadsShortReplies();
    void request_carriesSelectorAndIndex();
    void reading_asksSilentEntriesOnceMoreAndReportsTheRest_data();
    void reading_asksSilentEntriesOnceMoreAndReportsTheRest();
    void reading_lateReplyAtAnEdge_isNeverFiledUnderAnotherEntry_data();
    void reading_lateReplyAtAnEdge_isNeverFiledUnderAnotherEntry();
    void book_keepsIndexOrder_andItsCsvHasOneRowPerRecordRead();
};

void TestJournal::line_data()
{
    QTest::addColumn<int>("journal");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");

    QTest::newRow("event 0 mains lost")
        << int(EventJournal) << QByteArray::fromHex("1405231100") << "14:05 23/11 пропадание сети";
    QTest::newRow("event 10 UPS") << int(EventJournal) << QByteArray::fromHex("000001010A")
                                  << "00:00 01/01 работа ИБП";
    QTest::newRow("event 12 keeps its wording") << int(EventJournal) << QByteArray::fromHex("235931120C")
                                                << "23:59 31/12 авария: напряжение ГУ вне дипазона";
    QTest::newRow("event 17 last text") << int(EventJournal) << QByteArray::fromHex("0809100411")
                                        << "08:09 10/04 авария: частота ГУ вне диапазона";
    QTest::newRow("event 18 names its code")
        << int(EventJournal) << QByteArray::fromHex("1405231112") << "14:05 23/11 код 18";
    QTest::newRow("event 19 names its code")
        << int(EventJournal) << QByteArray::fromHex("1405231113") << "14:05 23/11 код 19";
    QTest::newRow("alarm 5 stamp only")
        << int(AlarmJournal) << QByteArray::fromHex("0102030405") << "01:02 03/04 ";
    QTest::newRow("alarm 10 names its code")
        << int(AlarmJournal) << QByteArray::fromHex("010203040A") << "01:02 03/04 код 10";
    QTest::newRow("alarm 19 names its code")
        << int(AlarmJournal) << QByteArray::fromHex("0102030413") << "01:02 03/04 код 19";
    QTest::newRow("alarm 13 no start")
        << int(AlarmJournal) << QByteArray::fromHex("101520060D") << "10:15 20/06 авария: нет запуска ГУ";
    QTest::newRow("digits above 9 show dashes")
        << int(EventJournal) << QByteArray::fromHex("FF0A9AAB01") << "--:-- --/-- запуск ГУ";
    QTest::newRow("every field out of its range")
        << int(EventJournal) << QByteArray::fromHex("FF1A321301") << "--:-- --/-- запуск ГУ";
    QTest::newRow("hour 24 and minute 60")
        << int(EventJournal) << QByteArray::fromHex("2460150601") << "--:-- 15/06 запуск ГУ";
    QTest::newRow("day and month 00")
        << int(EventJournal) << QByteArray::fromHex("1230000001") << "12:30 --/-- запуск ГУ";
    QTest::newRow("only the bad field goes")
        << int(AlarmJournal) << QByteArray::fromHex("2359311D0D") << "23:59 31/-- авария: нет запуска ГУ";
}

void TestJournal::line()
{
    QFETCH(int, journal);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(JournalLine(JournalSelector(journal), JournalRecordFromData(bytes)), text);
}

void TestJournal::alarmJournal_namesOnlyAlarms()
{
    for (int code = 0; code < 20; ++code) {
        const QString alarm = JournalText(AlarmJournal, quint8(code));
        const QString event = JournalText(EventJournal, quint8(code));
        const bool isAlarm = code >= 11 && code <= 17;
        if (isAlarm)
            QVERIFY2(alarm == event && alarm.startsWith(QStringLiteral("авария: ")),
                     qPrintable(
                         QStringLiteral("code %1: alarm \"%2\", event \"%3\"").arg(code).arg(alarm, event)));
        else if (code == 10 || code >= 18)
            QCOMPARE(alarm, QStringLiteral("код %1").arg(code));
        else
            QVERIFY2(alarm.isEmpty(),
                     qPrintable(QStringLiteral("code %1 has alarm text \"%2\"").arg(code).arg(alarm)));
        if (code >= 18)
            QCOMPARE(event, QStringLiteral("код %1").arg(code));
        else
            QVERIFY2(!event.isEmpty() && !event.startsWith(QStringLiteral("код")),
                     qPrintable(QStringLiteral("code %1 event text \"%2\"").arg(code).arg(event)));
    }
}

void TestJournal::endCodes_data()
{
    QTest::addColumn<quint8>("code");
    QTest::addColumn<bool>("end");

    QTest::newRow("19 is an entry") << quint8(19) << false;
    QTest::newRow("20 ends") << quint8(20) << true;
    QTest::newRow("255 ends") << quint8(255) << true;
    QTest::newRow("0 is an entry") << quint8(0) << false;
}

void TestJournal::endCodes()
{
    QFETCH(quint8, code);
    QFETCH(bool, end);
    QCOMPARE(IsJournalEnd(code), end);
    if (end)
        QVERIFY2(JournalText(EventJournal, code).isEmpty(), "an end code must not have a text");
}

void TestJournal::recordFromData_takesFiveBytesAndPadsShortReplies()
{
    const JournalRecord full = JournalRecordFromData(QByteArray::fromHex("1405231100FFFF"));
    QCOMPARE(full.code(), quint8(0));
    QCOMPARE(full.bytes[0], quint8(0x14));

    const JournalRecord cut = JournalRecordFromData(QByteArray::fromHex("1405"));
    QCOMPARE(cut.bytes[1], quint8(0x05));
    QCOMPARE(cut.bytes[2], quint8(0));
    QCOMPARE(cut.code(), quint8(0));
}

void TestJournal::request_carriesSelectorAndIndex()
{
    QCOMPARE(JournalEntryCount(EventJournal), 105);
    QCOMPARE(JournalEntryCount(AlarmJournal), 50);

    const QByteArray data = JournalRequestData(EventJournal, 5);
    const QByteArray frame = BuildCommandFrame(CMD_JOURNAL_RECORD, 0, quint8(data.size()), data);
    QCOMPARE(frame, QByteArray("\x10"
                               "002800000200052F"
                               "\x0D"));
    QCOMPARE(JournalRequestData(AlarmJournal, 49), QByteArray::fromHex("0131"));
}

void TestJournal::reading_asksSilentEntriesOnceMoreAndReportsTheRest_data()
{
    // Entries as journal * 100 + index; "silent" lists the entries the controller never answers.
    QTest::addColumn<bool>("everyOther");
    QTest::addColumn<QList<int>>("silent");
    QTest::addColumn<QList<int>>("read");
    QTest::addColumn<QList<int>>("missing");
    QTest::addColumn<int>("status");
    const int done = int(OperationStatus::Succeeded);
    const int noAnswer = int(OperationStatus::NoAnswer);
    // Five events and three alarms; the end records at event 5 and alarm 3.
    QTest::newRow("every other request answered")
        << true << QList<int>{} << QList<int>{0, 2, 4, 3, 100, 102} << QList<int>{1, 5, 101} << done;
    QTest::newRow("silent entries on both journals")
        << false << QList<int>{2, 101} << QList<int>{0, 1, 3, 4, 100, 102} << QList<int>{2, 101} << done;
    QTest::newRow("a silent index after the last record is not known to be empty")
        << false << QList<int>{5} << QList<int>{0, 1, 2, 3, 4, 100, 101, 102} << QList<int>{5} << done;
    // The last reply before the controller falls silent has no later one to vouch for it: missing.
    QTest::newRow("controller falls silent: the rest is not called missing")
        << false << QList<int>{3, 4, 5} << QList<int>{0, 1} << QList<int>{2} << noAnswer;
    QTest::newRow("a gap before the controller falls silent stays reported")
        << false << QList<int>{1, 3, 4, 5} << QList<int>{0} << QList<int>{2, 1} << noAnswer;
    QTest::newRow("silent second askings count toward the silence")
        << false << QList<int>{1, 3, 100} << QList<int>{0, 2} << QList<int>{1, 3, 4} << noAnswer;
}

void TestJournal::reading_asksSilentEntriesOnceMoreAndReportsTheRest()
{
    QFETCH(bool, everyOther);
    QFETCH(QList<int>, silent);
    QFETCH(QList<int>, read);
    QFETCH(QList<int>, missing);
    QFETCH(int, status);
    MemLink m;
    m.link.setTickMs(60);
    ControllerModel &device = m.model();
    device.eventJournal().clear();
    device.alarmJournal().clear();
    for (int i = 0; i < 5; ++i)
        device.eventJournal().appendRaw(QByteArray::fromHex("10000101") + char(i));
    for (int i = 0; i < 3; ++i)
        device.alarmJournal().appendRaw(QByteArray::fromHex("20000202") + char(11 + i));
    device.setAnswerEveryOther(everyOther);
    for (int entry : silent)
        device.skipJournalReplies(quint8(entry / 100), quint8(entry % 100));

    JournalReadOperation reading;
    QList<int> gotRead;
    QList<int> gotMissing;
    connect(&reading, &JournalReadOperation::recordRead, this,
            [&](JournalSelector journal, int index, const JournalRecord &record) {
                gotRead << journal * 100 + index;
                // Each line is the entry asked for, whenever its reply came.
                QCOMPARE(int(record.code()), journal == EventJournal ? index : 11 + index);
            });
    connect(&reading, &JournalReadOperation::recordMissing, this,
            [&](JournalSelector journal, int index) { gotMissing << journal * 100 + index; });

    QCOMPARE(runToEnd(m.link, reading), std::optional(OperationStatus(status)));
    const auto text = [](const QList<int> &entries) {
        QStringList texts;
        for (int entry : entries)
            texts << QString::number(entry);
        return texts.join(QLatin1Char(' '));
    };
    QCOMPARE(text(gotRead), text(read));
    QCOMPARE(text(gotMissing), text(missing));
}

namespace {

// Entry N of a journal, told apart by its stamp: day and month count the index.
QByteArray scriptedRecord(int journal, int index)
{
    const auto bcd = [](int v) { return char((v / 10) << 4 | v % 10); };
    return QByteArray(1, char(journal == EventJournal ? 0x08 : 0x20)) + char(0x15) + bcd(1 + index % 28) +
           bcd(1 + index / 28) + char(journal == EventJournal ? index % 18 : 11 + index % 7);
}

} // namespace

void TestJournal::reading_lateReplyAtAnEdge_isNeverFiledUnderAnotherEntry_data()
{
    // Entries as journal * 100 + index. A late entry's reply, every time it is asked, meets
    // the next request and is followed by that request's own reply.
    QTest::addColumn<int>("events");
    QTest::addColumn<int>("alarms");
    QTest::addColumn<int>("late");
    QTest::addColumn<bool>("silentAfter");
    QTest::addColumn<QList<int>>("missing");
    QTest::addColumn<QList<bool>>("complete");
    QTest::addColumn<int>("status");
    const int done = int(OperationStatus::Succeeded);
    const int noAnswer = int(OperationStatus::NoAnswer);
    QTest::newRow("just before the controller falls silent")
        << 10 << 3 << 5 << true << QList<int>{5, 6} << QList<bool>{false, false} << noAnswer;
    QTest::newRow("just before the last journal's end")
        << 3 << 3 << 102 << false << QList<int>{102, 103} << QList<bool>{true, true} << done;
    QTest::newRow("as the last reply of a reading")
        << 3 << 50 << 148 << false << QList<int>{148, 149} << QList<bool>{true, true} << done;
    QTest::newRow("a late end mark meets the next journal")
        << 5 << 2 << 5 << false << QList<int>{5} << QList<bool>{true, true} << done;
    QTest::newRow("a late end mark just before the controller falls silent")
        << 5 << 2 << 5 << true << QList<int>{5} << QList<bool>{false, false} << noAnswer;
}

void TestJournal::reading_lateReplyAtAnEdge_isNeverFiledUnderAnotherEntry()
{
    QFETCH(int, events);
    QFETCH(int, alarms);
    QFETCH(int, late);
    QFETCH(bool, silentAfter);
    QFETCH(QList<int>, missing);
    QFETCH(QList<bool>, complete);
    QFETCH(int, status);
    // The test is the controller: a status frame, then the reply to the request it readied.
    MemLink m(0);
    m.link.setTickMs(10);
    m.model().setDropReplies(true);
    const auto replyTo = [&](int journal, int index) {
        const int held = journal == EventJournal ? events : alarms;
        return deviceFrame(CMD_JOURNAL_RECORD,
                           index < held ? scriptedRecord(journal, index) : QByteArray::fromHex("FFFFFFFFFF"));
    };
    std::optional<int> asked;
    connect(&m.link, &DeviceLink::echoLine, this, [&](const QByteArray &line) {
        const QByteArray request = *ParseValidFrame(line.mid(line.indexOf(FrameStart)));
        asked = quint8(request.at(5)) * 100 + quint8(request.at(6));
    });
    JournalReadOperation reading;
    QMap<int, QByteArray> filed;
    QList<int> gotMissing;
    connect(&reading, &JournalReadOperation::recordRead, this,
            [&](JournalSelector journal, int index, const JournalRecord &record) {
                filed[journal * 100 + index] = QByteArray(reinterpret_cast<const char *>(record.bytes), 5);
            });
    connect(&reading, &JournalReadOperation::recordMissing, this,
            [&](JournalSelector journal, int index) { gotMissing << journal * 100 + index; });
    QVERIFY(m.link.start(reading));
    std::optional<QByteArray> onItsWay;
    for (int frames = 0; !reading.status() && frames < 2000; ++frames) {
        asked.reset();
        m.sim->deliver(statusFrame());
        if (!asked)
            continue;
        if (onItsWay) {
            m.sim->deliver(*std::exchange(onItsWay, std::nullopt));
            if (silentAfter)
                break;
        }
        const QByteArray reply = replyTo(*asked / 100, *asked % 100);
        if (*asked == late)
            onItsWay = reply;
        else if (!reading.status())
            m.sim->deliver(reply);
    }
    QVERIFY(waitUntilIdle(m.link));
    QCOMPARE(reading.status(), std::optional(OperationStatus(status)));
    for (auto it = filed.cbegin(); it != filed.cend(); ++it)
        QVERIFY2(it.value() == scriptedRecord(it.key() / 100, it.key() % 100),
                 qPrintable(QStringLiteral("entry %1 got %2").arg(it.key()).arg(it.value().toHex())));
    // Every entry the controller holds is read or named missing, unless the reading stopped.
    std::sort(gotMissing.begin(), gotMissing.end());
    QCOMPARE(gotMissing, missing);
    for (int journal : {0, 1}) {
        const int held = journal == EventJournal ? events : alarms;
        for (int index = 0; index < held && status == int(OperationStatus::Succeeded); ++index)
            QVERIFY2(
                filed.contains(journal * 100 + index) || missing.contains(journal * 100 + index),
                qPrintable(QStringLiteral("entry %1 neither read nor missing").arg(journal * 100 + index)));
        QCOMPARE(reading.isComplete(JournalSelector(journal)), complete.at(journal));
    }
}

void TestJournal::book_keepsIndexOrder_andItsCsvHasOneRowPerRecordRead()
{
    JournalBook book;
    QCOMPARE(book.addRecord(EventJournal, 0, JournalRecordFromData(QByteArray::fromHex("1405231100"))), 0);
    QCOMPARE(book.addRecord(EventJournal, 2, JournalRecordFromData(QByteArray::fromHex("FF0A9AAB01"))), 1);
    // An entry asked once more arrives after later ones and takes its own place.
    QCOMPARE(book.addMissing(EventJournal, 1), 1);
    book.addRecord(AlarmJournal, 0, JournalRecordFromData(QByteArray::fromHex("101520060D")));
    book.addRecord(AlarmJournal, 1, JournalRecordFromData(QByteArray::fromHex("0102030405")));

    QCOMPARE(book.lines(EventJournal), QStringList({"14:05 23/11 пропадание сети",
                                                    "-- запись 1 не прочитана --", "--:-- --/-- запуск ГУ"}));
    QCOMPARE(book.missingIndices(EventJournal), QList<int>{1});
    QCOMPARE(book.text(),
             QStringLiteral("Журнал событий\n14:05 23/11 пропадание сети\n-- запись 1 не прочитана --\n"
                            "--:-- --/-- запуск ГУ\n\nЖурнал аварий\n10:15 20/06 авария: нет запуска ГУ\n"
                            "01:02 03/04 \n"));
    // The year is not kept by the controller; a field that is no valid time is an empty cell.
    QCOMPARE(QString::fromUtf8(book.csv()),
             QStringLiteral("Журнал,Номер,День,Месяц,Час,Минута,Код,Событие\r\n"
                            "Журнал событий,0,23,11,14,5,0,пропадание сети\r\n"
                            "Журнал событий,2,,,,,1,запуск ГУ\r\n"
                            "Журнал аварий,0,20,6,10,15,13,авария: нет запуска ГУ\r\n"
                            "Журнал аварий,1,3,4,1,2,5,\r\n"));
}

QTEST_GUILESS_MAIN(TestJournal)
#include "tst_journal.moc"
