// The link over a real serial port: a simulated controller on a
// pseudo-terminal, opened through QSerialPort.

#include "ExpectedTexts.h"
#include "LinkWait.h"
#include "PtyPair.h"
#include "link/Commands.h"
#include "link/DeviceLink.h"
#include "link/FrameCodec.h"
#include "link/PortAccess.h"
#include "link/PortReturn.h"
#include "sim/PtySimulator.h"
#include "sim/SimTransport.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <vector>

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>

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

constexpr qint64 Second = 1000 * 1000 * 1000;

PortIdentity adapter(const QString &name, quint16 vendor, quint16 product, const QString &serial)
{
    PortIdentity port;
    port.name = name;
    port.listed = true;
    port.vendor = vendor;
    port.product = product;
    port.serialNumber = serial;
    return port;
}

// A device node the port list does not hold: known by its name only.
PortIdentity deviceNode(const QString &name)
{
    PortIdentity port;
    port.name = name;
    return port;
}

PortIdentity linkToTerminal(const QString &name, qint64 linkChangedNs, qint64 terminalChangedNs)
{
    PortIdentity port;
    port.name = name;
    port.path = PortPath::LinkToPseudoTerminal;
    port.linkChangedNs = linkChangedNs;
    port.terminalChangedNs = terminalChangedNs;
    return port;
}

// The first pseudo-terminal opened from now on that gets this device path; the
// others stay open so that it does. Empty when the number went elsewhere.
std::unique_ptr<PtyPair> takeTerminalNumber(const QString &path, std::vector<std::unique_ptr<PtyPair>> &held)
{
    for (int i = 0; i < 64; ++i) {
        auto pty = std::make_unique<PtyPair>();
        if (!pty->isValid())
            return {};
        if (pty->slavePath() == path)
            return pty;
        held.push_back(std::move(pty));
    }
    return {};
}

} // namespace

Q_DECLARE_METATYPE(gencfg::PortIdentity)

class tst_SerialLine : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void command_goesOutRightAfterAStatusFrameWithItsEchoLine();
    void vanishingPty_closesThePortEndsTheOperationAndReportsOnce();

    // A lost port coming back.
    void returningPort_isTheSameOnlyByNameAndIdentityOrALinkMadeAnew_data();
    void returningPort_isTheSameOnlyByNameAndIdentityOrALinkMadeAnew();
    void linkToAFreedTerminal_isReopenedOnlyOnceMadeAnew_data();
    void linkToAFreedTerminal_isReopenedOnlyOnceMadeAnew();

    // Who may use a port.
    void permissionHint_namesTheGroupToJoinOnlyWhereThatHelps_data();
    void permissionHint_namesTheGroupToJoinOnlyWhereThatHelps();
    void portWithoutPermission_failsWithTheUsualTextAndTheHint();
    void portLockedByAnotherProgram_isHeldOnlyWhileThatProgramRuns();
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
    QVERIFY(!s.link.transport().isOpen());
    QTest::qWait(100);
    QCOMPARE(lost.count(), 1);
}

void tst_SerialLine::returningPort_isTheSameOnlyByNameAndIdentityOrALinkMadeAnew_data()
{
    QTest::addColumn<PortIdentity>("lost");
    QTest::addColumn<std::optional<PortIdentity>>("present");
    QTest::addColumn<bool>("awaited");
    QTest::addColumn<bool>("same");
    const QString usb = QStringLiteral("/dev/ttyUSB0");
    const PortIdentity ftdi = adapter(usb, 0x0403, 0x6001, QStringLiteral("A5X1"));
    const PortIdentity node = deviceNode(QStringLiteral("/dev/ttyS4"));
    PortIdentity bare;
    bare.name = QStringLiteral("/dev/pts/3");
    bare.path = PortPath::PseudoTerminal;
    const QString kuv = QStringLiteral("/tmp/kuv");
    // The link as it was when the port was opened: made at 100 s, its terminal handed out at 99 s;
    // the port lost at 125 s.
    PortIdentity opened = linkToTerminal(kuv, 100 * Second, 99 * Second);
    opened.lostNs = 125 * Second;

    QTest::newRow("adapter back") << ftdi << std::optional(ftdi) << true << true;
    QTest::newRow("adapter with another serial number")
        << ftdi << std::optional(adapter(usb, 0x0403, 0x6001, QStringLiteral("B7Q2"))) << true << false;
    QTest::newRow("adapter of another make")
        << ftdi << std::optional(adapter(usb, 0x1A86, 0x7523, QString())) << true << false;
    QTest::newRow("nothing there yet") << ftdi << std::optional<PortIdentity>() << true << false;
    QTest::newRow("unlisted device node back by its name") << node << std::optional(node) << true << true;
    QTest::newRow("bare pseudo-terminal") << bare << std::optional(bare) << false << false;
    QTest::newRow("link left behind, its terminal's number handed out again")
        << opened << std::optional(linkToTerminal(kuv, 100 * Second, 130 * Second)) << true << false;
    QTest::newRow("link left behind, its terminal never freed")
        << opened << std::optional(opened) << true << false;
    QTest::newRow("link made anew to a new terminal")
        << opened << std::optional(linkToTerminal(kuv, 130 * Second, 130 * Second)) << true << true;
    QTest::newRow("link made anew to a terminal opened before it")
        << opened << std::optional(linkToTerminal(kuv, 130 * Second, 120 * Second)) << true << true;
    QTest::newRow("link made anew, its terminal's number handed out again since")
        << opened << std::optional(linkToTerminal(kuv, 130 * Second, 140 * Second)) << true << false;
    QTest::newRow("link made anew while the port was still open")
        << opened << std::optional(linkToTerminal(kuv, 110 * Second, 109 * Second)) << true << false;
    QTest::newRow("link made anew on a filesystem keeping whole seconds")
        << opened << std::optional(linkToTerminal(kuv, 130 * Second, 130 * Second + 400000000)) << true
        << true;
    QTest::newRow("device node where the link was")
        << opened << std::optional(deviceNode(kuv)) << true << true;
    QTest::newRow("link to a terminal where a device node was")
        << deviceNode(kuv) << std::optional(linkToTerminal(kuv, 130 * Second, 130 * Second)) << true << true;
    QTest::newRow("the link, another name")
        << opened << std::optional(linkToTerminal(QStringLiteral("/tmp/kuv2"), 130 * Second, 130 * Second))
        << true << false;
}

void tst_SerialLine::returningPort_isTheSameOnlyByNameAndIdentityOrALinkMadeAnew()
{
    QFETCH(PortIdentity, lost);
    QFETCH(std::optional<PortIdentity>, present);
    QFETCH(bool, awaited);
    QFETCH(bool, same);
    QCOMPARE(AwaitsReturn(lost), awaited);
    QCOMPARE(IsSameAdapter(lost, present), same);
}

void tst_SerialLine::linkToAFreedTerminal_isReopenedOnlyOnceMadeAnew_data()
{
    QTest::addColumn<bool>("inMemory");
    QTest::newRow("controller in memory") << true;
    QTest::newRow("serial port on a pseudo-terminal") << false;
}

void tst_SerialLine::linkToAFreedTerminal_isReopenedOnlyOnceMadeAnew()
{
    // A link as gensim --link makes it, left behind when the simulator is killed.
    QFETCH(bool, inMemory);
    QTemporaryDir dir;
    const QString linkPath = dir.filePath(QStringLiteral("kuv"));
    auto first = std::make_unique<PtyPair>();
    QVERIFY(first->isValid());
    const QString number = first->slavePath();
    QVERIFY(QFile::link(number, linkPath));

    DeviceLink link;
    SimTransport *sim = nullptr;
    if (inMemory) {
        auto transport = std::make_unique<SimTransport>();
        sim = transport.get();
        link.setTransport(std::move(transport));
    }
    link.setReopenReturningPort(true);
    QCOMPARE(link.openPort(linkPath), QString());
    QSignalSpy lost(&link, &DeviceLink::portLost);
    QSignalSpy returned(&link, &DeviceLink::portReturned);
    QSignalSpy arrived(&link, &DeviceLink::bytesArrived);
    first->closeMaster();
    if (sim)
        sim->vanish();
    QTRY_COMPARE(lost.count(), 1);
    QVERIFY(!link.transport().isOpen());
    first.reset();

    // The next terminal anyone opens takes the freed number, and the link leads to it.
    std::vector<std::unique_ptr<PtyPair>> held;
    const std::unique_ptr<PtyPair> stranger = takeTerminalNumber(number, held);
    // Another program on the machine may take the freed number first: then the case cannot be made.
    if (!stranger)
        QSKIP(qPrintable(number + QStringLiteral(" was taken by another program before this test")));
    QCOMPARE(QFileInfo(linkPath).canonicalFilePath(), number);
    QVERIFY(stranger->write("secret-password\r"));
    QTest::qWait(3 * DeviceLink::ReturnPollMs + 100);
    QCOMPARE(returned.count(), 0);
    QVERIFY(!link.transport().isOpen());
    QCOMPARE(arrived.count(), 0);

    // The simulator started again: a new terminal, then the link made anew.
    auto fresh = std::make_unique<PtyPair>();
    QVERIFY(fresh->isValid());
    const QString freshNumber = fresh->slavePath();
    QVERIFY(QFile::remove(linkPath));
    QVERIFY(QFile::link(freshNumber, linkPath));
    QTRY_COMPARE_WITH_TIMEOUT(returned.count(), 1, 3 * DeviceLink::ReturnPollMs);
    QVERIFY(link.transport().isOpen());
    QCOMPARE(link.transport().portName(), linkPath);
    if (!inMemory) {
        QVERIFY(fresh->write("x"));
        QTRY_VERIFY(arrived.count() > 0);
    }

    // Killed again: that link, newer than the port's first opening, is left behind in its turn.
    fresh->closeMaster();
    if (sim)
        sim->vanish();
    QTRY_COMPARE(lost.count(), 2);
    fresh.reset();
    const std::unique_ptr<PtyPair> second = takeTerminalNumber(freshNumber, held);
    QVERIFY2(second, qPrintable(freshNumber + QStringLiteral(" was not handed out again")));
    const int arrivals = int(arrived.count());
    QVERIFY(second->write("secret-password\r"));
    QTest::qWait(3 * DeviceLink::ReturnPollMs + 100);
    QCOMPARE(returned.count(), 1);
    QVERIFY(!link.transport().isOpen());
    QCOMPARE(int(arrived.count()), arrivals);
}

void tst_SerialLine::permissionHint_namesTheGroupToJoinOnlyWhereThatHelps_data()
{
    QTest::addColumn<int>("accessError");
    QTest::addColumn<QString>("group");
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("hint");
    const QString dialout = QStringLiteral("dialout");
    const QString ivan = QStringLiteral("ivan");
    QTest::newRow("denied, device in dialout")
        << EACCES << dialout << ivan << JoinGroupHint.arg(ivan, dialout);
    QTest::newRow("not permitted, device in uucp")
        << EPERM << QStringLiteral("uucp") << ivan << JoinGroupHint.arg(ivan, QStringLiteral("uucp"));
    QTest::newRow("user unknown") << EACCES << dialout << QString()
                                  << JoinGroupHint.arg(QStringLiteral("$USER"), dialout);
    QTest::newRow("allowed") << 0 << dialout << ivan << QString();
    QTest::newRow("no such device") << ENOENT << dialout << ivan << QString();
    QTest::newRow("group may not use it either") << EACCES << QString() << ivan << QString();
    QTest::newRow("device in root's group") << EACCES << QStringLiteral("root") << ivan << QString();
}

void tst_SerialLine::permissionHint_namesTheGroupToJoinOnlyWhereThatHelps()
{
    QFETCH(int, accessError);
    QFETCH(QString, group);
    QFETCH(QString, user);
    QFETCH(QString, hint);
    QCOMPARE(PermissionHint(accessError, group, user), hint);
}

void tst_SerialLine::portWithoutPermission_failsWithTheUsualTextAndTheHint()
{
    if (::geteuid() == 0)
        QSKIP("file permissions do not bind root; the rule itself is checked by its table");
    PtyPair pty;
    QVERIFY(pty.isValid());
    const QByteArray path = QFile::encodeName(pty.slavePath());
    struct stat info = {};
    QVERIFY(::stat(path.constData(), &info) == 0);
    const struct group *group = ::getgrgid(info.st_gid);
    const passwd *user = ::getpwuid(::getuid());
    QVERIFY(group && user);
    // Only the device's group may use it now; its owner, this user, may not.
    QVERIFY(::chmod(path.constData(), 0060) == 0);
    DeviceLink link;
    const QString failure = link.openPort(pty.slavePath());
    QVERIFY(!link.transport().isOpen());
    QCOMPARE(failure, QStringLiteral("Can't open device %1\n").arg(pty.slavePath()) +
                          JoinGroupHint.arg(QString::fromLocal8Bit(user->pw_name),
                                            QString::fromLocal8Bit(group->gr_name)));
}

void tst_SerialLine::portLockedByAnotherProgram_isHeldOnlyWhileThatProgramRuns()
{
    PtyPair pty;
    QVERIFY(pty.isValid());
    const QString path = pty.slavePath();
    const qint64 self = QCoreApplication::applicationPid();
    // A port this program opened is locked under the name other programs look for, and is not busy to us.
    DeviceLink link;
    QCOMPARE(link.openPort(path), QString());
    bool ownLock = false;
    for (const QString &directory : DefaultLockDirectories()) {
        QFile lock(QDir(directory).filePath(LockFileName(path)));
        ownLock = ownLock || (lock.open(QIODevice::ReadOnly) && LockFilePid(lock.readAll()) == self);
    }
    QVERIFY2(ownLock, qPrintable(LockFileName(path)));
    QVERIFY(!PortHeldByOtherProgram(path));
    link.closePort();

    // Another program's lock on the device behind a link, UUCP style, while it
    // runs and after it has ended.
    QTemporaryDir locks;
    const QString linkPath = locks.filePath(QStringLiteral("kuv"));
    QVERIFY(QFile::link(path, linkPath));
    QProcess other;
    other.start(QStringLiteral("sleep"), {QStringLiteral("30")});
    QVERIFY(other.waitForStarted());
    QFile lock(locks.filePath(LockFileName(path)));
    QVERIFY(lock.open(QIODevice::WriteOnly));
    lock.write(QByteArray::number(other.processId()).rightJustified(10, ' ') + '\n');
    lock.close();
    QVERIFY(PortHeldByOtherProgram(linkPath, {locks.path()}));
    QVERIFY(PortHeldByOtherProgram(path, {locks.path()}));
    other.kill();
    QVERIFY(other.waitForFinished());
    QVERIFY(!PortHeldByOtherProgram(path, {locks.path()}));
}

QTEST_GUILESS_MAIN(tst_SerialLine)
#include "tst_serialline.moc"
