// The link over a real serial port: a simulated controller on a
// pseudo-terminal, opened through QSerialPort.

#include "LinkWait.h"
#include "link/Commands.h"
#include "link/DeviceLink.h"
#include "link/FrameCodec.h"
#include "sim/PtySimulator.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

using namespace gencfg;
using namespace gencfg::test;

namespace {

struct SimLink
{
    explicit SimLink(int periodMs = 60, quint8 variant = 200) : sim(variant, 7)
    {
        sim.model().setStatic(true);
        sim.setPeriodMs(periodMs);
        started = sim.start();
        if (started)
            openError = link.openPort(sim.devicePath());
    }
    bool ready() const { return started && openError.isEmpty(); }
    // Lets the first status frames arrive.
    void settle(int frames = 1)
    {
        const int target = link.packetCount() + frames;
        QTRY_VERIFY_WITH_TIMEOUT(link.packetCount() >= target, 5000);
    }

    PtySimulator sim;
    DeviceLink link;
    bool started = false;
    QString openError;
};

} // namespace

class tst_SerialLine : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void command_goesOutRightAfterAStatusFrameWithItsEchoLine();
    void vanishingPty_closesThePortEndsTheOperationAndReportsOnce();
};

void tst_SerialLine::command_goesOutRightAfterAStatusFrameWithItsEchoLine()
{
    SimLink s;
    QVERIFY2(s.ready(), qPrintable(s.openError));
    QSignalSpy echo(&s.link, &DeviceLink::echoLine);
    SingleStepOperation command(CommandStep(CMD_TEST_SMS, 0, {}));
    QCOMPARE(runToEnd(s.link, command), OperationStatus::Succeeded);
    const QByteArray frame = BuildCommandFrame(CMD_TEST_SMS, 0, 0, {});
    QCOMPARE(echo.count(), 1);
    QCOMPARE(echo.at(0).at(0).toByteArray(), "<< " + frame);
    QTRY_COMPARE(s.sim.model().lastServiceCommand(), quint8(CMD_TEST_SMS));

    // The request started after the end of the status frame that preceded it, over a real line.
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

void tst_SerialLine::vanishingPty_closesThePortEndsTheOperationAndReportsOnce()
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
    SingleStepOperation read(ReadBlockStep(0, 64));
    QCOMPARE(runToEnd(s.link, read), OperationStatus::PortLost);
    QVERIFY2(elapsed.elapsed() < BlockBound * 2000 / 2, "the wait must end when the device vanishes");
    QVERIFY(!s.link.AfComPort1().isOpen());
    QTest::qWait(100);
    QCOMPARE(lost.count(), 1);
}

QTEST_GUILESS_MAIN(tst_SerialLine)
#include "tst_serialline.moc"
