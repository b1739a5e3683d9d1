#include "ControllerFrames.h"
#include "link/DeviceLink.h"

#include <QSignalSpy>
#include <QTest>

using namespace gencfg;
using namespace gencfg::test;

class tst_Dispatcher : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void frameSplitOverTwoArrivals_isTakenOnceWhenItsEndArrives();
    void noiseEndingInCarriageReturn_isDroppedWhenAStartByteArrives();
    void prefixZeroFrame_isNotCountedButEmptiesTheText();
    void severalFramesInOneArrival_areAllTakenInOrder_data();
    void severalFramesInOneArrival_areAllTakenInOrder();
    void badChecksum_isCountedAsErrorAndNotUsed();
    void frameThatLostItsEnd_doesNotSwallowTheNextFrame();
    void statusFrame_reachesTheStatusHookWithItsVariant();
    void longFrame_isCutAtTheEndOfRxBytes();
    void noiseWithoutStartByte_isCapped();
    void emptyArrival_doesNothing();
    void terminalStep_getsEverythingUpToTheArrivalWithACarriageReturn();
};

void tst_Dispatcher::frameSplitOverTwoArrivals_isTakenOnceWhenItsEndArrives()
{
    DeviceLink link;
    const QByteArray frame = statusFrame();
    link.receive(frame.left(20));
    QCOMPARE(link.packetCount(), 0);
    link.receive(frame.mid(20));
    QCOMPARE(link.packetCount(), 1);
    QVERIFY(link.rxText().isEmpty());
}

void tst_Dispatcher::noiseEndingInCarriageReturn_isDroppedWhenAStartByteArrives()
{
    DeviceLink link;
    link.receive("xyz\r");
    QCOMPARE(link.rxText(), QByteArray("xyz\r"));
    QCOMPARE(link.packetCount(), 0);
    link.receive(statusFrame());
    QCOMPARE(link.packetCount(), 1);
    QCOMPARE(link.badFrameCount(), 0);
    QVERIFY(link.rxText().isEmpty());
}

void tst_Dispatcher::prefixZeroFrame_isNotCountedButEmptiesTheText()
{
    DeviceLink link;
    QSignalSpy counted(&link, &DeviceLink::packetCountChanged);
    link.receive(deviceFrame(CMD_STATUS, statusData(), 0));
    QCOMPARE(link.packetCount(), 0);
    QVERIFY(link.rxText().isEmpty());
    QCOMPARE(counted.count(), 0);
}

void tst_Dispatcher::severalFramesInOneArrival_areAllTakenInOrder_data()
{
    QTest::addColumn<QList<QByteArray>>("arrivals");
    const QByteArray status = statusFrame();
    const QByteArray reply = deviceFrame(CMD_READ_MEMORY, QByteArray(64, '\x07'));
    QTest::newRow("two whole frames") << QList<QByteArray>{status + reply};
    QTest::newRow("end and next start together")
        << QList<QByteArray>{status.left(30), status.mid(30) + reply.left(10), reply.mid(10)};
    QTest::newRow("noise between frames") << QList<QByteArray>{status + "noise" + reply};
}

void tst_Dispatcher::severalFramesInOneArrival_areAllTakenInOrder()
{
    QFETCH(QList<QByteArray>, arrivals);
    DeviceLink link;
    QSignalSpy status(&link, &DeviceLink::statusFrameReceived);
    for (const QByteArray &arrival : arrivals)
        link.receive(arrival);
    QCOMPARE(link.packetCount(), 2);
    QCOMPARE(status.count(), 1);
    QCOMPARE(int(link.rxBytes()[1]), int(CMD_READ_MEMORY));
    QCOMPARE(int(link.rxBytes()[5]), 7);
}

void tst_Dispatcher::badChecksum_isCountedAsErrorAndNotUsed()
{
    DeviceLink link;
    QSignalSpy status(&link, &DeviceLink::statusFrameReceived);
    QSignalSpy errors(&link, &DeviceLink::badFrameCountChanged);
    QByteArray corrupted = statusFrame(201);
    corrupted[3] = corrupted[3] == '1' ? '2' : '1';
    link.receive(corrupted);
    QCOMPARE(link.packetCount(), 0);
    QCOMPARE(link.badFrameCount(), 1);
    QCOMPARE(errors.count(), 1);
    QCOMPARE(status.count(), 0);
}

void tst_Dispatcher::frameThatLostItsEnd_doesNotSwallowTheNextFrame()
{
    DeviceLink link;
    const QByteArray status = statusFrame();
    link.receive(status.left(25) + status);
    QCOMPARE(link.packetCount(), 1);
    QCOMPARE(link.badFrameCount(), 0);
}

void tst_Dispatcher::statusFrame_reachesTheStatusHookWithItsVariant()
{
    DeviceLink link;
    int variant = 0;
    connect(&link, &DeviceLink::statusFrameReceived, this, [&](const RxBuffer &rx) { variant = rx[5]; });
    link.receive(statusFrame(202));
    QCOMPARE(variant, 202);
    QCOMPARE(link.packetCount(), 1);
}

void tst_Dispatcher::longFrame_isCutAtTheEndOfRxBytes()
{
    DeviceLink link;
    link.receive(deviceFrame(CMD_READ_MEMORY, QByteArray(255, '\x5A')));
    QCOMPARE(link.packetCount(), 1);
    QCOMPARE(int(link.rxBytes()[255]), 0x5A);
}

void tst_Dispatcher::noiseWithoutStartByte_isCapped()
{
    DeviceLink link;
    for (int i = 0; i < 10; ++i)
        link.receive(QByteArray(1000, 'n'));
    QVERIFY2(link.rxText().size() <= DeviceLink::MaxPendingText, QByteArray::number(link.rxText().size()));
    link.receive(QByteArray(1, FrameStart) + QByteArray(3000, 'A'));
    QVERIFY2(link.rxText().size() <= DeviceLink::MaxFrameText, QByteArray::number(link.rxText().size()));
    link.receive(statusFrame());
    QCOMPARE(link.packetCount(), 1);
}

void tst_Dispatcher::emptyArrival_doesNothing()
{
    DeviceLink link;
    QSignalSpy arrived(&link, &DeviceLink::bytesArrived);
    link.receive({});
    QCOMPARE(arrived.count(), 0);
    link.receive("x");
    QCOMPARE(arrived.count(), 1);
}

void tst_Dispatcher::terminalStep_getsEverythingUpToTheArrivalWithACarriageReturn()
{
    DeviceLink link;
    QSignalSpy steps(&link, &DeviceLink::terminalStep);
    const QByteArray frame = statusFrame();
    link.receive(frame.left(10));
    QCOMPARE(steps.count(), 0);
    link.receive(frame.mid(10) + "ab");
    QCOMPARE(steps.count(), 1);
    QCOMPARE(steps.at(0).at(0).toByteArray(), frame + "ab");
    QVERIFY(link.lineText().isEmpty());
}

QTEST_GUILESS_MAIN(tst_Dispatcher)
#include "tst_dispatcher.moc"
