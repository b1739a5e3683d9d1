#include "link/Commands.h"
#include "link/FrameCodec.h"
#include "monitor/Journal.h"

#include <QTest>

using namespace gencfg;

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

QTEST_APPLESS_MAIN(TestJournal)
#include "tst_journal.moc"
