#include "ControllerFrames.h"
#include "config/ConfigImage.h"
#include "config/MemoryMap.h"
#include "link/Commands.h"
#include "link/FrameCodec.h"
#include "sim/ControllerModel.h"
#include "sim/ControllerState.h"
#include "sim/FactoryMemory.h"
#include "sim/LineNoise.h"
#include "sim/PtySimulator.h"
#include "sim/RecordedReplyFilter.h"
#include "sim/RequestCutter.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

using namespace gencfg;
using StatusFrameMap::Flag;
using StatusFrameMap::FlagMask;

namespace {

QByteArray hex(const QByteArray &bytes)
{
    return bytes.toHex(' ').toUpper();
}

QByteArray bytesOf(std::initializer_list<int> values)
{
    QByteArray bytes;
    for (int v : values)
        bytes.append(char(v));
    return bytes;
}

QByteArray statusData(const ControllerModel &model)
{
    return model.statusFrameBytes().mid(5, 36);
}

// The frame bytes of a request as the program's encoders put it on the line.
QByteArray requestBytes(const QByteArray &text)
{
    const auto frame = ParseValidFrame(text);
    return frame ? *frame : QByteArray();
}

quint8 commandOf(const QByteArray &frameBytes)
{
    return frameBytes.size() > 1 ? quint8(frameBytes.at(1)) : 0;
}

QByteArray journalRequest(int journal, int index)
{
    return requestBytes(BuildCommandFrame(CMD_JOURNAL_RECORD, 0, 2, bytesOf({journal, index})));
}

QString gensimPath()
{
    QString dir = qEnvironmentVariable("GENCFG_BUILD_DIR");
    if (dir.isEmpty())
        dir = QCoreApplication::applicationDirPath();
    return dir + QStringLiteral("/gensim");
}

// A program on the slave side of the pseudo-terminal, with plain POSIX calls.
class SlaveClient
{
public:
    explicit SlaveClient(const QString &path)
        : m_fd(::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK))
    {}
    ~SlaveClient() { close(); }

    bool isOpen() const { return m_fd >= 0; }
    void close()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }
    bool write(const QByteArray &bytes)
    {
        return ::write(m_fd, bytes.constData(), bytes.size()) == bytes.size();
    }

    // Frame texts received so far, once at least count arrived or the wait ran out.
    QVector<QByteArray> waitForFrames(int count, int timeoutMs = 5000)
    {
        QElapsedTimer clock;
        clock.start();
        while (collect(), m_frames.size() < count && clock.elapsed() < timeoutMs)
            QTest::qWait(5);
        return m_frames;
    }

    // The frame bytes of the first valid frame with the command among those
    // not taken yet; the frames before it are taken with it.
    QByteArray waitForCommand(quint8 command, int timeoutMs = 5000)
    {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < timeoutMs) {
            collect();
            while (m_taken < m_frames.size()) {
                const auto frame = ParseValidFrame(m_frames.at(m_taken++));
                if (frame && commandOf(*frame) == command)
                    return *frame;
            }
            QTest::qWait(5);
        }
        return {};
    }

    // POLLHUP or a read error: the device has gone.
    bool deviceGone()
    {
        pollfd poller{m_fd, POLLIN, 0};
        if (::poll(&poller, 1, 0) > 0 && (poller.revents & (POLLHUP | POLLERR)))
            return true;
        char byte;
        return ::read(m_fd, &byte, 1) < 0 && errno == EIO;
    }

private:
    void collect()
    {
        char buffer[1024];
        ssize_t n;
        while (m_fd >= 0 && (n = ::read(m_fd, buffer, sizeof buffer)) > 0) {
            for (const auto &frame : m_cutter.feed(QByteArray(buffer, int(n)), 0))
                m_frames.append(frame.text);
        }
    }

    int m_fd = -1;
    int m_taken = 0;
    RequestCutter m_cutter;
    QVector<QByteArray> m_frames;
};

} // namespace

class TestSim : public QObject
{
    Q_OBJECT

private slots:
    // The status frame
    void statusFrame_isWellFormed();
    void statusFrame_reportsVariantCode_data();
    void statusFrame_reportsVariantCode();
    void statusFrame_codesVoltages_data();
    void statusFrame_codesVoltages();
    void statusFrame_placesFieldsAtTheirOffsets();

    // Parameter memory
    void factoryMemory_petrolHoldsCatalogueDefaults();
    void factoryMemory_variantsDiffer_data();
    void factoryMemory_variantsDiffer();
    void factoryMemory_upsThresholdsFitTheReportedBattery_data();
    void factoryMemory_upsThresholdsFitTheReportedBattery();
    void readRequest_repliesWithMemory_data();
    void readRequest_repliesWithMemory();
    void writeFrame_storesBytesUnlessIgnoring();

    // Journals and service commands
    void journalRequest_repliesRecordThenEndCode();
    void journalRequest_fullJournalsHaveNoEndCode();
    void setClock_takesValidBcdOnly_data();
    void setClock_takesValidBcdOnly();
    void modeCommands_switchSemiAutoFlag();
    void generatorCommands_changeStage();
    void serviceTests_areRecorded();
    void badFrames_areLoggedAndIgnored();
    void replyOptions_shapeTheReply_data();
    void replyOptions_shapeTheReply();
    void skippedReplies_leaveOutTheRequestsAsked_data();
    void skippedReplies_leaveOutTheRequestsAsked();
    void journalDelay_holdsBackOnlyThatEventEntry();
    void variantFlap_stepsThroughTheThreeCodesKeepingTheMemory();

    // Device time
    void scenario_isRepeatableFromSeed();
    void scenario_goesThroughTheStages();
    void staticModel_keepsItsValues();

    // The line
    void requestCutter_cutsEveryFrame_data();
    void requestCutter_cutsEveryFrame();
    void lineNoise_corruptsOnlyInsideFrames();

    // Through a real pseudo-terminal
    void pty_sendsStatusFrames();
    void pty_answersReadRequest();
    void pty_handlesTwoFramesInOneWrite();
    void pty_ignoresFrameWithBadChecksum();
    void pty_sendsNothingWithoutClientAndServesAgain();
    void pty_closeDevice_clientSeesDeviceGone();
    void pty_linkIsMadeAndRemoved();
    void pty_pacedFrameTakesItsLineTime();
    void replayFilter_takesOutRepliesOnly_data();
    void replayFilter_takesOutRepliesOnly();
    void gensim_printsPathAndServesVariant();
    void gensim_refusesWhatItCannotServe_data();
    void gensim_refusesWhatItCannotServe();
    void gensim_flapsTheVariantAndDelaysOneJournalEntry();
    void gensim_servesABenchOfControllersEachWithItsOwnSerialNumber();
};

void TestSim::statusFrame_isWellFormed()
{
    ControllerModel model;
    const QByteArray frame = model.statusFrameBytes();
    QCOMPARE(frame.size(), 42);
    QCOMPARE(hex(frame.left(5)), hex(QByteArray::fromHex("0115000024")));
    QVERIFY2(FrameChecksum(frame) == 0, "checksum byte does not cancel the XOR of the frame");
    const auto parsed = ParseValidFrame(FrameBytesToText(frame));
    QVERIFY2(parsed.has_value(), FrameBytesToText(frame).constData());
    QCOMPARE(hex(*parsed), hex(frame));
}

void TestSim::statusFrame_reportsVariantCode_data()
{
    QTest::addColumn<int>("code");
    QTest::newRow("petrol") << 200;
    QTest::newRow("diesel") << 201;
    QTest::newRow("dry contact") << 202;
    QTest::newRow("unknown 203") << 203;
    QTest::newRow("zero") << 0;
}

void TestSim::statusFrame_reportsVariantCode()
{
    QFETCH(int, code);
    ControllerModel model{quint8(code)};
    QCOMPARE(int(quint8(statusData(model).at(0))), code);
}

void TestSim::statusFrame_codesVoltages_data()
{
    QTest::addColumn<int>("volts");
    QTest::addColumn<int>("code");
    QTest::newRow("0 V") << 0 << 0;
    QTest::newRow("99 V reads as none") << 99 << 0;
    QTest::newRow("100 V") << 100 << 50;
    QTest::newRow("220 V") << 220 << 170;
    QTest::newRow("305 V, the top") << 305 << 255;
    QTest::newRow("400 V clamps") << 400 << 255;
}

void TestSim::statusFrame_codesVoltages()
{
    QFETCH(int, volts);
    QFETCH(int, code);
    ControllerModel model;
    model.state().voltageGU = volts;
    model.state().voltageA = volts;
    model.state().voltageB = volts;
    model.state().voltageC = volts;
    const QByteArray data = statusData(model);
    for (int offset = 8; offset <= 11; ++offset)
        QVERIFY2(quint8(data.at(offset)) == code, qPrintable(QStringLiteral("byte %1: expected %2, got %3")
                                                                 .arg(offset)
                                                                 .arg(code)
                                                                 .arg(quint8(data.at(offset)))));
}

void TestSim::statusFrame_placesFieldsAtTheirOffsets()
{
    ControllerModel model;
    ControllerState &s = model.state();
    s.flags1 = 0x21;
    s.flags2 = 0xC4;
    s.mode = 2;
    s.stage = 3;
    s.stageTimer = 0x0104;
    s.accVoltage = 136;
    s.upsVoltage = 245;
    s.maintenanceMinutes = 59;
    s.signalQuality = 31;
    s.registration = 5;
    s.temperatures[0] = -10;
    s.temperatures[1] = 0;
    s.temperatures[2] = 40;
    s.temperatures[3] = -30;
    model.setMotoclockMinutes(733);
    model.setClock(QDateTime(QDate(2026, 12, 6), QTime(9, 5, 30), Qt::UTC));

    const QByteArray data = statusData(model);
    const QByteArray expected = QByteArray::fromHex("C8 00 21 C4 02 03 0104 00000000 000000 0088 00F5 0000"
                                                    "000002DD 003B 090530 1F 05 F6 00 28 E2");
    QCOMPARE(data.size(), 36);
    // Voltages are covered on their own; take them as they are.
    QByteArray withVoltages = expected;
    withVoltages.replace(8, 4, data.mid(8, 4));
    QCOMPARE(hex(data), hex(withVoltages));
}

void TestSim::factoryMemory_petrolHoldsCatalogueDefaults()
{
    const QByteArray memory = FactoryMemory(200);
    QCOMPARE(memory.size(), 256);
    QCOMPARE(int(quint8(memory.at(72))), 0);
    QCOMPARE(hex(memory.mid(36, 2)), hex(QByteArray::fromHex("00B4")));
    QCOMPARE(hex(memory.mid(54, 2)), hex(QByteArray::fromHex("3840")));
    QCOMPARE(int(memory.at(15)), 5);
    QCOMPARE(hex(memory.mid(4, 4)), hex(QByteArray(4, '\0')));
    QCOMPARE(int(memory.at(10)), 1);
    QCOMPARE(int(memory.at(27)), 0);
    QCOMPARE(hex(memory.mid(80, 10)), hex(QByteArray(10, '\0')));
    QCOMPARE(memory.mid(192, 16), QByteArray("vkmtr") + QByteArray(11, char(0xFF)));
    QCOMPARE(memory.mid(208, 16), QByteArray("vkmtr") + QByteArray(11, char(0xFF)));
    QCOMPARE(memory.mid(224, 32), QByteArray("internet") + QByteArray(24, char(0xFF)));
    // What only the factory sets: engine hours 74096 min, send counters, serial number.
    QCOMPARE(hex(memory.mid(0, 4)), hex(QByteArray::fromHex("00012170")));
    QCOMPARE(memory.mid(184, 8).size(), 8);
    for (char c : memory.mid(184, 8))
        QVERIFY2(c >= '0' && c <= '9', "serial number is not eight digits");
    for (int address : {16, 17, 29, 30, 31, 62, 63, 64, 65, 66, 67, 68, 69, 73, 79, 91, 93, 107, 171, 179})
        QVERIFY2(quint8(memory.at(address)) == 0xFF,
                 qPrintable(QStringLiteral("byte %1 is assigned").arg(address)));
}

void TestSim::factoryMemory_variantsDiffer_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("address");
    QTest::addColumn<int>("expected");
    QTest::newRow("diesel engine type") << 201 << 72 << 1;
    QTest::newRow("diesel has no cylinders") << 201 << 13 << 0xFF;
    QTest::newRow("diesel glow plug") << 201 << 21 << 10;
    QTest::newRow("dry engine type") << 202 << 72 << 2;
    QTest::newRow("dry start timeout high") << 202 << 68 << 0x01;
    QTest::newRow("dry start timeout low") << 202 << 69 << 0x2C;
    QTest::newRow("dry has no cranking") << 202 << 20 << 0xFF;
    QTest::newRow("dry has no attempts") << 202 << 22 << 0xFF;
    QTest::newRow("petrol cylinders") << 200 << 13 << 1;
    QTest::newRow("petrol has no start timeout") << 200 << 68 << 0xFF;
    QTest::newRow("unknown code gets petrol") << 77 << 72 << 0;
}

void TestSim::factoryMemory_variantsDiffer()
{
    QFETCH(int, code);
    QFETCH(int, address);
    QFETCH(int, expected);
    QCOMPARE(int(quint8(FactoryMemory(quint8(code)).at(address))), expected);
}

void TestSim::factoryMemory_upsThresholdsFitTheReportedBattery_data()
{
    QTest::addColumn<int>("code");
    QTest::newRow("petrol") << 200;
    QTest::newRow("diesel") << 201;
    QTest::newRow("dry contact") << 202;
}

void TestSim::factoryMemory_upsThresholdsFitTheReportedBattery()
{
    QFETCH(int, code);
    const QByteArray memory = FactoryMemory(quint8(code));
    ConfigImageBytes image{};
    std::copy(memory.begin(), memory.end(), image.begin());
    const GaugeThresholds t = ThresholdsFromImage(image);
    // The UPS gauge read after "Прочитать" holds the reported voltage inside its scale, between its alarms.
    const UpsScale scale = t.upsScale.value_or(UpsScale{});
    const QList<double> rising{scale.minimum, t.upsLow, ControllerState().upsVoltage / 10.0, t.upsHigh,
                               scale.maximum};
    QStringList shown; // scale from, low, reported, high, scale to
    for (double volts : rising)
        shown << QString::number(volts);
    QVERIFY2(std::adjacent_find(rising.begin(), rising.end(), std::greater_equal<double>()) == rising.end(),
             qPrintable(shown.join(QLatin1String(" < "))));
}

void TestSim::readRequest_repliesWithMemory_data()
{
    QTest::addColumn<int>("address");
    QTest::addColumn<int>("count");
    QTest::newRow("engine hours") << 0 << 4;
    QTest::newRow("block at 64") << 64 << 64;
    QTest::newRow("last block") << 192 << 64;
    QTest::newRow("past the end") << 250 << 10;
    QTest::newRow("nothing asked") << 16 << 0;
}

void TestSim::readRequest_repliesWithMemory()
{
    QFETCH(int, address);
    QFETCH(int, count);
    ControllerModel model;
    const QByteArray reply = model.handleFrame(requestBytes(BuildReadFrame(quint16(address), quint8(count))));
    QByteArray expectedData = model.memory().mid(address, count);
    expectedData.append(QByteArray(count - expectedData.size(), char(0xFF)));
    QCOMPARE(hex(reply), hex(FrameBytes(1, CMD_READ_MEMORY, quint16(address), expectedData)));
}

void TestSim::writeFrame_storesBytesUnlessIgnoring()
{
    ControllerModel model;
    const QByteArray serial = "12345678";
    const QByteArray reply = model.handleFrame(requestBytes(BuildWriteFrame(184, 8, serial)));
    QVERIFY2(reply.isEmpty(), hex(reply).constData());
    QCOMPARE(model.memory().mid(184, 8), serial);

    // Bytes that would land past the end are dropped.
    model.handleFrame(requestBytes(BuildWriteFrame(254, 4, QByteArray::fromHex("01020304"))));
    QCOMPARE(model.memory().size(), 256);
    QCOMPARE(hex(model.memory().mid(254, 2)), hex(QByteArray::fromHex("0102")));

    model.setIgnoreWrites(true);
    model.handleFrame(requestBytes(BuildWriteFrame(184, 8, QByteArray("87654321"))));
    QCOMPARE(model.memory().mid(184, 8), serial);
}

void TestSim::journalRequest_repliesRecordThenEndCode()
{
    ControllerModel model;
    model.setClock(QDateTime(QDate(2026, 11, 23), QTime(14, 0), Qt::UTC));
    model.eventJournal().clear();
    model.logEvent(0);
    model.alarmJournal().clear();

    const auto ask = [&](quint8 journal, quint8 index) {
        const QByteArray reply = model.handleFrame(
            requestBytes(BuildCommandFrame(CMD_JOURNAL_RECORD, 0, 2, bytesOf({journal, index}))));
        return reply.size() == 11 ? reply.mid(5, 5) : reply;
    };
    QCOMPARE(hex(ask(0, 0)), hex(QByteArray::fromHex("1400231100")));
    QCOMPARE(hex(ask(0, 1)), hex(QByteArray(5, char(0xFF))));
    QCOMPARE(hex(ask(0, 200)), hex(QByteArray(5, char(0xFF))));
    QCOMPARE(hex(ask(1, 0)), hex(QByteArray(5, char(0xFF))));
    QCOMPARE(hex(ask(7, 0)), hex(QByteArray(5, char(0xFF))));

    // Alarms land in both journals.
    model.logEvent(13);
    QCOMPARE(int(ask(0, 1).at(4)), 13);
    QCOMPARE(int(ask(1, 0).at(4)), 13);
}

void TestSim::journalRequest_fullJournalsHaveNoEndCode()
{
    ControllerModel model;
    model.fillJournals();
    const struct
    {
        quint8 journal;
        int length;
    } journals[] = {{0, 105}, {1, 50}};
    for (const auto &j : journals) {
        for (int index = 0; index < j.length; ++index) {
            const QByteArray reply = model.handleFrame(
                requestBytes(BuildCommandFrame(CMD_JOURNAL_RECORD, 0, 2, bytesOf({j.journal, index}))));
            QVERIFY2(
                reply.size() == 11 && quint8(reply.at(9)) < 20,
                qPrintable(
                    QStringLiteral("journal %1 index %2: %3").arg(j.journal).arg(index).arg(hex(reply))));
        }
        const QByteArray past = model.handleFrame(
            requestBytes(BuildCommandFrame(CMD_JOURNAL_RECORD, 0, 2, bytesOf({j.journal, j.length}))));
        QVERIFY2(quint8(past.at(9)) >= 20, hex(past).constData());
    }
}

void TestSim::setClock_takesValidBcdOnly_data()
{
    QTest::addColumn<QByteArray>("bcd");
    QTest::addColumn<QDateTime>("expected");
    const QDateTime start(QDate(2024, 5, 17), QTime(8, 42, 15), Qt::UTC);
    QTest::newRow("14:05:09 6 Dec 2026")
        << QByteArray::fromHex("140509061226") << QDateTime(QDate(2026, 12, 6), QTime(14, 5, 9), Qt::UTC);
    QTest::newRow("month 13 ignored") << QByteArray::fromHex("140509061326") << start;
    QTest::newRow("hex digit ignored") << QByteArray::fromHex("1A0509061226") << start;
    QTest::newRow("five bytes ignored") << QByteArray::fromHex("1405090612") << start;
}

void TestSim::setClock_takesValidBcdOnly()
{
    QFETCH(QByteArray, bcd);
    QFETCH(QDateTime, expected);
    ControllerModel model;
    model.setClock(QDateTime(QDate(2024, 5, 17), QTime(8, 42, 15), Qt::UTC));
    model.handleFrame(requestBytes(BuildCommandFrame(CMD_SET_CLOCK, 0, quint8(bcd.size()), bcd)));
    QCOMPARE(model.clock(), expected);
    QCOMPARE(hex(statusData(model).mid(27, 3)), hex(bytesOf({ByteToBcd(quint8(expected.time().hour())),
                                                             ByteToBcd(quint8(expected.time().minute())),
                                                             ByteToBcd(quint8(expected.time().second()))})));
}

void TestSim::modeCommands_switchSemiAutoFlag()
{
    ControllerModel model;
    model.state().mode = 1;
    model.handleFrame(requestBytes(BuildCommandFrame(CMD_MODE_SEMIAUTO, 0, 0, {})));
    QCOMPARE(int(statusData(model).at(4)), 2);
    QVERIFY2(statusData(model).at(2) & 0x20, "semi-automatic flag not set");
    model.handleFrame(requestBytes(BuildCommandFrame(CMD_MODE_AUTO, 0, 0, {})));
    QCOMPARE(int(statusData(model).at(4)), 2);
    QVERIFY2(!(statusData(model).at(2) & 0x20), "semi-automatic flag still set");
}

void TestSim::generatorCommands_changeStage()
{
    ControllerModel model;
    model.setStatic(true);
    const auto send = [&](quint8 command, quint16 seconds) {
        model.handleFrame(
            requestBytes(BuildCommandFrame(command, 0, 2, bytesOf({seconds >> 8, seconds & 0xFF}))));
    };

    send(CMD_GENERATOR_STOP, 2700);
    QCOMPARE(int(model.state().stage), int(StageCode::Waiting));
    QCOMPARE(int(model.state().stageTimer), 2700);

    send(CMD_GENERATOR_START, 5400);
    QCOMPARE(int(model.state().stage), int(StageCode::Starting));
    QCOMPARE(int(model.state().stageTimer), 0x0001); // attempt 1, valve
    QVERIFY2(model.state().flags1 & FlagMask(Flag::RemoteStart), "remote start flag not set");

    model.state().stage = StageCode::Running;
    send(CMD_GENERATOR_STOP, 60);
    QCOMPARE(int(model.state().stage), int(StageCode::CoolDown));
    QVERIFY2(!(model.state().flags1 & FlagMask(Flag::RemoteStart)), "remote start flag still set");
}

void TestSim::serviceTests_areRecorded()
{
    ControllerModel model;
    const quint16 sends = model.memoryWord(180);
    model.handleFrame(requestBytes(BuildCommandFrame(CMD_TEST_GPRS, 0, 0, {})));
    QCOMPARE(int(model.lastServiceCommand()), int(CMD_TEST_GPRS));
    QCOMPARE(int(model.memoryWord(180)), sends + 1);

    model.handleFrame(requestBytes(BuildCommandFrame(CMD_RESTART_MODEM, 0, 0, {})));
    QCOMPARE(int(model.lastServiceCommand()), int(CMD_RESTART_MODEM));
    QCOMPARE(int(model.state().registration), 2);

    model.handleFrame(requestBytes(BuildCommandFrame(CMD_TEST_SMS, 0, 0, {})));
    QCOMPARE(int(model.lastServiceCommand()), int(CMD_TEST_SMS));

    const QByteArray before = model.memory();
    const QByteArray reply = model.handleFrame(requestBytes(BuildCommandFrame(99, 0, 1, QByteArray(1, 'x'))));
    QVERIFY2(reply.isEmpty(), hex(reply).constData());
    QCOMPARE(int(model.lastServiceCommand()), int(CMD_TEST_SMS));
    QCOMPARE(model.memory(), before);
}

void TestSim::badFrames_areLoggedAndIgnored()
{
    ControllerModel model;
    QByteArray badChecksum = BuildWriteFrame(184, 8, "12345678");
    badChecksum[badChecksum.size() - 2] = badChecksum.at(badChecksum.size() - 2) == 'A' ? 'B' : 'A';
    const QByteArray lowerCase = BuildReadFrame(0xC0, 0x40).toLower();
    QVERIFY2(lowerCase != BuildReadFrame(0xC0, 0x40), "the request has no hex letter to lower");
    const QByteArray before = model.memory();

    QVERIFY(model.receiveFrameText(badChecksum, 1, 2).isEmpty());
    QVERIFY(model.receiveFrameText(lowerCase, 3, 4).isEmpty());
    QCOMPARE(model.memory(), before);
    QCOMPARE(model.receivedLog().size(), 2);
    QCOMPARE(model.receivedLog().at(0).text, badChecksum);
    QVERIFY2(!model.receivedLog().at(0).valid && !model.receivedLog().at(1).valid,
             "a bad frame is logged as valid");
    QVERIFY2(model.receivedFrames().isEmpty(), "a bad frame is listed among the valid ones");

    const QByteArray good = BuildReadFrame(0, 4);
    QCOMPARE(commandOf(model.receiveFrameText(good, 5, 6)), quint8(CMD_READ_MEMORY));
    QCOMPARE(model.receivedFrames().size(), 1);
    QCOMPARE(hex(model.receivedFrames().at(0).bytes), hex(QByteArray::fromHex("010500000400")));
    QCOMPARE(model.receivedFrames().at(0).startUs, qint64(5));
}

void TestSim::replyOptions_shapeTheReply_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("dataBytes");
    QTest::newRow("plain") << "" << int(CMD_READ_MEMORY) << 64;
    QTest::newRow("dropped") << "drop" << 0 << 0;
    QTest::newRow("status instead") << "status" << int(CMD_STATUS) << 36;
    QTest::newRow("short") << "short" << int(CMD_READ_MEMORY) << 32;
    QTest::newRow("silent") << "silent" << 0 << 0;
}

void TestSim::replyOptions_shapeTheReply()
{
    QFETCH(QString, option);
    QFETCH(int, command);
    QFETCH(int, dataBytes);
    ControllerModel model;
    model.setDropReplies(option == QLatin1String("drop"));
    model.setStatusInsteadOfReply(option == QLatin1String("status"));
    model.setReplyShort(option == QLatin1String("short"));
    model.setSilent(option == QLatin1String("silent"));
    const QByteArray reply = model.handleFrame(requestBytes(BuildReadFrame(64, 64)));
    QCOMPARE(int(commandOf(reply)), command);
    if (command != 0) {
        QCOMPARE(reply.size(), dataBytes + 6);
        QCOMPARE(int(quint8(reply.at(4))), dataBytes);
        QVERIFY2(ParseValidFrame(FrameBytesToText(reply)).has_value(),
                 "the shaped reply is not a valid frame");
    }
}

void TestSim::skippedReplies_leaveOutTheRequestsAsked_data()
{
    // Requests as journal * 100 + index; "y" where a reply comes, "n" where none does.
    QTest::addColumn<QString>("skip");
    QTest::addColumn<QList<int>>("requests");
    QTest::addColumn<QString>("answered");
    QTest::newRow("every other request") << "every other" << QList<int>{0, 1, 2, 3, 100} << "ynyny";
    QTest::newRow("entry 2 once") << "0:2 once" << QList<int>{0, 2, 2, 3, 102} << "ynyyy";
    QTest::newRow("entry 2 always") << "0:2 always" << QList<int>{2, 1, 2, 2, 102} << "nynny";
    QTest::newRow("alarm entry 2 only") << "1:2 always" << QList<int>{2, 102, 102, 101} << "ynny";
}

void TestSim::skippedReplies_leaveOutTheRequestsAsked()
{
    QFETCH(QString, skip);
    QFETCH(QList<int>, requests);
    QFETCH(QString, answered);
    ControllerModel model;
    model.fillJournals();
    if (skip == QLatin1String("every other"))
        model.setAnswerEveryOther(true);
    else
        model.skipJournalReplies(quint8(skip.at(0).digitValue()), 2,
                                 skip.endsWith(QLatin1String("once")) ? 1 : -1);
    QString got;
    for (int request : requests) {
        const QByteArray reply = model.handleFrame(journalRequest(request / 100, request % 100));
        got += reply.isEmpty() ? QLatin1Char('n') : QLatin1Char('y');
        // A reply that comes is the entry asked for.
        if (!reply.isEmpty()) {
            const ControllerJournal &journal = request < 100 ? model.eventJournal() : model.alarmJournal();
            QCOMPARE(hex(reply.mid(5, 5)), hex(journal.record(request % 100)));
        }
    }
    QCOMPARE(got, answered);
}

void TestSim::journalDelay_holdsBackOnlyThatEventEntry()
{
    ControllerModel model;
    QCOMPARE(model.replyDelayMs(journalRequest(0, 2)), 0);
    model.setJournalReplyDelay(2, 750);
    QCOMPARE(model.replyDelayMs(journalRequest(0, 2)), 750);
    QCOMPARE(model.replyDelayMs(journalRequest(0, 2)), 750);
    QCOMPARE(model.replyDelayMs(journalRequest(0, 3)), 0);
    QCOMPARE(model.replyDelayMs(journalRequest(1, 2)), 0);
    QCOMPARE(model.replyDelayMs(requestBytes(BuildReadFrame(2, 2))), 0);
    // The late reply is still the entry's own.
    QCOMPARE(hex(model.handleFrame(journalRequest(0, 2)).mid(5, 5)), hex(model.eventJournal().record(2)));
    model.setJournalReplyDelay(2, 0);
    QCOMPARE(model.replyDelayMs(journalRequest(0, 2)), 0);
}

void TestSim::variantFlap_stepsThroughTheThreeCodesKeepingTheMemory()
{
    ControllerModel model(201);
    model.setStatic(true);
    const QByteArray memory = model.memory();
    model.setVariantFlapMs(100);
    QList<int> codes;
    for (int i = 0; i < 7; ++i) {
        model.advance(50);
        codes << quint8(statusData(model).at(0));
    }
    QCOMPARE(codes, (QList<int>{201, 200, 200, 202, 202, 201, 201}));
    QCOMPARE(model.memory(), memory);

    model.setVariantFlapMs(0);
    model.advance(1000);
    QCOMPARE(int(model.variantCode()), 201);
}

void TestSim::scenario_isRepeatableFromSeed()
{
    ControllerModel first(200, 7);
    ControllerModel second(200, 7);
    ControllerModel other(200, 8);
    int differences = 0;
    for (int second_ = 0; second_ < 1800; ++second_) {
        first.advance(1000);
        second.advance(1000);
        other.advance(1000);
        QCOMPARE(hex(first.statusFrameBytes()), hex(second.statusFrameBytes()));
        differences += first.statusFrameBytes() != other.statusFrameBytes();
    }
    QVERIFY2(differences > 0, "another seed gave the same half hour");
}

void TestSim::scenario_goesThroughTheStages()
{
    ControllerModel model(200, 3);
    const quint32 hoursBefore = model.motoclockMinutes();
    const int eventsBefore = model.eventJournal().size();
    QSet<int> stages;
    for (int second = 0; second < 4 * 3600; ++second) {
        model.advance(1000);
        const ControllerState &s = model.state();
        stages.insert(s.stage);
        if (s.stage == StageCode::Starting) {
            const int step = s.stageTimer & 0xFF;
            QVERIFY2(step == 0 || step == 1 || step == 2 || step == 4 || step == 5,
                     qPrintable(QStringLiteral("start step %1").arg(step)));
            QVERIFY2((s.stageTimer >> 8) < 5,
                     qPrintable(QStringLiteral("attempt %1 of 5").arg((s.stageTimer >> 8) + 1)));
        }
        if (s.stage == StageCode::Running) {
            QVERIFY2(s.voltageGU >= 200 && s.voltageGU <= 260,
                     qPrintable(QStringLiteral("generator at %1 V while running").arg(s.voltageGU)));
        }
    }
    for (int stage : {0, 1, 3, 4, 5, 7, 8, 9}) {
        QVERIFY2(stages.contains(stage), qPrintable(QStringLiteral("stage %1 never seen").arg(stage)));
    }
    QVERIFY2(model.motoclockMinutes() > hoursBefore, "engine hours did not grow while running");
    QVERIFY2(model.eventJournal().size() > eventsBefore, "no events journaled");
}

void TestSim::staticModel_keepsItsValues()
{
    ControllerModel model(200, 3);
    model.setStatic(true);
    const QByteArray before = model.statusFrameBytes();
    model.advance(600 * 1000);
    QCOMPARE(hex(model.statusFrameBytes()), hex(before));
}

void TestSim::requestCutter_cutsEveryFrame_data()
{
    const QByteArray a = BuildReadFrame(0, 64);
    const QByteArray b = BuildCommandFrame(CMD_TEST_SMS, 0, 0, {});
    QTest::addColumn<QByteArrayList>("chunks");
    QTest::addColumn<QByteArrayList>("frames");
    QTest::newRow("two in one read") << QByteArrayList{a + b} << QByteArrayList{a, b};
    QTest::newRow("split across reads") << QByteArrayList{a.left(5), a.mid(5), b} << QByteArrayList{a, b};
    QTest::newRow("garbage between") << QByteArrayList{"xyz\r" + a + "\xFF\r" + b} << QByteArrayList{a, b};
    QTest::newRow("unfinished frame then a new start") << QByteArrayList{a.left(7) + b} << QByteArrayList{b};
    QTest::newRow("overlong text dropped")
        << QByteArrayList{QByteArray(1, FrameStart) + QByteArray(600, 'A') + "\r" + a} << QByteArrayList{a};
}

void TestSim::requestCutter_cutsEveryFrame()
{
    QFETCH(QByteArrayList, chunks);
    QFETCH(QByteArrayList, frames);
    RequestCutter cutter;
    QByteArrayList cut;
    qint64 now = 0;
    for (const QByteArray &chunk : chunks) {
        for (const auto &frame : cutter.feed(chunk, ++now))
            cut.append(frame.text);
    }
    QCOMPARE(cut, frames);
}

void TestSim::lineNoise_corruptsOnlyInsideFrames()
{
    ControllerModel model;
    const QByteArray text = FrameBytesToText(model.statusFrameBytes());
    LineNoise quiet(0.0, 1);
    QCOMPARE(quiet.corrupt(text), text);
    QVERIFY(quiet.garbageBefore(text.size()).isEmpty());

    LineNoise noisy(0.01, 1);
    int corrupted = 0;
    int garbage = 0;
    for (int i = 0; i < 200; ++i) {
        const QByteArray sent = noisy.corrupt(text);
        QCOMPARE(sent.size(), text.size());
        QCOMPARE(sent.front(), FrameStart);
        QCOMPARE(sent.back(), FrameEnd);
        corrupted += sent != text;
        const QByteArray junk = noisy.garbageBefore(text.size());
        QVERIFY2(!junk.contains(FrameStart), "garbage holds a start byte");
        garbage += !junk.isEmpty();
    }
    QVERIFY2(corrupted > 20 && corrupted < 200,
             qPrintable(QStringLiteral("%1 of 200 corrupted").arg(corrupted)));
    QVERIFY2(garbage > 20, qPrintable(QStringLiteral("garbage before %1 of 200").arg(garbage)));
}

void TestSim::pty_sendsStatusFrames()
{
    PtySimulator simulator(201, 1);
    simulator.setPeriodMs(50);
    QVERIFY2(simulator.start(), qPrintable(simulator.errorString()));
    QVERIFY2(simulator.devicePath().startsWith(QLatin1String("/dev/")), qPrintable(simulator.devicePath()));
    SlaveClient client(simulator.devicePath());
    QVERIFY(client.isOpen());
    const QVector<QByteArray> frames = client.waitForFrames(3);
    QVERIFY2(frames.size() >= 3, qPrintable(QStringLiteral("%1 frames arrived").arg(frames.size())));
    for (const QByteArray &text : frames) {
        const auto frame = ParseValidFrame(text);
        QVERIFY2(frame && commandOf(*frame) == CMD_STATUS && quint8(frame->at(5)) == 201, text.constData());
    }
    QVERIFY2(simulator.hasClient(), "the simulator did not see its client");
}

void TestSim::pty_answersReadRequest()
{
    PtySimulator simulator;
    simulator.setPeriodMs(50);
    QVERIFY2(simulator.start(), qPrintable(simulator.errorString()));
    SlaveClient client(simulator.devicePath());
    QVERIFY(!client.waitForCommand(CMD_STATUS).isEmpty());

    const QByteArray request = BuildReadFrame(64, 64);
    QVERIFY(client.write(request));
    const QByteArray reply = client.waitForCommand(CMD_READ_MEMORY);
    QCOMPARE(hex(reply), hex(FrameBytes(1, CMD_READ_MEMORY, 64, simulator.model().memory().mid(64, 64))));

    const QVector<FrameLogEntry> received = simulator.model().receivedFrames();
    QCOMPARE(received.size(), 1);
    QCOMPARE(received.at(0).text, request);
    QVERIFY2(received.at(0).startUs <= received.at(0).endUs, "start stamped after end");
    const FrameLogEntry &lastSent = simulator.model().sentFrames().constLast();
    QCOMPARE(hex(lastSent.bytes), hex(reply));
    QVERIFY2(lastSent.startUs >= received.at(0).endUs, "the reply went out before the request was in");
}

void TestSim::pty_handlesTwoFramesInOneWrite()
{
    PtySimulator simulator;
    simulator.setPeriodMs(50);
    QVERIFY2(simulator.start(), qPrintable(simulator.errorString()));
    SlaveClient client(simulator.devicePath());
    QVERIFY(!client.waitForCommand(CMD_STATUS).isEmpty());

    QVERIFY(client.write(BuildCommandFrame(CMD_JOURNAL_RECORD, 0, 2, QByteArray::fromHex("0005")) +
                         BuildCommandFrame(CMD_JOURNAL_RECORD, 0, 2, QByteArray::fromHex("0100"))));
    const QByteArray first = client.waitForCommand(CMD_JOURNAL_RECORD);
    const QByteArray second = client.waitForCommand(CMD_JOURNAL_RECORD);
    QCOMPARE(hex(first.mid(5, 5)), hex(simulator.model().eventJournal().record(5)));
    QCOMPARE(hex(second.mid(5, 5)), hex(simulator.model().alarmJournal().record(0)));
    QCOMPARE(simulator.model().receivedFrames().size(), 2);
}

void TestSim::pty_ignoresFrameWithBadChecksum()
{
    PtySimulator simulator;
    simulator.setPeriodMs(50);
    QVERIFY2(simulator.start(), qPrintable(simulator.errorString()));
    QSignalSpy received(&simulator, &PtySimulator::frameReceived);
    SlaveClient client(simulator.devicePath());
    QVERIFY(!client.waitForCommand(CMD_STATUS).isEmpty());

    QByteArray bad = BuildReadFrame(0, 64);
    bad[11] = bad.at(11) == '0' ? '1' : '0';
    QVERIFY(client.write(bad));
    QTRY_COMPARE_WITH_TIMEOUT(received.size(), 1, 5000);
    const auto entry = received.at(0).at(0).value<FrameLogEntry>();
    QCOMPARE(entry.text, bad);
    QVERIFY2(!entry.valid, "a bad frame is logged as valid");

    // The next frames are status frames, not a reply.
    client.waitForCommand(CMD_STATUS);
    client.waitForCommand(CMD_STATUS);
    for (const FrameLogEntry &sent : simulator.model().sentFrames())
        QVERIFY2(commandOf(sent.bytes) == CMD_STATUS, sent.text.constData());
}

void TestSim::pty_sendsNothingWithoutClientAndServesAgain()
{
    PtySimulator simulator;
    simulator.setPeriodMs(10);
    QVERIFY2(simulator.start(), qPrintable(simulator.errorString()));
    {
        SlaveClient client(simulator.devicePath());
        QVERIFY(!client.waitForCommand(CMD_STATUS).isEmpty());
    }
    QTRY_VERIFY_WITH_TIMEOUT(!simulator.hasClient(), 5000);
    const int sentWhileAway = int(simulator.model().sentFrames().size());
    // A device second takes a hundred status periods.
    const QDateTime clockWhileAway = simulator.model().clock();
    QTRY_VERIFY_WITH_TIMEOUT(simulator.model().clock() > clockWhileAway, 10000);
    QCOMPARE(int(simulator.model().sentFrames().size()), sentWhileAway);

    SlaveClient again(simulator.devicePath());
    const QVector<QByteArray> frames = again.waitForFrames(2);
    QVERIFY2(frames.size() >= 2, "no frames after the client came back");
    for (const QByteArray &text : frames)
        QVERIFY2(ParseValidFrame(text).has_value(), text.constData());
    const QByteArray request = BuildReadFrame(0, 4);
    QVERIFY(again.write(request));
    QCOMPARE(hex(again.waitForCommand(CMD_READ_MEMORY).mid(5, 4)), hex(simulator.model().memory().left(4)));
}

void TestSim::pty_closeDevice_clientSeesDeviceGone()
{
    PtySimulator simulator;
    simulator.setPeriodMs(50);
    QVERIFY2(simulator.start(), qPrintable(simulator.errorString()));
    SlaveClient client(simulator.devicePath());
    QVERIFY(!client.waitForCommand(CMD_STATUS).isEmpty());
    QVERIFY(!client.deviceGone());
    simulator.closeDevice();
    QVERIFY(!simulator.isOpen());
    client.waitForFrames(0, 0);
    QVERIFY2(client.deviceGone(), "the client still sees a device");
}

void TestSim::pty_linkIsMadeAndRemoved()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString link = dir.filePath(QStringLiteral("ttyGEN0"));
    {
        PtySimulator simulator;
        QVERIFY2(simulator.start(link), qPrintable(simulator.errorString()));
        QCOMPARE(QFileInfo(link).symLinkTarget(), simulator.devicePath());
        SlaveClient client(link);
        QVERIFY2(client.isOpen(), "the link does not open the device");
    }
    QVERIFY2(!QFileInfo(link).isSymLink(), "the link outlived the simulator");

    QFile plain(link);
    QVERIFY(plain.open(QIODevice::WriteOnly));
    plain.close();
    PtySimulator refused;
    QVERIFY2(!refused.start(link), "a plain file was replaced by the link");
    QVERIFY2(QFileInfo(link).isFile(), "the plain file is gone");
}

void TestSim::pty_pacedFrameTakesItsLineTime()
{
    PtySimulator simulator;
    simulator.setPeriodMs(0);
    simulator.setPaced(true);
    QVERIFY2(simulator.start(), qPrintable(simulator.errorString()));
    SlaveClient client(simulator.devicePath());
    QTRY_VERIFY_WITH_TIMEOUT(simulator.hasClient(), 5000);
    simulator.sendStatusFrame();
    simulator.sendStatusFrame();
    const QVector<QByteArray> frames = client.waitForFrames(2);
    QCOMPARE(frames.size(), 2);
    QVERIFY2(ParseValidFrame(frames.at(0)).has_value() && ParseValidFrame(frames.at(1)).has_value(),
             "paced frames arrived broken");
    QCOMPARE(simulator.model().sentFrames().size(), 2);
    for (const FrameLogEntry &sent : simulator.model().sentFrames()) {
        // At 960 bytes a second, the last byte leaves (n - 1) byte times after the first.
        const qint64 lineTime = (sent.text.size() - 1) * 1000000LL / 960;
        QVERIFY2(sent.endUs - sent.startUs >= lineTime,
                 qPrintable(QStringLiteral("%1 bytes in %2 us, expected at least %3 us")
                                .arg(sent.text.size())
                                .arg(sent.endUs - sent.startUs)
                                .arg(lineTime)));
    }
}

void TestSim::gensim_printsPathAndServesVariant()
{
    const QString program = gensimPath();
    QVERIFY2(QFileInfo(program).isExecutable(), qPrintable(program + QStringLiteral(" is not built")));

    QTemporaryDir linkDir;
    const QString link = linkDir.filePath(QStringLiteral("ttyGEN1"));
    QProcess gensim;
    gensim.start(program, {QStringLiteral("--variant"), QStringLiteral("dry"), QStringLiteral("--period"),
                           QStringLiteral("50"), QStringLiteral("--static"), QStringLiteral("--link"), link});
    QVERIFY2(gensim.waitForStarted(), qPrintable(gensim.errorString()));
    QTRY_VERIFY_WITH_TIMEOUT(gensim.canReadLine(), 5000);
    const QString path = QString::fromLocal8Bit(gensim.readLine()).trimmed();
    QVERIFY2(path.startsWith(QLatin1String("/dev/")), qPrintable(path));
    QCOMPARE(QFileInfo(link).symLinkTarget(), path);

    SlaveClient client(path);
    const QByteArray status = client.waitForCommand(CMD_STATUS);
    QVERIFY2(status.size() > 5, hex(status).constData());
    QCOMPARE(int(quint8(status.at(5))), 202);
    client.close();

    gensim.terminate();
    QVERIFY2(gensim.waitForFinished(5000), "gensim did not stop on SIGTERM");
    QCOMPARE(gensim.exitStatus(), QProcess::NormalExit);
    QCOMPARE(gensim.exitCode(), 0);
    QVERIFY2(!QFileInfo(link).isSymLink(), "gensim left its link behind");
}

void TestSim::replayFilter_takesOutRepliesOnly_data()
{
    // Received chunks 10 ms apart; ">" stands for a recorded request.
    QTest::addColumn<QByteArrayList>("chunks");
    QTest::addColumn<QByteArray>("played");
    const QByteArray status = gencfg::test::statusFrame(201);
    const QByteArray reply = gencfg::test::deviceFrame(CMD_READ_MEMORY, QByteArray(64, '\x11'));
    const QByteArray entry = gencfg::test::deviceFrame(CMD_JOURNAL_RECORD, QByteArray::fromHex("1405231100"));
    QByteArray damagedReply = reply;
    damagedReply[20] = damagedReply[20] == '1' ? '0' : '1';
    // Command 15 read as 05 by one flipped bit: a status frame that looks like a reply.
    QByteArray lookalike = status;
    lookalike[3] = '0';
    QTest::newRow("reply after its request, in pieces")
        << QByteArrayList{status, ">", reply.left(3), reply.mid(3, 30), reply.mid(33) + status}
        << status + status;
    QTest::newRow("journal entry and a status frame in one read")
        << QByteArrayList{">", entry + status} << status;
    QTest::newRow("damaged reply after its request") << QByteArrayList{">", damagedReply, status} << status;
    QTest::newRow("whole reply without a request") << QByteArrayList{reply, status} << status;
    QTest::newRow("damaged status frame like a reply")
        << QByteArrayList{lookalike, status} << lookalike + status;
    QTest::newRow("noise and a frame cut short")
        << QByteArrayList{"xy" + status.left(4), status} << "xy" + status.left(4) + status;
}

void TestSim::replayFilter_takesOutRepliesOnly()
{
    QFETCH(QByteArrayList, chunks);
    QFETCH(QByteArray, played);
    RecordedReplyFilter filter;
    QByteArray out;
    for (int i = 0; i < chunks.size(); ++i) {
        if (chunks.at(i) == ">")
            filter.requestRecorded(10 * i);
        else
            out += filter.take(chunks.at(i), 10 * i);
    }
    QCOMPARE(out, played);
    QVERIFY(!filter.insideFrame());
}

void TestSim::gensim_refusesWhatItCannotServe_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("named");
    for (const char *rate : {"nan", "NaN", "inf", "-inf", "-0.1", "1.5", "", "0.5x"})
        QTest::addRow("noise %s", rate) << QStringList{"--noise", QString::fromLatin1(rate)} << "--noise";
    QTest::newRow("extra argument") << QStringList{"--period", "50", "diesel"} << "diesel";
    QTest::newRow("unknown option") << QStringList{"--periods", "50"} << "periods";
    QTest::newRow("delay without ms") << QStringList{"--delay-journal", "2"} << "--delay-journal";
    QTest::newRow("delay index past 255") << QStringList{"--delay-journal", "256:100"} << "--delay-journal";
    QTest::newRow("delay negative") << QStringList{"--delay-journal", "2:-5"} << "--delay-journal";
    QTest::newRow("delay not a number") << QStringList{"--delay-journal", "two:100"} << "--delay-journal";
    QTest::newRow("flap zero") << QStringList{"--flap-variant", "0"} << "--flap-variant";
    QTest::newRow("flap not a number") << QStringList{"--flap-variant", "fast"} << "--flap-variant";
    QTest::newRow("no controllers") << QStringList{"--count", "0"} << "--count";
    QTest::newRow("too many controllers") << QStringList{"--count", "65"} << "--count";
    QTest::newRow("silent unit not served")
        << QStringList{"--count", "2", "--silent-unit", "2"} << "--silent-unit";
    QTest::newRow("ignoring unit not a number")
        << QStringList{"--count", "2", "--ignore-writes-unit", "one"} << "--ignore-writes-unit";
    QTest::newRow("speed without a replay") << QStringList{"--speed", "10"} << "--replay FILE";
    for (const char *speed : {"0", "1e-300", "0.009", "1000.5", "1e308", "nan", "-inf"})
        QTest::addRow("replay at speed %s", speed)
            << QStringList{"--replay", "/dev/null", "--speed", QString::fromLatin1(speed)} << "--speed";
    QTest::newRow("replay of a device")
        << QStringList{"--replay", "/dev/null"} << QString::fromUtf8("/dev/null не является обычным файлом");
    QTest::newRow("replay of a bench") << QStringList{"--replay", "/dev/null", "--count", "2"} << "--count 2";
}

void TestSim::gensim_refusesWhatItCannotServe()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, named);
    QProcess gensim;
    gensim.start(gensimPath(), arguments);
    QVERIFY2(gensim.waitForStarted(), qPrintable(gensim.errorString()));
    if (!gensim.waitForFinished(5000)) {
        gensim.kill();
        gensim.waitForFinished();
        QFAIL(qPrintable(
            QStringLiteral("gensim serves: %1").arg(QString::fromLocal8Bit(gensim.readAllStandardOutput()))));
    }
    QCOMPARE(gensim.exitStatus(), QProcess::NormalExit);
    const QString error = QString::fromLocal8Bit(gensim.readAllStandardError());
    QVERIFY2(gensim.exitCode() == 2,
             qPrintable(QStringLiteral("exit %1: %2").arg(gensim.exitCode()).arg(error)));
    QVERIFY2(error.contains(named), qPrintable(error));
    QVERIFY(gensim.readAllStandardOutput().isEmpty());
}

void TestSim::gensim_flapsTheVariantAndDelaysOneJournalEntry()
{
    QProcess gensim;
    gensim.start(gensimPath(),
                 {"--period", "50", "--static", "--flap-variant", "50", "--delay-journal", "2:500"});
    QVERIFY2(gensim.waitForStarted(), qPrintable(gensim.errorString()));
    QTRY_VERIFY_WITH_TIMEOUT(gensim.canReadLine(), 5000);
    const QString path = QString::fromLocal8Bit(gensim.readLine()).trimmed();
    SlaveClient client(path);
    QVERIFY(client.isOpen());

    QSet<int> codes;
    for (const QByteArray &text : client.waitForFrames(6))
        if (const auto frame = ParseValidFrame(text); frame && commandOf(*frame) == CMD_STATUS)
            codes << quint8(frame->at(5));
    QStringList seen;
    for (int code : codes)
        seen << QString::number(code);
    QVERIFY2(codes.size() >= 2 && (codes - QSet<int>{200, 201, 202}).isEmpty(),
             qPrintable(QStringLiteral("codes seen: %1").arg(seen.join(QLatin1Char(' ')))));

    // Status frames that came after the request and before its reply.
    const auto statusFramesBeforeReply = [&](int index) {
        const int from = int(client.waitForFrames(0).size());
        client.write(BuildCommandFrame(CMD_JOURNAL_RECORD, 0, 2, bytesOf({0, index})));
        const QByteArray reply = client.waitForCommand(CMD_JOURNAL_RECORD, 3000);
        int statuses = 0;
        const QVector<QByteArray> frames = client.waitForFrames(0);
        for (int i = from; i < frames.size(); ++i) {
            const auto frame = ParseValidFrame(frames.at(i));
            if (frame && commandOf(*frame) == CMD_JOURNAL_RECORD)
                break;
            statuses += frame && commandOf(*frame) == CMD_STATUS;
        }
        return reply.isEmpty() ? -1 : statuses;
    };
    const int beforeLate = statusFramesBeforeReply(2);
    QVERIFY2(beforeLate >= 5,
             qPrintable(QStringLiteral("%1 status frames before the late reply").arg(beforeLate)));
    const int beforeOther = statusFramesBeforeReply(3);
    QVERIFY2(beforeOther >= 0 && beforeOther < beforeLate,
             qPrintable(QStringLiteral("%1 status frames before entry 3's reply").arg(beforeOther)));
    client.close();
    gensim.terminate();
    QVERIFY(gensim.waitForFinished(5000));
}

void TestSim::gensim_servesABenchOfControllersEachWithItsOwnSerialNumber()
{
    QTemporaryDir linkDir;
    const QString link = linkDir.filePath(QStringLiteral("kuv"));
    QProcess gensim;
    gensim.start(gensimPath(), {"--count", "3", "--link", link, "--period", "50", "--static", "--silent-unit",
                                "1", "--ignore-writes-unit", "2"});
    QVERIFY2(gensim.waitForStarted(), qPrintable(gensim.errorString()));
    QStringList paths;
    QTRY_VERIFY_WITH_TIMEOUT((paths << QString::fromLocal8Bit(gensim.readLine()).trimmed(),
                              paths.removeAll(QString()), paths.size() == 3),
                             5000);
    QByteArray serials;
    for (int unit = 0; unit < 3; ++unit) {
        QCOMPARE(QFileInfo(link + QString::number(unit)).symLinkTarget(), paths.at(unit));
        SlaveClient client(paths.at(unit));
        QVERIFY(client.write(BuildReadFrame(MemoryMap::SerialNumber, MemoryMap::SerialNumberSize)));
        const QByteArray reply = client.waitForCommand(CMD_READ_MEMORY, unit == 1 ? 500 : 5000);
        // The silent one sends nothing at all, not even its status frames.
        if (unit == 1) {
            QVERIFY(reply.isEmpty() && client.waitForFrames(1, 200).isEmpty());
            continue;
        }
        serials += reply.mid(5, MemoryMap::SerialNumberSize) + ' ';
        // The one that ignores writes takes a write without keeping it.
        QVERIFY(client.write(BuildWriteFrame(MemoryMap::Login, 5, QByteArray("bench"))));
        QVERIFY(client.write(BuildReadFrame(MemoryMap::Login, 5)));
        const QByteArray login = client.waitForCommand(CMD_READ_MEMORY).mid(5, 5);
        QVERIFY2((login == "bench") == (unit != 2), login.toHex().constData());
    }
    QCOMPARE(serials, QByteArray("21070415 21070417 "));
    gensim.terminate();
    QVERIFY(gensim.waitForFinished(5000));
    QVERIFY(!QFileInfo(link + "0").isSymLink() && !QFileInfo(link + "2").isSymLink());
}

QTEST_GUILESS_MAIN(TestSim)
#include "tst_sim.moc"
