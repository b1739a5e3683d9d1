// The link over a real serial port: a simulated controller on a
// pseudo-terminal, opened through QSerialPort.

#include "ExpectedTexts.h"
#include "LinkWait.h"
#include "PtyPair.h"
#include "link/Commands.h"
#include "link/DeviceLink.h"
#include "link/FrameCodec.h"
#include "link/PortAccess.h"
#include "sim/PtySimulator.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

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

} // namespace

class tst_SerialLine : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void command_goesOutRightAfterAStatusFrameWithItsEchoLine();
    void vanishingPty_closesThePortEndsTheOperationAndReportsOnce();

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
    QVERIFY(!s.link.AfComPort1().isOpen());
    QTest::qWait(100);
    QCOMPARE(lost.count(), 1);
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
    QVERIFY(!link.AfComPort1().isOpen());
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
