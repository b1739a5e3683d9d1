#include "ExpectedTexts.h"
#include "FormSim.h"
#include "WidgetSupport.h"
#include "link/Commands.h"
#include "link/FrameCodec.h"
#include "monitor/Journal.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace gencfg;
using namespace gencfg::test;

namespace {

// The journal requests the controller received, as (selector, index) pairs.
QList<QPair<int, int>> journalRequests(const FormSim &s)
{
    QList<QPair<int, int>> requests;
    for (const QByteArray &frame : s.received())
        if (frame.size() >= 7 && quint8(frame.at(1)) == CMD_JOURNAL_RECORD)
            requests << qMakePair(int(quint8(frame.at(5))), int(quint8(frame.at(6))));
    return requests;
}

QList<QPair<int, int>> indices(int selector, int from, int to)
{
    QList<QPair<int, int>> out;
    for (int i = from; i <= to; ++i)
        out << qMakePair(selector, i);
    return out;
}

// The requests of a whole reading: its last one is asked once more, so a later reply vouches for its answer.
QList<QPair<int, int>> vouched(const QList<QPair<int, int>> &requests, QPair<int, int> last)
{
    return requests + QList<QPair<int, int>>{last};
}

QByteArray requestFrame(int selector, int index)
{
    return BuildCommandFrame(CMD_JOURNAL_RECORD, 0, 2,
                             JournalRequestData(JournalSelector(selector), quint8(index)));
}

} // namespace

class tst_JournalPage : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void endCodeAtTheFirstEvent_leavesEventsEmptyAndStillReadsAlarms();
    void entries_becomeStampedLinesWithTheirJournalsTexts();
    void fullJournals_give105And50LinesWithoutAnEndCode();
    void statusFrameInsteadOfAReply_costsOnlyThatEntry();
    void requestForIndex5_goesOutAsTheDocumentedText();
    void secondClickOrACommandDuringAReading_isIgnored();
    void stoppedReading_keepsItsLinesAndShowedItsProgress();
    void entryWithoutAReply_isAskedAgainAtTheEndOfItsJournal_data();
    void entryWithoutAReply_isAskedAgainAtTheEndOfItsJournal();
    void failedReading_leavesNothingOfTheEarlierOne();
    void endMarkNeverVouchedFor_saysTheJournalsMayBeIncomplete();
};

void tst_JournalPage::endCodeAtTheFirstEvent_leavesEventsEmptyAndStillReadsAlarms()
{
    FormSim s;
    QVERIFY(s.ready());
    s.sim.model().eventJournal().clear();
    s.sim.model().alarmJournal().clear();
    s.sim.model().alarmJournal().appendRaw(hexBytes("08 30 01 02 0D"));
    QVERIFY(s.settle());

    QTest::mouseClick(named<QPushButton>(&s.form, "readJournalsButton"), Qt::LeftButton);

    QVERIFY(s.finish());

    QVERIFY2(named<QPlainTextEdit>(&s.form, "eventList")->toPlainText().isEmpty(),
             qPrintable(named<QPlainTextEdit>(&s.form, "eventList")->toPlainText()));
    QCOMPARE(memoLines(named<QPlainTextEdit>(&s.form, "alarmList")),
             QStringList{QStringLiteral("08:30 01/02 авария: нет запуска ГУ")});
    QCOMPARE(journalRequests(s), vouched({{0, 0}, {1, 0}, {1, 1}}, {1, 1}));
    QVERIFY2(s.boxes.count() == 0, qPrintable(s.boxes.texts().join(QLatin1Char('|'))));
}

void tst_JournalPage::entries_becomeStampedLinesWithTheirJournalsTexts()
{
    FormSim s;
    QVERIFY(s.ready());
    ControllerJournal &events = s.sim.model().eventJournal();
    ControllerJournal &alarms = s.sim.model().alarmJournal();
    events.clear();
    alarms.clear();
    events.appendRaw(hexBytes("14 05 23 11 00"));
    events.appendRaw(hexBytes("07 00 01 01 12")); // code 18: no text of its own, named by number
    events.appendRaw(hexBytes("23 59 31 12 0B"));
    events.appendRaw(hexBytes("FF 9A 00 00 06")); // digits above 9 and a day and month 00: no time
    events.appendRaw(hexBytes("00 00 00 00 14")); // code 20 ends the journal
    events.appendRaw(hexBytes("01 01 01 01 01"));
    alarms.appendRaw(hexBytes("10 15 02 03 05")); // not an alarm code: stamp only
    alarms.appendRaw(hexBytes("11 20 04 05 0D"));
    alarms.appendRaw(hexBytes("12 00 06 07 11"));
    QVERIFY(s.settle());

    named<QPushButton>(&s.form, "readJournalsButton")->click();

    QVERIFY(s.finish());

    const QStringList expectedEvents{
        QStringLiteral("14:05 23/11 пропадание сети"),
        QStringLiteral("07:00 01/01 код 18"),
        QStringLiteral("23:59 31/12 авария: разряд АКБ ГУ"),
        QStringLiteral("--:-- --/-- автоматический режим"),
    };
    const QStringList expectedAlarms{
        QStringLiteral("10:15 02/03 "),
        QStringLiteral("11:20 04/05 авария: нет запуска ГУ"),
        QStringLiteral("12:00 06/07 авария: частота ГУ вне диапазона"),
    };
    QCOMPARE(memoLines(named<QPlainTextEdit>(&s.form, "eventList")), expectedEvents);
    QCOMPARE(memoLines(named<QPlainTextEdit>(&s.form, "alarmList")), expectedAlarms);
    // Nothing past the end code is asked for; the alarm journal runs to its own end record.
    QCOMPARE(journalRequests(s), vouched(indices(0, 0, 4) + indices(1, 0, 3), {1, 3}));
}

void tst_JournalPage::fullJournals_give105And50LinesWithoutAnEndCode()
{
    FormSim s;
    QVERIFY(s.ready());
    s.sim.model().fillJournals();
    QVERIFY(s.settle());

    named<QPushButton>(&s.form, "readJournalsButton")->click();

    QVERIFY(s.finish());

    QStringList expectedEvents;
    for (int i = 0; i < 105; ++i)
        expectedEvents << JournalLine(EventJournal,
                                      JournalRecordFromData(s.sim.model().eventJournal().record(i)));
    QStringList expectedAlarms;
    for (int i = 0; i < 50; ++i)
        expectedAlarms << JournalLine(AlarmJournal,
                                      JournalRecordFromData(s.sim.model().alarmJournal().record(i)));
    QCOMPARE(memoLines(named<QPlainTextEdit>(&s.form, "eventList")), expectedEvents);
    QCOMPARE(memoLines(named<QPlainTextEdit>(&s.form, "alarmList")), expectedAlarms);
    QCOMPARE(journalRequests(s), vouched(indices(0, 0, 104) + indices(1, 0, 49), {1, 49}));
    QCOMPARE(s.boxes.count(), 0);
}

void tst_JournalPage::statusFrameInsteadOfAReply_costsOnlyThatEntry()
{
    FormSim s;
    QVERIFY(s.ready());
    ControllerJournal &events = s.sim.model().eventJournal();
    events.clear();
    s.sim.model().alarmJournal().clear();
    const char *records[] = {"01 00 01 01 00", "02 00 01 01 01", "03 00 01 01 02", "04 00 01 01 03"};
    for (const char *record : records)
        events.appendRaw(hexBytes(record));
    QVERIFY(s.settle());
    // The controller answers the request for index 2, and only that one, with a status frame.
    connect(&s.form.link(), &DeviceLink::echoLine, this, [&](const QByteArray &line) {
        s.sim.model().setStatusInsteadOfReply(line == "<<" + requestFrame(0, 2));
    });

    named<QPushButton>(&s.form, "readJournalsButton")->click();

    QVERIFY(s.finish());

    QCOMPARE(
        memoLines(named<QPlainTextEdit>(&s.form, "eventList")),
        (QStringList{QStringLiteral("01:00 01/01 пропадание сети"), QStringLiteral("02:00 01/01 запуск ГУ"),
                     QStringLiteral("-- запись 2 не прочитана --"),
                     QStringLiteral("04:00 01/01 появление сети")}));
    // Asked once more at the end of the event journal, and again answered with a status frame.
    QCOMPARE(journalRequests(s), vouched(indices(0, 0, 4) + indices(0, 2, 2) + indices(1, 0, 0), {1, 0}));
    QVERIFY(named<QPlainTextEdit>(&s.form, "alarmList")->toPlainText().isEmpty());
}

void tst_JournalPage::requestForIndex5_goesOutAsTheDocumentedText()
{
    FormSim s;
    QVERIFY(s.ready());
    s.sim.model().eventJournal().clear();
    for (int i = 0; i < 6; ++i)
        s.sim.model().eventJournal().appendRaw(hexBytes("12 00 01 01 02"));
    s.sim.model().alarmJournal().clear();
    QVERIFY(s.settle());

    named<QPushButton>(&s.form, "readJournalsButton")->click();

    QVERIFY(s.finish());

    const QVector<FrameLogEntry> frames = s.sim.model().receivedFrames();
    QVERIFY(frames.size() > 5);
    QCOMPARE(frames.at(5).text, QByteArray("\x10"
                                           "002800000200052F"
                                           "\r"));
    // Every request is echoed to the terminal, marked "<<" without a blank.
    const QStringList terminal =
        trafficView(named<QWidget>(&s.form, "terminalPage"))->toPlainText().split(QLatin1Char('\n'));
    QVERIFY2(terminal.contains(QStringLiteral("<<^P002800000200052F")),
             qPrintable(terminal.join(QLatin1Char('|'))));
}

void tst_JournalPage::secondClickOrACommandDuringAReading_isIgnored()
{
    FormSim s;
    QVERIFY(s.ready());
    s.sim.model().eventJournal().clear();
    s.sim.model().alarmJournal().clear();
    for (int i = 0; i < 3; ++i)
        s.sim.model().eventJournal().appendRaw(hexBytes("09 00 01 01 09"));
    QVERIFY(s.settle());
    QWidget *page = named<QWidget>(&s.form, "journalPage");
    bool triedDuringReading = false;
    bool buttonWasDisabled = false;
    connect(&s.form.link(), &DeviceLink::echoLine, this, [&](const QByteArray &line) {
        if (triedDuringReading || line != "<<" + requestFrame(0, 1))
            return;
        triedDuringReading = true;
        buttonWasDisabled = !named<QPushButton>(page, "readJournalsButton")->isEnabled();
        // Deferred into the reading's own wait, as a click would arrive.
        QTimer::singleShot(0, page, [&] {
            QTest::mouseClick(named<QPushButton>(page, "readJournalsButton"), Qt::LeftButton);
            QTest::mouseClick(named<QPushButton>(named<QWidget>(&s.form, "servicePage"), "testSmsButton"),
                              Qt::LeftButton);
        });
    });

    named<QPushButton>(page, "readJournalsButton")->click();

    QVERIFY(s.finish());

    QVERIFY(triedDuringReading);
    QVERIFY2(buttonWasDisabled, "readJournalsButton stays clickable during its own reading");
    QCOMPARE(memoLines(named<QPlainTextEdit>(page, "eventList")),
             QStringList(3, QStringLiteral("09:00 01/01 останов ГУ")));
    QCOMPARE(journalRequests(s), vouched(indices(0, 0, 3) + indices(1, 0, 0), {1, 0}));
    QCOMPARE(s.received().size(), 6);
    QCOMPARE(s.boxes.count(), 0);
    QVERIFY(named<QPushButton>(page, "readJournalsButton")->isEnabled());
}

void tst_JournalPage::stoppedReading_keepsItsLinesAndShowedItsProgress()
{
    FormSim s;
    QVERIFY(s.ready());
    s.sim.model().fillJournals();
    QVERIFY(s.settle());
    QStringList panelDuring;
    bool stopShown = false;
    connect(&s.form.link(), &DeviceLink::echoLine, this, [&] {
        panelDuring << named<QLabel>(&s.form, "statusText")->text();
        if (panelDuring.size() == 20) {
            stopShown = !named<QPushButton>(&s.form, "stopButton")->isHidden();
            named<QPushButton>(&s.form, "stopButton")->click();
        }
    });

    named<QPushButton>(&s.form, "readJournalsButton")->click();
    QVERIFY(s.finish());

    QVERIFY(stopShown);
    QCOMPARE(panelDuring.first(), QStringLiteral("Чтение журнала: 0 из 155"));
    QCOMPARE(panelDuring.at(19), QStringLiteral("Чтение журнала: 19 из 155"));
    QCOMPARE(journalRequests(s), indices(0, 0, 19));
    // The last reply has no later one to vouch for it, and neither journal reached its end.
    const QStringList events = memoLines(named<QPlainTextEdit>(&s.form, "eventList"));
    QCOMPARE(events.size(), 21);
    QCOMPARE(events.mid(19), (QStringList{QStringLiteral("-- запись 19 не прочитана --"),
                                          QStringLiteral("Журнал событий может быть неполным")}));
    QVERIFY2(memoLines(named<QPlainTextEdit>(&s.form, "alarmList")) ==
                 QStringList{QStringLiteral("Журнал аварий может быть неполным")},
             "a reading clears both journals when it starts");
    QCOMPARE(s.boxes.count(), 0);
    QCOMPARE(
        named<QLabel>(&s.form, "statusText")->text(),
        QStringLiteral("Прочитано записей: 19; Не прочитано записей: 1; Журнал событий может быть неполным; "
                       "Журнал аварий может быть неполным"));
    QVERIFY(named<QPushButton>(&s.form, "stopButton")->isHidden());
    QVERIFY(named<QPushButton>(&s.form, "readJournalsButton")->isEnabled());
}

void tst_JournalPage::entryWithoutAReply_isAskedAgainAtTheEndOfItsJournal_data()
{
    QTest::addColumn<int>("journal");
    QTest::addColumn<int>("silentTimes");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("status");
    const QStringList events{QStringLiteral("01:00 01/01 пропадание сети"),
                             QStringLiteral("02:00 01/01 запуск ГУ"), QStringLiteral("03:00 01/01 работа ГУ"),
                             QStringLiteral("04:00 01/01 появление сети")};
    const QStringList alarms{QStringLiteral("05:00 02/02 авария: разряд АКБ ГУ"),
                             QStringLiteral("06:00 02/02 авария: нет запуска ГУ"),
                             QStringLiteral("07:00 02/02 авария: нет останова ГУ")};
    QStringList eventGap = events;
    eventGap[2] = QStringLiteral("-- запись 2 не прочитана --");
    QStringList alarmGap = alarms;
    alarmGap[2] = QStringLiteral("-- запись 2 не прочитана --");
    const QString gap = QStringLiteral("Прочитано записей: 6; Не прочитано записей: 1");
    QTest::newRow("event answered when asked again")
        << 0 << 1 << events << QStringLiteral("Прочитано записей: 7");
    QTest::newRow("event never answered") << 0 << -1 << eventGap << gap;
    QTest::newRow("alarm answered when asked again")
        << 1 << 1 << alarms << QStringLiteral("Прочитано записей: 7");
    QTest::newRow("alarm never answered") << 1 << -1 << alarmGap << gap;
}

void tst_JournalPage::entryWithoutAReply_isAskedAgainAtTheEndOfItsJournal()
{
    QFETCH(int, journal);
    QFETCH(int, silentTimes);
    QFETCH(QStringList, lines);
    QFETCH(QString, status);
    FormSim s;
    QVERIFY(s.ready());
    ControllerModel &device = s.sim.model();
    device.eventJournal().clear();
    device.alarmJournal().clear();
    for (const char *record : {"01 00 01 01 00", "02 00 01 01 01", "03 00 01 01 02", "04 00 01 01 03"})
        device.eventJournal().appendRaw(hexBytes(record));
    for (const char *record : {"05 00 02 02 0B", "06 00 02 02 0D", "07 00 02 02 0E"})
        device.alarmJournal().appendRaw(hexBytes(record));
    device.skipJournalReplies(quint8(journal), 2, silentTimes);
    QVERIFY(s.settle());

    named<QPushButton>(&s.form, "readJournalsButton")->click();
    QVERIFY(s.finish());

    QWidget *page = named<QWidget>(&s.form, "journalPage");
    QCOMPARE(memoLines(journal == 0 ? named<QPlainTextEdit>(page, "eventList")
                                    : named<QPlainTextEdit>(page, "alarmList")),
             lines);
    QCOMPARE(memoLines(journal == 0 ? named<QPlainTextEdit>(page, "alarmList")
                                    : named<QPlainTextEdit>(page, "eventList"))
                 .size(),
             journal == 0 ? 3 : 4);
    QCOMPARE(named<QLabel>(&s.form, "statusText")->text(), status);
    // Each journal to its end record, the silent entry asked once more right after, and the
    // newest reply's request once more: the alarm journal's end, or the alarm answered at last.
    const QList<QPair<int, int>> askedAgain{{journal, 2}};
    const QPair<int, int> last{1, journal == 1 && silentTimes == 1 ? 2 : 3};
    QCOMPARE(journalRequests(s), vouched(journal == 0 ? indices(0, 0, 4) + askedAgain + indices(1, 0, 3)
                                                      : indices(0, 0, 4) + indices(1, 0, 3) + askedAgain,
                                         last));
    QCOMPARE(s.boxes.count(), 0);
}

void tst_JournalPage::failedReading_leavesNothingOfTheEarlierOne()
{
    FormSim s;
    QVERIFY(s.ready());
    s.sim.model().fillJournals();
    s.sim.model().eventJournal().clear();
    s.sim.model().eventJournal().appendRaw(hexBytes("01 00 01 01 00"));
    QVERIFY(s.settle());
    QWidget *page = named<QWidget>(&s.form, "journalPage");
    named<QPushButton>(page, "readJournalsButton")->click();
    QVERIFY(s.finish());
    QCOMPARE(memoLines(named<QPlainTextEdit>(page, "eventList")).size(), 1);
    QCOMPARE(memoLines(named<QPlainTextEdit>(page, "alarmList")).size(), 50);

    // The controller stops answering, as another one on a changed port might.
    s.sim.model().setDropReplies(true);
    named<QPushButton>(page, "readJournalsButton")->click();
    QVERIFY(s.finish());

    QCOMPARE(s.boxes.texts(), QStringList{NoLink});
    QCOMPARE(memoLines(named<QPlainTextEdit>(page, "eventList")),
             QStringList{QStringLiteral("Журнал событий может быть неполным")});
    QCOMPARE(memoLines(named<QPlainTextEdit>(page, "alarmList")),
             QStringList{QStringLiteral("Журнал аварий может быть неполным")});
}

void tst_JournalPage::endMarkNeverVouchedFor_saysTheJournalsMayBeIncomplete()
{
    FormSim s;
    QVERIFY(s.ready());
    ControllerJournal &events = s.sim.model().eventJournal();
    events.clear();
    for (const char *record : {"01 00 01 01 00", "02 00 01 01 01", "03 00 01 01 02"})
        events.appendRaw(hexBytes(record));
    QVERIFY(s.settle());
    // The event journal's end mark is the last reply: no later request gets one of its own.
    bool endAsked = false;
    connect(&s.form.link(), &DeviceLink::echoLine, this, [&](const QByteArray &line) {
        s.sim.model().setStatusInsteadOfReply(endAsked);
        endAsked = endAsked || line == "<<" + requestFrame(0, 3);
    });

    named<QPushButton>(&s.form, "readJournalsButton")->click();
    QVERIFY(s.finish());

    QCOMPARE(memoLines(named<QPlainTextEdit>(&s.form, "eventList")),
             (QStringList{QStringLiteral("01:00 01/01 пропадание сети"),
                          QStringLiteral("02:00 01/01 запуск ГУ"), QStringLiteral("03:00 01/01 работа ГУ"),
                          QStringLiteral("Журнал событий может быть неполным")}));
    QCOMPARE(memoLines(named<QPlainTextEdit>(&s.form, "alarmList")),
             QStringList{QStringLiteral("Журнал аварий может быть неполным")});
    QCOMPARE(
        named<QLabel>(&s.form, "statusText")->text(),
        QStringLiteral("Прочитано записей: 3; Журнал событий может быть неполным; Журнал аварий может быть "
                       "неполным"));
}

QTEST_MAIN(tst_JournalPage)
#include "tst_journal_page.moc"
