#include "DeviceFrames.h"
#include "SimLink.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

using namespace gencfg;
using namespace gencfg::test;

class tst_Transactions : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void sendCommand_goesOutRightAfterAStatusFrameWithItsEchoLine();
    void readBlock_copiesExactlyTheBytesAsked();
    void readBlock_failsWhenAStatusFrameComesInsteadOfTheReply();
    void readBlock_failsOnAShortReplyAndLeavesTheDestination();
    void readBlock_takesTheFirstFrameAfterTheRequestWhenTwoArriveTogether();
    void readBlock_ignoresACorruptedReply();
    void writeBlock_storesTheBytesAndSucceedsWithoutAnAnswer();
    void readJournalRecord_returnsTheRecord();
    void silentLine_endsEachTransactionAfterItsBound_data();
    void silentLine_endsEachTransactionAfterItsBound();
    void secondTransactionDuringAWait_isRefused();
    void vanishingDevice_closesThePortEndsTheWaitAndReportsOnce();
    void portErrorPolicy_closesOnlyOnErrorsThatMeanTheDeviceIsGone_data();
    void portErrorPolicy_closesOnlyOnErrorsThatMeanTheDeviceIsGone();
};

void tst_Transactions::sendCommand_goesOutRightAfterAStatusFrameWithItsEchoLine()
{
    SimLink s;
    QVERIFY2(s.ready(), qPrintable(s.openError));
    QSignalSpy echo(&s.link, &DeviceLink::echoLine);
    QCOMPARE(s.link.SendCommand(CMD_TEST_SMS, 0, 0, {}), DeviceLink::SendResult::Sent);
    const QByteArray frame = BuildCommandFrame(CMD_TEST_SMS, 0, 0, {});
    QCOMPARE(echo.count(), 1);
    QCOMPARE(echo.at(0).at(0).toByteArray(), "<< " + frame);
    QTRY_COMPARE(s.sim.model().lastServiceCommand(), quint8(CMD_TEST_SMS));

    // The request started after the end of the status frame that preceded it.
    const QVector<FrameLogEntry> received = s.sim.model().receivedFrames();
    QCOMPARE(received.size(), 1);
    QCOMPARE(received.first().text, frame);
    qint64 lastStatusEnd = 0;
    for (const FrameLogEntry &sent : s.sim.model().sentFrames())
        if (sent.endUs <= received.first().startUs)
            lastStatusEnd = sent.endUs;
    QVERIFY(lastStatusEnd > 0);
    QVERIFY(received.first().startUs >= lastStatusEnd);
}

void tst_Transactions::readBlock_copiesExactlyTheBytesAsked()
{
    SimLink s;
    QVERIFY(s.ready());
    QByteArray pattern;
    for (int i = 0; i < 64; ++i)
        pattern += char(i * 3);
    s.sim.model().writeMemory(128, pattern);
    QSignalSpy echo(&s.link, &DeviceLink::echoLine);
    QByteArray block;
    QVERIFY(s.link.ReadBlock(128, 64, block));
    QVERIFY(s.link.transferOk());
    QCOMPARE(block, pattern);
    QCOMPARE(echo.at(0).at(0).toByteArray(), "<<" + BuildReadFrame(128, 64));
    QCOMPARE(s.sim.model().receivedFrames().first().text.size(), 14);
}

void tst_Transactions::readBlock_failsWhenAStatusFrameComesInsteadOfTheReply()
{
    SimLink s;
    QVERIFY(s.ready());
    s.sim.model().setStatusInsteadOfReply(true);
    QByteArray block("untouched");
    QVERIFY(!s.link.ReadBlock(0, 64, block));
    QVERIFY(!s.link.transferOk());
    QCOMPARE(block, QByteArray("untouched"));
}

void tst_Transactions::readBlock_failsOnAShortReplyAndLeavesTheDestination()
{
    SimLink s;
    QVERIFY(s.ready());
    // An earlier long frame leaves bytes in RxBytes that a short reply must not borrow.
    QByteArray block;
    QVERIFY(s.link.ReadBlock(0, 64, block));
    s.sim.model().setReplyShort(true);
    QByteArray again("untouched");
    QVERIFY(!s.link.ReadBlock(64, 64, again));
    QCOMPARE(again, QByteArray("untouched"));
    QByteArray record("untouched");
    QVERIFY(!s.link.ReadJournalRecord(0, 0, record));
    QCOMPARE(record, QByteArray("untouched"));
}

void tst_Transactions::readBlock_takesTheFirstFrameAfterTheRequestWhenTwoArriveTogether()
{
    // Without a device: feed the link by hand while it waits.
    DeviceLink link;
    PtySimulator sim;
    sim.setPeriodMs(0);
    sim.model().setDropReplies(true);
    QVERIFY(sim.start());
    QVERIFY(link.AfComPort1().open(sim.devicePath()).isEmpty());
    QByteArray memory(64, '\x11');
    bool requestSeen = false;
    connect(&link, &DeviceLink::echoLine, this, [&] {
        requestSeen = true;
        // The reply and a status frame right behind it, in one read.
        QTimer::singleShot(0, &link, [&] {
            link.AfComPort1DataRecived(deviceFrame(CMD_READ_MEMORY, memory) + statusFrame());
        });
    });
    QTimer::singleShot(0, &link, [&] { link.AfComPort1DataRecived(statusFrame()); });
    QByteArray block;
    QVERIFY(link.ReadBlock(0, 64, block));
    QVERIFY(requestSeen);
    QCOMPARE(block, memory);
    QCOMPARE(link.packetCount(), 3);
}

void tst_Transactions::readBlock_ignoresACorruptedReply()
{
    DeviceLink link;
    PtySimulator sim;
    sim.setPeriodMs(0);
    sim.model().setDropReplies(true);
    QVERIFY(sim.start());
    QVERIFY(link.AfComPort1().open(sim.devicePath()).isEmpty());
    connect(&link, &DeviceLink::echoLine, this, [&] {
        QByteArray reply = deviceFrame(CMD_READ_MEMORY, QByteArray(64, '\x22'));
        reply[20] = reply[20] == 'A' ? 'B' : 'A';
        QTimer::singleShot(0, &link, [&link, reply] { link.AfComPort1DataRecived(reply); });
    });
    QTimer::singleShot(0, &link, [&] { link.AfComPort1DataRecived(statusFrame()); });
    QByteArray block("untouched");
    QVERIFY(!link.ReadBlock(0, 64, block));
    QCOMPARE(block, QByteArray("untouched"));
    QCOMPARE(link.badFrameCount(), 1);
}

void tst_Transactions::writeBlock_storesTheBytesAndSucceedsWithoutAnAnswer()
{
    SimLink s;
    QVERIFY(s.ready());
    QSignalSpy echo(&s.link, &DeviceLink::echoLine);
    QVERIFY(s.link.WriteBlock(184, 8, "12345678"));
    QVERIFY(s.link.transferOk());
    QCOMPARE(echo.at(0).at(0).toByteArray(), "<< " + BuildWriteFrame(184, 8, "12345678"));
    QTRY_COMPARE(s.sim.model().memory().mid(184, 8), QByteArray("12345678"));
}

void tst_Transactions::readJournalRecord_returnsTheRecord()
{
    SimLink s;
    QVERIFY(s.ready());
    s.sim.model().alarmJournal().clear();
    s.sim.model().logEvent(13);
    QByteArray record;
    // The request carries the journal first, then the index.
    QVERIFY(s.link.ReadJournalRecord(0, 1, record));
    QCOMPARE(record.size(), 5);
    QCOMPARE(int(record.at(4)), 13);
    QVERIFY(s.link.ReadJournalRecord(7, 1, record));
    const QVector<FrameLogEntry> frames = s.sim.model().receivedFrames();
    QCOMPARE(frames.last().text, QByteArray("\x10"
                                            "00280000020107"
                                            "2C"
                                            "\r"));
}

void tst_Transactions::silentLine_endsEachTransactionAfterItsBound_data()
{
    QTest::addColumn<QString>("transaction");
    QTest::addColumn<int>("bound");
    QTest::newRow("command") << "command" << DeviceLink::CommandBound;
    QTest::newRow("write") << "write" << DeviceLink::BlockBound;
    QTest::newRow("read") << "read" << DeviceLink::BlockBound;
    QTest::newRow("journal") << "journal" << DeviceLink::BlockBound;
}

void tst_Transactions::silentLine_endsEachTransactionAfterItsBound()
{
    QFETCH(QString, transaction);
    QFETCH(int, bound);
    SimLink s;
    QVERIFY(s.ready());
    s.sim.model().setSilent(true);
    s.link.setTickMs(20);
    QElapsedTimer elapsed;
    elapsed.start();
    QByteArray out("untouched");
    bool ok = true;
    if (transaction == "command")
        ok = s.link.SendCommand(CMD_TEST_GPRS, 0, 0, {}) == DeviceLink::SendResult::Sent;
    else if (transaction == "write")
        ok = s.link.WriteBlock(4, 4, "abcd");
    else if (transaction == "read")
        ok = s.link.ReadBlock(0, 64, out);
    else
        ok = s.link.ReadJournalRecord(0, 0, out);
    QVERIFY(!ok);
    QVERIFY(!s.link.transferOk());
    QCOMPARE(out, QByteArray("untouched"));
    QVERIFY2(elapsed.elapsed() >= bound * 20, qPrintable(QString::number(elapsed.elapsed())));
    QTest::qWait(50);
    QVERIFY2(s.sim.model().receivedFrames().isEmpty(), "nothing may be sent on a silent line");
}

void tst_Transactions::secondTransactionDuringAWait_isRefused()
{
    SimLink s(200);
    QVERIFY(s.ready());
    DeviceLink::SendResult nested = DeviceLink::SendResult::Sent;
    bool nestedRead = true;
    bool busyDuringWait = false;
    QTimer::singleShot(20, &s.link, [&] {
        busyDuringWait = s.link.busy();
        nested = s.link.SendCommand(CMD_TEST_SMS, 0, 0, {});
        QByteArray block;
        nestedRead = s.link.ReadBlock(0, 64, block);
    });
    QByteArray block;
    QVERIFY(s.link.ReadBlock(0, 64, block));
    QVERIFY(busyDuringWait);
    QCOMPARE(nested, DeviceLink::SendResult::Refused);
    QVERIFY(!nestedRead);
    QVERIFY(!s.link.busy());
    QCOMPARE(s.sim.model().receivedFrames().size(), 1);

    QVERIFY(s.link.tryBeginOperation());
    QVERIFY2(!s.link.tryBeginOperation(), "an operation must not start inside another");
    s.link.endOperation();
    QVERIFY(!s.link.busy());
}

void tst_Transactions::vanishingDevice_closesThePortEndsTheWaitAndReportsOnce()
{
    SimLink s(100);
    QVERIFY(s.ready());
    s.settle();
    s.sim.model().setSilent(true);
    QSignalSpy lost(&s.link, &DeviceLink::portLost);
    // A long deadline: only the loss of the device can end this wait early.
    s.link.setTickMs(2000);
    QTimer::singleShot(50, &s.sim, [&] { s.sim.closeDevice(); });
    QElapsedTimer elapsed;
    elapsed.start();
    QByteArray block;
    QVERIFY(!s.link.ReadBlock(0, 64, block));
    QVERIFY2(elapsed.elapsed() < DeviceLink::BlockBound * 2000 / 2,
             "the wait must end when the device vanishes");
    QVERIFY(!s.link.AfComPort1().isOpen());
    QTest::qWait(100);
    QCOMPARE(lost.count(), 1);
    // Later transactions fail at once on the closed port.
    QCOMPARE(s.link.SendCommand(CMD_TEST_SMS, 0, 0, {}), DeviceLink::SendResult::NotReady);
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
