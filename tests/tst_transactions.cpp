#include "ControllerFrames.h"
#include "MemLink.h"
#include "link/SerialPort.h"
#include "monitor/Journal.h"
#include "monitor/JournalReading.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

using namespace gencfg;
using namespace gencfg::test;

namespace {

// An operation of steps given up front, each failure ending it.
class ScriptOperation : public DeviceOperation
{
public:
    explicit ScriptOperation(QList<OperationStep> steps) : DeviceOperation(int(steps.size())), m_steps(steps)
    {}
    QList<StepOutcome> outcomes;
    // Every step is taken, whatever the ones before it got.
    bool goOn = false;

protected:
    std::optional<OperationStep> nextStep() override
    {
        if (outcomes.size() >= m_steps.size())
            return std::nullopt;
        return m_steps.at(outcomes.size());
    }
    std::optional<OperationStatus> stepEnded(StepOutcome outcome, const QByteArray &) override
    {
        outcomes << outcome;
        setProgress(int(outcomes.size()), int(m_steps.size()));
        if (!goOn && outcome != StepOutcome::Sent && outcome != StepOutcome::Replied)
            return FailureStatus(outcome);
        return std::nullopt;
    }

private:
    QList<OperationStep> m_steps;
};

} // namespace

class tst_Transactions : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void readBlock_copiesExactlyTheBytesAsked();
    void writeBlock_storesTheBytesAndSucceedsWithoutAnAnswer();
    void journalRequest_carriesJournalThenIndex();
    void replyThatIsNotTheOneAsked_failsTheStepAndHandsNothingOver_data();
    void replyThatIsNotTheOneAsked_failsTheStepAndHandsNothingOver();
    void framesInOneRead_theFirstAfterTheRequestIsTheReply();
    void silentLine_endsEachStepAfterItsBoundAndSendsNothing_data();
    void silentLine_endsEachStepAfterItsBoundAndSendsNothing();
    void failedWrite_failsTheOperation();
    void secondOperationWhileOneRuns_isRefusedAndThePortStays();
    void cancel_endsBetweenStepsNeverCuttingARequest();
    void stopWhileAReplyIsAwaited_letsItComeAndNeverEndsAsNoAnswer_data();
    void stopWhileAReplyIsAwaited_letsItComeAndNeverEndsAsNoAnswer();
    void lateReply_neverReadiesNorAnswersALaterRequest();
    void lateReplyTakenForALaterRequest_isAskedAgain_data();
    void lateReplyTakenForALaterRequest_isAskedAgain();
    void overANetwork_onlyAReplyIsTheReplyWithinARoundTrip_data();
    void overANetwork_onlyAReplyIsTheReplyWithinARoundTrip();
    void reconnectPauses_doubleUpToHalfAMinute_data();
    void reconnectPauses_doubleUpToHalfAMinute();
    void portClosedOrLost_endsTheOperationAtOnce();
    void portErrorPolicy_closesOnlyOnErrorsThatMeanTheDeviceIsGone_data();
    void portErrorPolicy_closesOnlyOnErrorsThatMeanTheDeviceIsGone();
};

void tst_Transactions::readBlock_copiesExactlyTheBytesAsked()
{
    MemLink m;
    QByteArray pattern;
    for (int i = 0; i < 64; ++i)
        pattern += char(i * 3);
    m.model().writeMemory(128, pattern);
    QSignalSpy echo(&m.link, &DeviceLink::echoLine);
    SingleStepOperation read(ReadBlockStep(128, 64));
    QCOMPARE(runToEnd(m.link, read), OperationStatus::Succeeded);
    QCOMPARE(read.outcome(), StepOutcome::Replied);
    QCOMPARE(read.replyData(), pattern);
    QCOMPARE(echo.at(0).at(0).toByteArray(), "<<" + BuildReadFrame(128, 64));
    QCOMPARE(m.model().receivedFrames().first().text.size(), 14);
}

void tst_Transactions::writeBlock_storesTheBytesAndSucceedsWithoutAnAnswer()
{
    MemLink m;
    m.model().setDropReplies(true);
    QSignalSpy echo(&m.link, &DeviceLink::echoLine);
    SingleStepOperation write(WriteBlockStep(184, "12345678"));
    QCOMPARE(runToEnd(m.link, write), OperationStatus::Succeeded);
    QCOMPARE(write.outcome(), StepOutcome::Sent);
    QCOMPARE(echo.at(0).at(0).toByteArray(), "<< " + BuildWriteFrame(184, 8, "12345678"));
    QCOMPARE(m.model().memory().mid(184, 8), QByteArray("12345678"));
}

void tst_Transactions::journalRequest_carriesJournalThenIndex()
{
    MemLink m;
    m.model().alarmJournal().clear();
    m.model().logEvent(13);
    SingleStepOperation first(JournalRecordStep(AlarmJournal, 0));
    QCOMPARE(runToEnd(m.link, first), OperationStatus::Succeeded);
    QCOMPARE(first.replyData().size(), 5);
    QCOMPARE(int(first.replyData().at(4)), 13);
    SingleStepOperation seventh(JournalRecordStep(AlarmJournal, 7));
    runToEnd(m.link, seventh);
    QCOMPARE(m.model().receivedFrames().last().text, QByteArray("\x10"
                                                                "00280000020107"
                                                                "2C"
                                                                "\r"));
}

void tst_Transactions::replyThatIsNotTheOneAsked_failsTheStepAndHandsNothingOver_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<bool>("journal");
    QTest::addColumn<int>("outcome");
    QTest::newRow("status frame instead of a block") << "status" << false << int(StepOutcome::WrongReply);
    QTest::newRow("status frame instead of a record") << "status" << true << int(StepOutcome::WrongReply);
    QTest::newRow("short block") << "short" << false << int(StepOutcome::WrongReply);
    QTest::newRow("short record") << "short" << true << int(StepOutcome::WrongReply);
    QTest::newRow("corrupted block") << "corrupted" << false << int(StepOutcome::NoReply);
    QTest::newRow("no reply at all") << "dropped" << false << int(StepOutcome::NoReply);
}

void tst_Transactions::replyThatIsNotTheOneAsked_failsTheStepAndHandsNothingOver()
{
    QFETCH(QString, fault);
    QFETCH(bool, journal);
    QFETCH(int, outcome);
    // No status frames of its own: the test decides what the controller sends.
    MemLink m(0);
    m.link.setTickMs(30);
    m.model().setDropReplies(true);
    // An earlier long frame leaves bytes in RxBytes that a short reply must not borrow.
    m.sim->deliver(deviceFrame(CMD_READ_MEMORY, QByteArray(64, '\x55')));
    connect(&m.link, &DeviceLink::echoLine, this, [&] {
        QByteArray reply;
        const quint8 command = journal ? CMD_JOURNAL_RECORD : CMD_READ_MEMORY;
        if (fault == "status")
            reply = statusFrame();
        else if (fault == "short")
            reply = deviceFrame(command, QByteArray(journal ? 2 : 32, '\x22'));
        else if (fault == "corrupted")
            reply = deviceFrame(command, QByteArray(64, '\x22')).replace(20, 1, "G");
        if (!reply.isEmpty())
            QTimer::singleShot(0, m.sim, [&m, reply] { m.sim->deliver(reply); });
    });
    SingleStepOperation step(journal ? JournalRecordStep(EventJournal, 0) : ReadBlockStep(0, 64));
    QVERIFY(m.link.start(step));
    m.sim->sendStatusFrame();
    QVERIFY(waitUntilIdle(m.link));
    QCOMPARE(int(step.outcome()), outcome);
    QCOMPARE(step.status(), OperationStatus::NoAnswer);
    QVERIFY(step.replyData().isEmpty());
    QCOMPARE(m.link.badFrameCount(), fault == "corrupted" ? 1 : 0);
}

void tst_Transactions::framesInOneRead_theFirstAfterTheRequestIsTheReply()
{
    MemLink m(0);
    m.model().setDropReplies(true);
    const QByteArray memory(64, '\x11');
    const QByteArray early(64, '\x77');
    int requests = 0;
    connect(&m.link, &DeviceLink::echoLine, this, [&] {
        ++requests;
        // The reply and a status frame right behind it, in one read.
        QTimer::singleShot(0, m.sim,
                           [&] { m.sim->deliver(deviceFrame(CMD_READ_MEMORY, memory) + statusFrame()); });
    });
    SingleStepOperation read(ReadBlockStep(0, 64));
    QVERIFY(m.link.start(read));
    // Frames that came in one read were all on the line before the request: none of them is its reply.
    m.sim->deliver(statusFrame() + deviceFrame(CMD_READ_MEMORY, early));
    QVERIFY(waitUntilIdle(m.link));
    QCOMPARE(requests, 1);
    QCOMPARE(read.replyData(), memory);
    QCOMPARE(m.link.packetCount(), 4);
}

void tst_Transactions::silentLine_endsEachStepAfterItsBoundAndSendsNothing_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("bound");
    QTest::newRow("command") << 0 << CommandBound;
    QTest::newRow("write") << 1 << BlockBound;
    QTest::newRow("read") << 2 << BlockBound;
    QTest::newRow("journal") << 3 << BlockBound;
}

void tst_Transactions::silentLine_endsEachStepAfterItsBoundAndSendsNothing()
{
    QFETCH(int, kind);
    QFETCH(int, bound);
    MemLink m;
    m.model().setSilent(true);
    m.link.setTickMs(20);
    const OperationStep steps[] = {CommandStep(CMD_TEST_GPRS, 0, {}), WriteBlockStep(4, "abcd"),
                                   ReadBlockStep(0, 64), JournalRecordStep(EventJournal, 0)};
    SingleStepOperation step(steps[kind]);
    QElapsedTimer elapsed;
    elapsed.start();
    QCOMPARE(runToEnd(m.link, step), OperationStatus::NoAnswer);
    QCOMPARE(step.outcome(), StepOutcome::NotReady);
    QVERIFY2(elapsed.elapsed() >= bound * 20, qPrintable(QString::number(elapsed.elapsed())));
    QVERIFY2(m.model().receivedLog().isEmpty(), "nothing may be sent on a silent line");
}

void tst_Transactions::failedWrite_failsTheOperation()
{
    MemLink m;
    m.sim->setWriteFails(true);
    SingleStepOperation command(CommandStep(CMD_TEST_SMS, 0, {}));
    QCOMPARE(runToEnd(m.link, command), OperationStatus::WriteFailed);
    QCOMPARE(command.outcome(), StepOutcome::WriteFailed);
    // A transfer stops at the block that did not go out.
    ScriptOperation transfer({WriteBlockStep(4, "ab"), WriteBlockStep(64, "cd")});
    QCOMPARE(runToEnd(m.link, transfer), OperationStatus::WriteFailed);
    QCOMPARE(transfer.outcomes, QList<StepOutcome>{StepOutcome::WriteFailed});
}

void tst_Transactions::secondOperationWhileOneRuns_isRefusedAndThePortStays()
{
    MemLink m(200);
    QSignalSpy busy(&m.link, &DeviceLink::busyChanged);
    SingleStepOperation first(ReadBlockStep(0, 64));
    SingleStepOperation second(CommandStep(CMD_TEST_SMS, 0, {}));
    QVERIFY(m.link.start(first));
    QVERIFY(m.link.busy());
    QVERIFY2(!m.link.start(second), "an operation must not start inside another");
    QVERIFY(!m.link.openPort(QStringLiteral("other")).isEmpty());
    QCOMPARE(m.link.transport().portName(), QStringLiteral("sim"));
    QVERIFY(waitUntilIdle(m.link));
    QCOMPARE(first.status(), OperationStatus::Succeeded);
    QVERIFY(!second.status());
    QCOMPARE(m.model().receivedFrames().size(), 1);
    QCOMPARE(busy.count(), 2);
    // Once idle, the same operation object cannot run twice, a new one can.
    QVERIFY(!m.link.start(first));
    QCOMPARE(runToEnd(m.link, second), OperationStatus::Succeeded);
}

void tst_Transactions::cancel_endsBetweenStepsNeverCuttingARequest()
{
    MemLink m(100);
    QList<OperationStep> reads;
    for (int i = 0; i < 4; ++i)
        reads << ReadBlockStep(quint16(i * 64), 64);

    // Asked while a reply is awaited: that step ends first, then nothing more goes out.
    ScriptOperation awaitingReply(reads);
    connect(&m.link, &DeviceLink::echoLine, &awaitingReply, [&] {
        if (awaitingReply.outcomes.size() == 1)
            awaitingReply.cancel();
    });
    QCOMPARE(runToEnd(m.link, awaitingReply), OperationStatus::Cancelled);
    QCOMPARE(awaitingReply.outcomes, (QList<StepOutcome>{StepOutcome::Replied, StepOutcome::Replied}));
    QCOMPARE(m.model().receivedFrames().size(), 2);

    // Asked while waiting for the controller to be ready: it ends at once.
    ScriptOperation waitingReady(reads);
    QVERIFY(m.link.start(waitingReady));
    QElapsedTimer elapsed;
    elapsed.start();
    waitingReady.cancel();
    QVERIFY(waitUntilIdle(m.link));
    QCOMPARE(waitingReady.status(), OperationStatus::Cancelled);
    QVERIFY(waitingReady.outcomes.isEmpty());
    QVERIFY2(elapsed.elapsed() < 100, qPrintable(QString::number(elapsed.elapsed())));
    QCOMPARE(m.model().receivedFrames().size(), 2);
}

void tst_Transactions::stopWhileAReplyIsAwaited_letsItComeAndNeverEndsAsNoAnswer_data()
{
    QTest::addColumn<int>("steps");
    QTest::addColumn<bool>("answered");
    QTest::addColumn<int>("status");
    QTest::addColumn<QList<StepOutcome>>("outcomes");
    QTest::newRow("the last reply comes")
        << 1 << true << int(OperationStatus::Succeeded) << QList<StepOutcome>{StepOutcome::Replied};
    QTest::newRow("a reply with steps left comes")
        << 2 << true << int(OperationStatus::Cancelled) << QList<StepOutcome>{StepOutcome::Replied};
    // The controller's next status frame is then the first frame after the request.
    QTest::newRow("the reply never comes")
        << 1 << false << int(OperationStatus::Cancelled) << QList<StepOutcome>{StepOutcome::WrongReply};
}

void tst_Transactions::stopWhileAReplyIsAwaited_letsItComeAndNeverEndsAsNoAnswer()
{
    QFETCH(int, steps);
    QFETCH(bool, answered);
    QFETCH(int, status);
    QFETCH(QList<StepOutcome>, outcomes);
    MemLink m;
    m.link.setTickMs(50);
    m.model().setDropReplies(!answered);
    ScriptOperation read(QList<OperationStep>(steps, ReadBlockStep(0, 64)));
    connect(&m.link, &DeviceLink::echoLine, &read, [&] { read.cancel(); });
    QCOMPARE(runToEnd(m.link, read), OperationStatus(status));
    QCOMPARE(read.outcomes, outcomes);
    QCOMPARE(m.model().receivedFrames().size(), 1);
}

void tst_Transactions::lateReply_neverReadiesNorAnswersALaterRequest()
{
    // The test is the controller: it decides every frame and when it comes.
    MemLink m(0);
    m.link.setTickMs(1000);
    m.model().setDropReplies(true);
    const auto record = [](int index) { return QByteArray::fromHex("08150102") + char(1 + index); };
    JournalReadOperation reading;
    QMap<int, QByteArray> filed;
    connect(&reading, &JournalReadOperation::recordRead, this,
            [&](JournalSelector, int index, const JournalRecord &r) {
                filed[index] = QByteArray(reinterpret_cast<const char *>(r.bytes), 5);
            });
    QSignalSpy requests(&m.link, &DeviceLink::echoLine);
    QVERIFY(m.link.start(reading));
    m.sim->deliver(statusFrame());
    QCOMPARE(requests.count(), 1);
    // A status frame where the reply to entry 0 should be: the entry is not read.
    m.sim->deliver(statusFrame());
    // Entry 0's reply, late: it neither readies the request for entry 1 nor is taken for its reply.
    m.sim->deliver(deviceFrame(CMD_JOURNAL_RECORD, record(0)));
    QCOMPARE(requests.count(), 1);
    // After an entry without its reply, only a status frame readies the next request.
    m.sim->deliver(deviceFrame(CMD_TEST_SMS, {}));
    QCOMPARE(requests.count(), 1);
    m.sim->deliver(statusFrame());
    QCOMPARE(requests.count(), 2);
    m.sim->deliver(deviceFrame(CMD_JOURNAL_RECORD, record(1)));
    // From here on any frame readies a request again.
    m.sim->deliver(deviceFrame(CMD_TEST_SMS, {}));
    QCOMPARE(requests.count(), 3);
    // Entry 2's reply vouches for entry 1's.
    m.sim->deliver(deviceFrame(CMD_JOURNAL_RECORD, record(2)));
    reading.cancel();
    QVERIFY(waitUntilIdle(m.link));
    QCOMPARE(filed, (QMap<int, QByteArray>{{1, record(1)}}));
    QCOMPARE(m.link.packetCount(), 8);
}

void tst_Transactions::lateReplyTakenForALaterRequest_isAskedAgain_data()
{
    QTest::addColumn<bool>("oneArrival");
    QTest::newRow("the entry's own reply comes next") << false;
    QTest::newRow("both replies come in one read") << true;
}

void tst_Transactions::lateReplyTakenForALaterRequest_isAskedAgain()
{
    // Entry 0's reply comes so late that it meets the request for entry 1, and
    // entry 1's own reply follows it: entry 1 is in doubt and is asked again.
    QFETCH(bool, oneArrival);
    MemLink m(0);
    m.link.setTickMs(1000);
    m.model().setDropReplies(true);
    const auto record = [](int index) {
        return deviceFrame(CMD_JOURNAL_RECORD, QByteArray::fromHex("08150102") + char(1 + index));
    };
    const QByteArray endMark = deviceFrame(CMD_JOURNAL_RECORD, QByteArray::fromHex("00000000FF"));
    JournalReadOperation reading;
    QMap<int, int> filed;
    QList<int> missing;
    connect(&reading, &JournalReadOperation::recordRead, this,
            [&](JournalSelector journal, int index, const JournalRecord &r) {
                if (journal == EventJournal)
                    filed[index] = r.code() - 1;
            });
    connect(&reading, &JournalReadOperation::recordMissing, this,
            [&](JournalSelector, int index) { missing.append(index); });
    QVERIFY(m.link.start(reading));
    m.sim->deliver(statusFrame());
    m.sim->deliver(statusFrame()); // where entry 0's reply should be
    m.sim->deliver(statusFrame());
    if (oneArrival) {
        m.sim->deliver(record(0) + record(1));
    } else {
        m.sim->deliver(record(0));
        m.sim->deliver(record(1));
    }
    // Entry 2 holds the end mark; then entries 0 and 1 are asked again, then the alarm journal is
    // empty, and its end mark is asked once more to vouch for it.
    for (const QByteArray &reply : {endMark, record(0), record(1), endMark, endMark}) {
        m.sim->deliver(statusFrame());
        m.sim->deliver(reply);
    }
    QVERIFY(waitUntilIdle(m.link));
    QCOMPARE(reading.status(), OperationStatus::Succeeded);
    QCOMPARE(filed, (QMap<int, int>{{0, 0}, {1, 1}}));
    QCOMPARE(missing, QList<int>());
}

void tst_Transactions::overANetwork_onlyAReplyIsTheReplyWithinARoundTrip_data()
{
    QTest::addColumn<bool>("network");
    // What the controller's side sends: S a status frame, R a block, . a round trip passes,
    // T the step's wait for its reply runs out; a space only reads better.
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QList<StepOutcome>>("outcomes");
    using O = StepOutcome;
    // The first block comes at once: the round trip measured is short from then on.
    QTest::newRow("status right after a request, network: sent before it, skipped")
        << true << QByteArray("SR SSR") << QList<O>{O::Replied, O::Replied};
    QTest::newRow("status right after a request, cable: the wrong reply")
        << false << QByteArray("SR SS") << QList<O>{O::Replied, O::WrongReply};
    QTest::newRow("status a round trip after a request, network: the wrong reply")
        << true << QByteArray("SR S.S") << QList<O>{O::Replied, O::WrongReply};
    QTest::newRow("only status frames, network: no reply")
        << true << QByteArray("SR SSST") << QList<O>{O::Replied, O::NoReply};
    QTest::newRow("late block, network: neither readies nor answers the next request")
        << true << QByteArray("SR ST R ..SR") << QList<O>{O::Replied, O::NoReply, O::Replied};
    QTest::newRow("late block, cable: neither readies nor answers the next request")
        << false << QByteArray("SR ST R ..SR") << QList<O>{O::Replied, O::NoReply, O::Replied};
}

void tst_Transactions::overANetwork_onlyAReplyIsTheReplyWithinARoundTrip()
{
    QFETCH(bool, network);
    QFETCH(QByteArray, line);
    QFETCH(QList<StepOutcome>, outcomes);
    MemLink m(0);
    m.sim->setConnectMs(network ? 5 : -1);
    m.link.setTickMs(300);
    m.model().setDropReplies(true);
    ScriptOperation read(QList<OperationStep>(outcomes.size(), ReadBlockStep(0, 4)));
    read.goOn = true;
    QVERIFY(m.link.start(read));
    for (const char sent : line) {
        const qsizetype stepsEnded = read.outcomes.size();
        if (sent == 'S')
            m.sim->deliver(statusFrame());
        else if (sent == 'R')
            m.sim->deliver(deviceFrame(CMD_READ_MEMORY, "blok"));
        else if (sent == '.')
            QTest::qWait(200);
        else if (sent == 'T')
            QVERIFY(QTest::qWaitFor([&] { return read.outcomes.size() > stepsEnded; }, 5000));
    }
    QVERIFY(waitUntilIdle(m.link, 5000));
    QCOMPARE(read.outcomes, outcomes);
}

void tst_Transactions::reconnectPauses_doubleUpToHalfAMinute_data()
{
    QTest::addColumn<int>("failed");
    QTest::addColumn<int>("pauseMs");
    for (const auto &[failed, pauseMs] : {std::pair{0, 1000},
                                          {1, 2000},
                                          {2, 4000},
                                          {3, 8000},
                                          {4, 16000},
                                          {5, 30000},
                                          {6, 30000},
                                          {40, 30000}})
        QTest::addRow("%d failed", failed) << failed << pauseMs;
}

void tst_Transactions::reconnectPauses_doubleUpToHalfAMinute()
{
    QFETCH(int, failed);
    QFETCH(int, pauseMs);
    QCOMPARE(DeviceLink::ReconnectPauseMs(failed), pauseMs);
}

void tst_Transactions::portClosedOrLost_endsTheOperationAtOnce()
{
    MemLink m(50);
    m.link.setTickMs(2000);
    QSignalSpy lost(&m.link, &DeviceLink::portLost);
    SingleStepOperation read(ReadBlockStep(0, 64));
    m.model().setSilent(true);
    QVERIFY(m.link.start(read));
    QTimer::singleShot(20, m.sim, [&] { m.sim->vanish(); });
    QElapsedTimer elapsed;
    elapsed.start();
    QVERIFY(waitUntilIdle(m.link));
    QCOMPARE(read.status(), OperationStatus::PortLost);
    QVERIFY2(elapsed.elapsed() < 1000, qPrintable(QString::number(elapsed.elapsed())));
    QCOMPARE(lost.count(), 1);

    // On a closed port the next operation fails without waiting.
    SingleStepOperation command(CommandStep(CMD_TEST_SMS, 0, {}));
    elapsed.restart();
    QCOMPARE(runToEnd(m.link, command), OperationStatus::NoAnswer);
    QVERIFY(elapsed.elapsed() < 1000);

    m.link.openPort(QStringLiteral("sim"));
    SingleStepOperation closing(ReadBlockStep(0, 64));
    QVERIFY(m.link.start(closing));
    m.link.closePort();
    QVERIFY(waitUntilIdle(m.link, 1000));
    QCOMPARE(closing.status(), OperationStatus::PortLost);
}

void tst_Transactions::portErrorPolicy_closesOnlyOnErrorsThatMeanTheDeviceIsGone_data()
{
    QTest::addColumn<QSerialPort::SerialPortError>("error");
    QTest::addColumn<bool>("fatal");
    QTest::newRow("unplugged") << QSerialPort::ResourceError << true;
    QTest::newRow("hung up") << QSerialPort::ReadError << true;
    QTest::newRow("gone") << QSerialPort::DeviceNotFoundError << true;
    QTest::newRow("no modem lines") << QSerialPort::UnsupportedOperationError << false;
    QTest::newRow("write timeout") << QSerialPort::TimeoutError << false;
    QTest::newRow("none") << QSerialPort::NoError << false;
}

void tst_Transactions::portErrorPolicy_closesOnlyOnErrorsThatMeanTheDeviceIsGone()
{
    QFETCH(QSerialPort::SerialPortError, error);
    QFETCH(bool, fatal);
    QCOMPARE(IsFatalPortError(error), fatal);
}

QTEST_GUILESS_MAIN(tst_Transactions)
#include "tst_transactions.moc"
