// gencfg-cli end to end: the executable against a simulated controller on a
// pseudo-terminal, opened as a real serial port.

#include "CliSupport.h"
#include "LinkWait.h"
#include "MemLink.h"
#include "TestSupport.h"
#include "WidgetSupport.h"
#include "app/MainWindow.h"
#include "config/Catalogue.h"
#include "config/ConfigImage.h"
#include "config/ConfigTransfer.h"
#include "config/ParamFile.h"
#include "config/ParamModel.h"
#include "link/FrameCodec.h"
#include "monitor/Journal.h"
#include "monitor/JournalReading.h"
#include "monitor/TelemetryCsv.h"
#include "record/RecordingReader.h"
#include "record/SessionRecorder.h"
#include "sim/FactoryMemory.h"
#include "sim/PtySimulator.h"
#include "visit/VisitArchive.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSerialPortInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <csignal>
#include <cstring>

using namespace gencfg;
using StatusFrameMap::Flag;
using StatusFrameMap::FlagMask;
using namespace gencfg::test;
using gencfg::test::waitUntilIdle;

namespace {

const QString NoAnswer =
    QStringLiteral("Нет связи. Устройство занято или не подключено. Попробуйте еще раз.");
const QString ServiceCode = QStringLiteral("41730962");
// Input errors must be found before any port is opened: this one would give exit 3.
const QString NoPort = QStringLiteral("/dev/gencfg-no-such-port");

QStringList substituted(QStringList arguments, const QString &port, const QString &file)
{
    arguments.replaceInStrings(QStringLiteral("{port}"), port);
    arguments.replaceInStrings(QStringLiteral("{file}"), file);
    return arguments;
}

void put(ConfigImageBytes &image, int address, const QByteArray &bytes)
{
    std::copy(bytes.cbegin(), bytes.cend(), image.begin() + address);
}

// The petrol defaults with the mains lower threshold at 200 V and a login of "tech".
ConfigImageBytes editedPetrolImage()
{
    ConfigImageBytes image = DefaultConfigImage(DeviceVariant::Petrol);
    put(image, 36, QByteArray::fromHex("00C8"));
    put(image, 192, QByteArray("tech") + QByteArray(12, char(0xFF)));
    return image;
}

// A controller in semi-automatic operation, generator running for 90 s, with
// values at the edges of their coding.
void setLiveState(ControllerModel &model)
{
    ControllerState &s = model.state();
    s.mode = 2;
    s.flags1 = FlagMask(Flag::ThreePhase) | FlagMask(Flag::Gprs) | FlagMask(Flag::SemiAuto);
    s.flags2 = FlagMask(Flag::Maintenance) | FlagMask(Flag::GsmModem);
    s.stage = 5;
    s.stageTimer = 90;
    s.voltageGU = 220;
    s.voltageA = 226;
    s.voltageB = 100;
    s.voltageC = 0;
    s.accVoltage = 136;
    s.upsVoltage = 245;
    s.maintenanceMinutes = 59;
    s.signalQuality = 99;
    s.registration = 1;
    const qint8 temperatures[4] = {21, -10, 0, 127};
    std::copy(std::begin(temperatures), std::end(temperatures), s.temperatures);
    model.setMotoclockMinutes(733);
    model.setClock(QDateTime(QDate(2024, 5, 17), QTime(9, 5, 30), Qt::UTC));
}

} // namespace

class tst_Cli : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();

    void help_forTheProgramAndEachCommand_exitsZero_data();
    void help_forTheProgramAndEachCommand_exitsZero();
    void inputErrors_exitTwoNamingWhatIsWrongBeforeOpeningThePort_data();
    void inputErrors_exitTwoNamingWhatIsWrongBeforeOpeningThePort();
    void unopenablePort_exitsThreeNamingThePort_data();
    void unopenablePort_exitsThreeNamingThePort();
    void silentController_exitsOneWithTheNoAnswerText_data();
    void silentController_exitsOneWithTheNoAnswerText();
    void outputThatCannotBeWritten_isReportedAndEndsTheCommand_data();
    void outputThatCannotBeWritten_isReportedAndEndsTheCommand();

    void status_json_givesEveryKeyDecoded();
    void status_json_textsAsTheWindowShowsThemOrNull_data();
    void status_json_textsAsTheWindowShowsThemOrNull();
    void status_text_showsTheMeasurementCaptionsValuesAndFlags();
    void status_impossibleClockAndFullCounter_showDashesNullAndRawBytes();
    void status_follow_printsEveryFrameUntilInterrupted();
    void status_followCsv_printsTheHeaderThenARowPerFrame();

    void readConfig_savesTheFileTheWindowSavesAfterReading();
    void readConfig_raw_savesTheBytesExactlyAsRead();
    void readConfig_variantOption_decodesIntoThatCatalogue();
    void readConfig_unknownVariantCode_exitsTwoAskingForTheVariant();
    void readConfig_unprogrammedController_exitsTwoAndLeavesNoFile();
    void writeConfig_provesByDefaultWithTheWindowsFramesAndSparesTheCounters();
    void writeConfig_writesIgnored_exitsFourNamingTheParameters();
    void writeConfig_badFile_exitsTwoBeforeSendingAnything();
    void showConfig_printsTheTreeOfTheChosenCatalogueWithoutADevice();
    void valuesOutsideTheirLimits_writeConfigRefusesThemShowConfigMarksThemDiffConfigListsThem();
    void diffConfig_listsTheParametersThatDifferBetweenFiles();
    void diffConfig_comparesAFileWithTheController();
    void diffConfig_exitsWithTheStatusTheProgramHelpNames_data();
    void diffConfig_exitsWithTheStatusTheProgramHelpNames();
    void history_listsArchivedVisits_andDiffConfigComparesThem();

    void readJournal_json_listsBothJournalsEntryByEntry();
    void readJournal_text_listsEachJournalUnderItsCaption();
    void readJournal_controllerThatStopsAnswering_exits1KeepingTheLinesRead();
    void readJournal_lateEntry_isNeverFiledUnderAnotherIndex();
    void readJournal_lateRepliesAcrossDelays_fileEveryEntryAsTheControllerHoldsIt();
    void readConfig_variantChangingDuringTheRead_exits1AndWritesNothing();
    void readJournal_entriesNeverAnswered_areNamedInPlaceAndExit1_data();
    void readJournal_entriesNeverAnswered_areNamedInPlaceAndExit1();
    void interruptedOperation_exits130AndWritesNothing_data();
    void interruptedOperation_exits130AndWritesNothing();

    void send_eachCommandReachesTheController_data();
    void send_eachCommandReachesTheController();
    void send_syncClock_setsTheControllerClockFromThisComputer();
    void startStop_sendTheDurationInSeconds_data();
    void startStop_sendTheDurationInSeconds();
    void setMotorHours_withTheServiceCode_writesTheCounter();
    void setSerial_withTheServiceCode_writesTheEightCharacters();
    void controllerText_withControlCodes_isPrintedEscaped();

    void ports_listsThePortsTheSystemEnumerates();
    void executable_linksNoWidgets_andReportsWithoutADisplay();
    void record_replayedAndRecordedAgain_decodesToTheSameRecordsAtTheSpeedsPace();
    void replay_answersARequestWithItsRecordedReply_elseAsTheSimulator();
    void replay_ofASessionRecordedWhileReading_answersTheSameReadsAsTheController();

private:
    QString path(const QString &name) const { return m_dir.filePath(name); }

    QTemporaryDir m_dir;
};

void tst_Cli::initTestCase()
{
    QVERIFY2(QFile::exists(cliPath()), qPrintable(QStringLiteral("missing %1").arg(cliPath())));
    QVERIFY(m_dir.isValid());
}

void tst_Cli::help_forTheProgramAndEachCommand_exitsZero_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("usage");
    QTest::newRow("program") << QStringList{"--help"} << "Usage: gencfg-cli COMMAND";
    QTest::newRow("help command") << QStringList{"help", "write-config"} << "Usage: gencfg-cli write-config";
    QTest::newRow("version") << QStringList{"--version"} << "gencfg-cli " GENCFG_VERSION "\n";
    QTest::newRow("version, short") << QStringList{"-v"} << "gencfg-cli " GENCFG_VERSION "\n";
    for (const char *command :
         {"ports", "status", "read-config", "write-config", "show-config", "read-journal", "send", "start",
          "stop", "set-motor-hours", "set-serial", "report", "history", "record", "archive"}) {
        QTest::newRow(command) << QStringList{QString::fromLatin1(command), "--help"}
                               << QStringLiteral("Usage: gencfg-cli %1").arg(QLatin1String(command));
    }
}

void tst_Cli::help_forTheProgramAndEachCommand_exitsZero()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, usage);
    const CliResult r = runCli(arguments);
    QVERIFY2(r.exitCode == 0, r.describe());
    QVERIFY2(r.outText().startsWith(usage), r.describe());
    QVERIFY2(r.err.isEmpty(), r.describe());
}

void tst_Cli::inputErrors_exitTwoNamingWhatIsWrongBeforeOpeningThePort_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("named");
    const QString code = ServiceCode;
    QTest::newRow("no command") << QStringList{} << "no command given";
    QTest::newRow("unknown command") << QStringList{"frobnicate"} << "unknown command 'frobnicate'";
    QTest::newRow("no port") << QStringList{"status"} << "missing --port DEV";
    QTest::newRow("no file") << QStringList{"read-config", "--port", NoPort} << "missing FILE";
    QTest::newRow("extra argument") << QStringList{"status", "--port", NoPort, "extra"}
                                    << "unexpected argument 'extra'";
    QTest::newRow("unknown option") << QStringList{"status", "--port", NoPort, "--bogus"} << "bogus";
    QTest::newRow("unknown variant") << QStringList{"read-config", "--port",    NoPort,
                                                    "f",           "--variant", "gasoline"}
                                     << "unknown variant 'gasoline'";
    QTest::newRow("unknown one-shot command")
        << QStringList{"send", "--port", NoPort, "self-destruct"} << "unknown command 'self-destruct'";
    QTest::newRow("start for 18:13") << QStringList{"start", "--port", NoPort, "18:13"} << "18 ч 12 мин";
    QTest::newRow("stop for 99:00") << QStringList{"stop", "--port", NoPort, "99:00"} << "18 ч 12 мин";
    QTest::newRow("minutes past 59") << QStringList{"start", "--port", NoPort, "1:60"}
                                     << "'1:60' is not a time";
    QTest::newRow("time without a colon")
        << QStringList{"stop", "--port", NoPort, "90"} << "'90' is not a time";
    QTest::newRow("hours beyond an integer") << QStringList{"start", "--port", NoPort, "99999999999:00"}
                                             << "'99999999999' is not a valid integer value";
    QTest::newRow("motor hours without the code")
        << QStringList{"set-motor-hours", "--port", NoPort, "1:00"} << "missing --code CODE";
    QTest::newRow("motor hours with a wrong code")
        << QStringList{"set-motor-hours", "--port", NoPort, "1:00", "--code", "41730961"}
        << "wrong service code";
    QTest::newRow("serial with a wrong code")
        << QStringList{"set-serial", "--port", NoPort, "12345678", "--code", " 41730962"}
        << "wrong service code";
    QTest::newRow("report to no file") << QStringList{"report", "--port", NoPort, ""} << "no output file";
    QTest::newRow("report through a link to nothing")
        << QStringList{"report", "--port", NoPort, "{file}dangling.pdf"} << "which does not exist";
    QTest::newRow("report notes too long")
        << QStringList{"report", "--port", NoPort, "{file}r.pdf", "--notes", QString(20001, 'x')}
        << "at most 20000";
    QTest::newRow("serial of seven characters")
        << QStringList{"set-serial", "--port", NoPort, "1234567", "--code", code} << "exactly 8 characters";
    QTest::newRow("serial of nine characters")
        << QStringList{"set-serial", "--port", NoPort, "123456789", "--code", code} << "exactly 8 characters";
    QTest::newRow("serial without a single-byte code")
        << QStringList{"set-serial", "--port", NoPort, "1234567✓", "--code", code} << "✓";
    // The controller ends a stored text at its first byte of 0x7B or more.
    QTest::newRow("serial in Cyrillic")
        << QStringList{"set-serial", "--port", NoPort, "СН-12345", "--code", code} << "«С»";
    QTest::newRow("serial with a brace")
        << QStringList{"set-serial", "--port", NoPort, "AB{12345", "--code", code} << "«{»";
    QTest::newRow("serial with a semicolon")
        << QStringList{"set-serial", "--port", NoPort, "AB;12345", "--code", code} << "«;»";
    QTest::newRow("serial of eight characters, the last an emoji")
        << QStringList{"set-serial", "--port", NoPort, QStringLiteral("1234567\U0001F600"), "--code", code}
        << QStringLiteral("«\U0001F600»");
    QTest::newRow("serial of nine characters, one an emoji")
        << QStringList{"set-serial", "--port", NoPort, QStringLiteral("12345678\U0001F600"), "--code", code}
        << "has 9";
    QTest::newRow("file that does not exist")
        << QStringList{"write-config", "--port", NoPort, "{file}missing.txt"} << "missing.txt";
    QTest::newRow("file with a word") << QStringList{"show-config", "{file}words.txt"} << "'abc'";
    QTest::newRow("file with 256") << QStringList{"show-config", "{file}big.txt"} << "'256'";
    QTest::newRow("folder that does not exist")
        << QStringList{"read-config", "--port", NoPort, "{file}no/such/out.txt"} << "does not exist";
    QTest::newRow("file onto a folder")
        << QStringList{"read-config", "--port", NoPort, "{file}"} << "это папка";
    QTest::newRow("file onto a named pipe")
        << QStringList{"read-config", "--port", NoPort, "{file}pipe"} << "pipe не является обычным файлом";
    QTest::newRow("file onto a device") << QStringList{"read-config", "--port", NoPort, "/dev/full"}
                                        << "/dev/full не является обычным файлом";
    QTest::newRow("record without a file") << QStringList{"record", "--port", NoPort} << "missing FILE";
    QTest::newRow("record for no time")
        << QStringList{"record", "--port", NoPort, "{file}r.rec", "--duration", "0"}
        << "--duration wants a number of seconds above 0";
    QTest::newRow("record onto a device")
        << QStringList{"record", "--port", NoPort, "/dev/full"} << "/dev/full не является обычным файлом";
    QTest::newRow("status from a port and a recording")
        << QStringList{"status", "--port", NoPort, "--from-recording", "{file}in.txt"}
        << "give --port or --from-recording, not both";
    QTest::newRow("status from a missing recording")
        << QStringList{"status", "--from-recording", "{file}none.rec"} << "none.rec не найден";
    QTest::newRow("status from a parameter file")
        << QStringList{"status", "--from-recording", "{file}in.txt", "--csv"} << "не является записью сеанса";
    QTest::newRow("empty port beside a file")
        << QStringList{"diff-config", "{file}in.txt", "--port", ""} << "--port DEV is empty";
    QTest::newRow("empty port before a file")
        << QStringList{"diff-config", "--port=", "{file}in.txt"} << "--port DEV is empty";
}

void tst_Cli::inputErrors_exitTwoNamingWhatIsWrongBeforeOpeningThePort()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, named);
    QVERIFY(writeAll(path("words.txt"), "1 2 abc 4"));
    QVERIFY(writeAll(path("big.txt"), "1 2 256"));
    QVERIFY(writeAll(path("in.txt"), FormatParamFile(DefaultConfigImage(DeviceVariant::Petrol))));
    QVERIFY(nodeKind(path("pipe")) == QLatin1String("fifo") || makeFifo(path("pipe")));
    QVERIFY(QFileInfo(path("dangling.pdf")).isSymLink() ||
            QFile::link(path("nowhere/r.pdf"), path("dangling.pdf")));
    const CliResult r = runCli(substituted(arguments, NoPort, m_dir.path() + QLatin1Char('/')));
    QVERIFY2(r.exitCode == 2, r.describe());
    QVERIFY2(r.errText().contains(named), r.describe());
    QVERIFY2(r.out.isEmpty(), r.describe());
    QCOMPARE(nodeKind(path("pipe")), QStringLiteral("fifo"));
}

void tst_Cli::unopenablePort_exitsThreeNamingThePort_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("status") << QStringList{"status", "--port", NoPort};
    QTest::newRow("read-config") << QStringList{"read-config", "--port", NoPort, "{file}out.txt"};
    QTest::newRow("write-config") << QStringList{"write-config", "--port", NoPort, "{file}in.txt"};
    QTest::newRow("read-journal") << QStringList{"read-journal", "--port", NoPort};
    QTest::newRow("send") << QStringList{"send", "--port", NoPort, "test-sms"};
    QTest::newRow("set-serial") << QStringList{"set-serial", "--port", NoPort,
                                               "12345678",   "--code", ServiceCode};
}

void tst_Cli::unopenablePort_exitsThreeNamingThePort()
{
    QFETCH(QStringList, arguments);
    QVERIFY(writeAll(path("in.txt"), FormatParamFile(DefaultConfigImage(DeviceVariant::Petrol))));
    const CliResult r = runCli(substituted(arguments, NoPort, m_dir.path() + QLatin1Char('/')));
    QVERIFY2(r.exitCode == 3, r.describe());
    QVERIFY2(r.errText().contains(NoPort), r.describe());
    QVERIFY2(!QFile::exists(path("out.txt")), "no file without a controller");
}

void tst_Cli::silentController_exitsOneWithTheNoAnswerText_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("status") << QStringList{"status", "--port", "{port}"};
    QTest::newRow("read-config") << QStringList{"read-config", "--port", "{port}", "{file}out.txt"};
    QTest::newRow("read-config --raw")
        << QStringList{"read-config", "--port", "{port}", "{file}out.txt", "--raw"};
    QTest::newRow("write-config") << QStringList{"write-config", "--port",    "{port}",
                                                 "{file}in.txt", "--variant", "petrol"};
    QTest::newRow("read-journal") << QStringList{"read-journal", "--port", "{port}"};
    QTest::newRow("send") << QStringList{"send", "--port", "{port}", "mode-auto"};
    QTest::newRow("set-motor-hours") << QStringList{"set-motor-hours", "--port",   "{port}", "1:00",
                                                    "--code",          ServiceCode};
}

void tst_Cli::silentController_exitsOneWithTheNoAnswerText()
{
    QFETCH(QStringList, arguments);
    QVERIFY(writeAll(path("in.txt"), FormatParamFile(DefaultConfigImage(DeviceVariant::Petrol))));
    Controller c;
    QVERIFY(c.started);
    c.model().setSilent(true);
    const CliResult r = runCli(substituted(arguments, c.port(), m_dir.path() + QLatin1Char('/')));
    QVERIFY2(r.exitCode == 1, r.describe());
    QCOMPARE(r.errText(), NoAnswer + QLatin1Char('\n'));
    QVERIFY2(!QFile::exists(path("out.txt")), "no file without a controller");
    QVERIFY2(c.received().isEmpty(), "nothing is sent before the controller has sent a frame");
}

void tst_Cli::outputThatCannotBeWritten_isReportedAndEndsTheCommand_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::newRow("program help") << QStringList{"--help"} << 1;
    QTest::newRow("show-config") << QStringList{"show-config", "{file}a.txt"} << 1;
    QTest::newRow("status") << QStringList{"status", "--port", "{port}"} << 1;
    QTest::newRow("status --csv") << QStringList{"status", "--port", "{port}", "--csv"} << 1;
    QTest::newRow("status --json --follow")
        << QStringList{"status", "--port", "{port}", "--json", "--follow"} << 1;
    QTest::newRow("status --csv --follow")
        << QStringList{"status", "--port", "{port}", "--csv", "--follow"} << 1;
    QTest::newRow("read-journal") << QStringList{"read-journal", "--port", "{port}"} << 1;
    // For diff-config 1 means "different": a list that could not be printed is trouble.
    QTest::newRow("diff-config") << QStringList{"diff-config", "{file}a.txt", "{file}b.txt"} << 2;
}

void tst_Cli::outputThatCannotBeWritten_isReportedAndEndsTheCommand()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QVERIFY(writeAll(path("a.txt"), FormatParamFile(DefaultConfigImage(DeviceVariant::Petrol))));
    QVERIFY(writeAll(path("b.txt"), FormatParamFile(editedPetrolImage())));
    Controller c;
    QVERIFY(c.started);
    const CliResult r = runCli(substituted(arguments, c.port(), m_dir.path() + QLatin1Char('/')), 20000,
                               QStringLiteral("/dev/full"));
    QVERIFY2(r.exitCode == status, r.describe());
    QVERIFY2(r.errText().contains(QString::fromLocal8Bit(std::strerror(ENOSPC))), r.describe());
}

void tst_Cli::status_json_givesEveryKeyDecoded()
{
    Controller c(201);
    QVERIFY(c.started);
    setLiveState(c.model());
    const CliResult r = runCli({"status", "--port", c.port(), "--json"});
    QVERIFY2(r.exitCode == 0, r.describe());
    QCOMPARE(r.out.count('\n'), 1);
    QJsonParseError error;
    const QJsonObject o = QJsonDocument::fromJson(r.out, &error).object();
    QVERIFY2(error.error == QJsonParseError::NoError, qPrintable(error.errorString()));

    const QStringList keys = {"variant",
                              "mode",
                              "semiauto",
                              "stage",
                              "stage_timer",
                              "status_text",
                              "voltage_gu",
                              "voltage_a",
                              "voltage_b",
                              "voltage_c",
                              "acc_voltage",
                              "ups_voltage",
                              "motoclock_minutes",
                              "maintenance_minutes",
                              "clock",
                              "signal_dbm",
                              "registration",
                              "registration_text",
                              "temperatures",
                              "flags"};
    QStringList given = o.keys();
    QStringList expected = keys;
    given.sort();
    expected.sort();
    QCOMPARE(given, expected);

    QCOMPARE(o.value("variant").toString(), QStringLiteral("diesel"));
    QCOMPARE(o.value("mode").toInt(), 2);
    QCOMPARE(o.value("semiauto").toBool(), true);
    QCOMPARE(o.value("stage").toInt(), 5);
    QCOMPARE(o.value("stage_timer").toInt(), 90);
    QCOMPARE(o.value("status_text").toString(), QStringLiteral("Работа ГУ\n00:01:30"));
    QCOMPARE(o.value("voltage_gu").toDouble(), 220.0);
    QCOMPARE(o.value("voltage_a").toDouble(), 226.0);
    QCOMPARE(o.value("voltage_b").toDouble(), 100.0);
    QCOMPARE(o.value("voltage_c").toDouble(), 0.0);
    QCOMPARE(o.value("acc_voltage").toDouble(), 13.6);
    QCOMPARE(o.value("ups_voltage").toDouble(), 24.5);
    QCOMPARE(o.value("motoclock_minutes").toInt(), 733);
    QCOMPARE(o.value("maintenance_minutes").toInt(), 59);
    QCOMPARE(o.value("clock").toString(), QStringLiteral("09:05:30"));
    // Code 99: the modem could not measure the level.
    QVERIFY(o.value("signal_dbm").isNull());
    QCOMPARE(o.value("registration").toInt(), 1);
    QCOMPARE(o.value("registration_text").toString(), QStringLiteral("Зарегистрирован\nв домашней сети"));
    QCOMPARE(o.value("temperatures").toArray(), (QJsonArray{21, -10, 0, 127}));

    const QJsonObject flags = o.value("flags").toObject();
    const QStringList set = {"three_line", "gprs", "to", "gsm_activity"};
    const QStringList all = {"three_line",
                             "direct_start",
                             "smart_start",
                             "gu_freq",
                             "gprs",
                             "to",
                             "acc_voltage_control",
                             "ups_voltage_control",
                             "work_sleep",
                             "test_start",
                             "short",
                             "gsm_activity",
                             "thermo"};
    QCOMPARE(flags.size(), all.size());
    for (const QString &key : all) {
        QVERIFY2(flags.value(key).isBool(), qPrintable(key));
        QVERIFY2(flags.value(key).toBool() == set.contains(key), qPrintable(key));
    }
}

void tst_Cli::status_json_textsAsTheWindowShowsThemOrNull_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("stage");
    QTest::addColumn<int>("stageTimer");
    QTest::addColumn<int>("registration");
    QTest::addColumn<QVariant>("statusText"); // null: the window leaves its text as it was
    QTest::addColumn<QVariant>("registrationText");
    QTest::newRow("manual mode ignores the stage")
        << 1 << 7 << 0 << 0 << QVariant(QStringLiteral("Ручной режим"))
        << QVariant(QStringLiteral("Не зарегистрирован.\nПоиск сети не ведется"));
    QTest::newRow("generator start step and attempt")
        << 2 << 3 << 0x0104 << 5 << QVariant(QStringLiteral("Запуск ГУ\nстартер  N:2"))
        << QVariant(QStringLiteral("Зарегистрирован\nв роуминге"));
    QTest::newRow("unknown mode and registration") << 0 << 0 << 0 << 6 << QVariant() << QVariant();
    QTest::newRow("stage beyond the table")
        << 2 << 27 << 0 << 3 << QVariant() << QVariant(QStringLiteral("Регистрация отклонена"));
}

void tst_Cli::status_json_textsAsTheWindowShowsThemOrNull()
{
    QFETCH(int, mode);
    QFETCH(int, stage);
    QFETCH(int, stageTimer);
    QFETCH(int, registration);
    QFETCH(QVariant, statusText);
    QFETCH(QVariant, registrationText);
    Controller c;
    QVERIFY(c.started);
    ControllerState &s = c.model().state();
    s.mode = quint8(mode);
    s.stage = quint8(stage);
    s.stageTimer = quint16(stageTimer);
    s.registration = quint8(registration);
    const CliResult r = runCli({"status", "--port", c.port(), "--json"});
    QVERIFY2(r.exitCode == 0, r.describe());
    const QJsonObject o = QJsonDocument::fromJson(r.out).object();
    const QJsonValue expectedStatus = statusText.isNull() ? QJsonValue() : QJsonValue(statusText.toString());
    const QJsonValue expectedRegistration =
        registrationText.isNull() ? QJsonValue() : QJsonValue(registrationText.toString());
    QCOMPARE(o.value("status_text"), expectedStatus);
    QCOMPARE(o.value("registration_text"), expectedRegistration);
}

void tst_Cli::status_text_showsTheMeasurementCaptionsValuesAndFlags()
{
    Controller c(201);
    QVERIFY(c.started);
    setLiveState(c.model());
    const CliResult r = runCli({"status", "--port", c.port()});
    QVERIFY2(r.exitCode == 0, r.describe());
    const QStringList lines = r.outText().split(QLatin1Char('\n'));
    for (const char *line :
         {"Вариант: КУВ-дизель v2.0", "Режим работы устройства: Работа ГУ 00:01:30", "Режим: Полуавто",
          "Фаза ГУ: 220В", "Фаза А: 226В", "Фаза B: 100В", "Фаза С: 0В", "Напряжение АКБ: 13.6В",
          "Напряжение ИБП: 24.5 В", "Счетчик моточасов: 12ч 13м", "До проведения ТО: 0ч 59м",
          "Системное время: 09:05:30", "Уровень GSM сигнала: ---",
          "Резистрация в сети: Зарегистрирован в домашней сети",
          "Датчики температуры: 21 C, -10 C, 0 C, 127 C", "  [x] three_line (3ф сеть)",
          "  [ ] direct_start (дистанц. запуск)", "  [x] gsm_activity (GSM модем)",
          "  [ ] thermo (Термодатчик)"}) {
        QVERIFY2(
            lines.contains(QString::fromUtf8(line)),
            qPrintable(QStringLiteral("no line \"%1\" in\n%2").arg(QString::fromUtf8(line), r.outText())));
    }
}

void tst_Cli::status_impossibleClockAndFullCounter_showDashesNullAndRawBytes()
{
    Controller c(201);
    QVERIFY(c.started);
    setLiveState(c.model());
    c.model().setClockBytes(QByteArray::fromHex("FF1A99"));
    c.model().setMotoclockMinutes(0xFFFFFFFFu);

    const CliResult json = runCli({"status", "--port", c.port(), "--json"});
    QVERIFY2(json.exitCode == 0, json.describe());
    const QJsonObject o = QJsonDocument::fromJson(json.out).object();
    QVERIFY2(o.value("clock").isNull(), json.out.constData());
    QCOMPARE(o.value("clock_raw").toString(), QStringLiteral("FF1A99"));
    QCOMPARE(o.value("motoclock_minutes").toInteger(), qint64(0xFFFFFFFFu));

    const CliResult text = runCli({"status", "--port", c.port()});
    QVERIFY2(text.exitCode == 0, text.describe());
    const QStringList lines = text.outText().split(QLatin1Char('\n'));
    for (const QString &line :
         {QStringLiteral("Системное время: --:--:--"), QStringLiteral("Счетчик моточасов: 71582788ч 15м")})
        QVERIFY2(lines.contains(line), qPrintable(line + QStringLiteral(" not in\n") + text.outText()));

    // A clock that is valid again gives no raw bytes.
    c.model().setClockBytes({});
    const CliResult again = runCli({"status", "--port", c.port(), "--json"});
    const QJsonObject valid = QJsonDocument::fromJson(again.out).object();
    QCOMPARE(valid.value("clock").toString(), QStringLiteral("09:05:30"));
    QVERIFY(!valid.contains("clock_raw"));
}

void tst_Cli::status_follow_printsEveryFrameUntilInterrupted()
{
    Controller c;
    QVERIFY(c.started);
    Following cli({"status", "--port", c.port(), "--json", "--follow"});
    QVERIFY(cli.waitForLines(2));
    c.model().state().stage = 9;
    QVERIFY(cli.waitForLines(int(cli.out.count('\n')) + 3));
    QVERIFY(cli.stop(SIGINT));
    QCOMPARE(cli.process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(cli.process.exitCode(), 0);
    const QByteArray &out = cli.out;

    const QList<QByteArray> lines = out.trimmed().split('\n');
    for (const QByteArray &line : lines) {
        const QJsonObject o = QJsonDocument::fromJson(line).object();
        QVERIFY2(o.value("variant").toString() == QLatin1String("petrol"), line.constData());
    }
    const QJsonObject last = QJsonDocument::fromJson(lines.last()).object();
    QCOMPARE(last.value("status_text").toString(), QStringLiteral("Останов ГУ"));
}

void tst_Cli::status_followCsv_printsTheHeaderThenARowPerFrame()
{
    Controller c;
    QVERIFY(c.started);
    Following cli({"status", "--port", c.port(), "--csv", "--follow"});
    QVERIFY(cli.waitForLines(4));
    QVERIFY(cli.stop(SIGTERM));
    QCOMPARE(cli.process.exitCode(), 0);

    const QStringList lines = QString::fromUtf8(cli.out).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.first(), TelemetryCsvHeader());
    const int columns = int(lines.first().count(QLatin1Char(','))) + 1;
    for (const QString &row : lines.mid(1)) {
        QCOMPARE(int(row.count(QLatin1Char(','))) + 1, columns);
        QVERIFY2(QDateTime::fromString(row.section(QLatin1Char(','), 0, 0), Qt::ISODateWithMs).isValid(),
                 qPrintable(row));
    }
    // The same columns and format as the window's export.
    TelemetryLog log;
    log.append(0, DecodeStatusFrame(c.model().statusFrameBytes()));
    QCOMPARE(lines.at(1).section(QLatin1Char(','), 1),
             TelemetryCsvRow(0, log.at(0).record).section(QLatin1Char(','), 1));
}

void tst_Cli::readConfig_savesTheFileTheWindowSavesAfterReading()
{
    Controller c(201);
    QVERIFY(c.started);
    // Values of every coding, plus bytes the window does not keep: the counter,
    // the serial number and an unassigned address.
    ConfigImageBytes memory = DefaultConfigImage(DeviceVariant::Diesel);
    put(memory, 0, QByteArray::fromHex("00012170"));
    put(memory, 15, QByteArray::fromHex("E2"));
    put(memory, 36, QByteArray::fromHex("00C8"));
    put(memory, 70, QByteArray::fromHex("12"));
    put(memory, 80, QByteArray::fromHex("00010203040506070809"));
    put(memory, 184, QByteArray("SN000042"));
    put(memory, 192, QByteArray("tech") + QByteArray(12, char(0xFF)));
    c.model().writeMemory(0, bytesOf(memory));

    const QString windowFile = path("window.txt");
    {
        MainWindow form;
        MessageRecorder messages(form.messages());
        form.pickPort(c.port());
        QTRY_COMPARE_WITH_TIMEOUT(quint8(form.variant()), quint8(DeviceVariant::Diesel), 5000);
        named<QPushButton>(&form, "readButton")->click();
        QVERIFY(waitUntilIdle(form.link()));
        QCOMPARE(messages.lastText(), QStringLiteral("Параметры успешно прочитаны из устройства."));
        answerFileDialog(&form, windowFile);
        named<QPushButton>(&form, "saveButton")->click();
        QVERIFY(fileDialogClosed());
        QCOMPARE(messages.count(), 1);
    }
    const QByteArray saved = readAll(windowFile);
    QCOMPARE(saved.size(), 1056);

    const CliResult r = runCli({"read-config", "--port", c.port(), path("cli-read")});
    QVERIFY2(r.exitCode == 0, r.describe());
    QVERIFY2(r.err.isEmpty(), r.describe());
    QVERIFY2(!QFile::exists(path("cli-read.txt")), "the file is written under exactly the name given");
    QCOMPARE(readAll(path("cli-read")), saved);
    // The decode and encode really ran: the counter and serial number are not kept.
    QVERIFY(saved != FormatParamFile(memory));
    QVERIFY(saved.startsWith("255 255 255 255 "));
}

void tst_Cli::readConfig_raw_savesTheBytesExactlyAsRead()
{
    Controller c;
    QVERIFY(c.started);
    ConfigImageBytes memory;
    for (int i = 0; i < 256; ++i)
        memory[size_t(i)] = quint8(255 - i);
    c.model().writeMemory(0, bytesOf(memory));
    const CliResult r = runCli({"read-config", "--port", c.port(), path("raw.txt"), "--raw"});
    QVERIFY2(r.exitCode == 0, r.describe());
    QCOMPARE(readAll(path("raw.txt")), FormatParamFile(memory));
    // The window's read plan: four blocks of 64 bytes, each request as the window builds it.
    const QVector<FrameLogEntry> requests = c.received();
    QCOMPARE(requests.size(), 4);
    for (int i = 0; i < 4; ++i)
        QCOMPARE(requests.at(i).text, BuildReadFrame(quint16(64 * i), 64));
}

void tst_Cli::readConfig_variantOption_decodesIntoThatCatalogue()
{
    Controller c(200);
    QVERIFY(c.started);
    const ConfigImageBytes memory = editedPetrolImage();
    c.model().writeMemory(0, bytesOf(memory));

    ParamModel dry;
    LoadParamTree(DryContactParams(), HighestIndexFor(DeviceVariant::DryContact), dry);
    DecodeConfigImage(memory, dry);
    ConfigImageBytes expected;
    QVERIFY(EncodeConfigImage(dry, expected).ok);
    QVERIFY2(expected != memory, "the dry-contact catalogue keeps other bytes than the petrol one");

    const CliResult r = runCli({"read-config", "--port", c.port(), path("dry.txt"), "--variant", "dry"});
    QVERIFY2(r.exitCode == 0, r.describe());
    QCOMPARE(readAll(path("dry.txt")), FormatParamFile(expected));
}

void tst_Cli::readConfig_unknownVariantCode_exitsTwoAskingForTheVariant()
{
    Controller c(57);
    QVERIFY(c.started);
    const CliResult r = runCli({"read-config", "--port", c.port(), path("unknown.txt")});
    QVERIFY2(r.exitCode == 2, r.describe());
    QVERIFY2(r.errText().contains(QLatin1String("57")) && r.errText().contains(QLatin1String("--variant")),
             r.describe());
    QVERIFY(!QFile::exists(path("unknown.txt")));
    QVERIFY2(c.received().isEmpty(), "nothing is read for a variant without a catalogue");
}

void tst_Cli::readConfig_unprogrammedController_exitsTwoAndLeavesNoFile()
{
    Controller c;
    QVERIFY(c.started);
    c.model().writeMemory(0, QByteArray(256, char(0xFF)));
    const CliResult r = runCli({"read-config", "--port", c.port(), path("blank.txt")});
    QVERIFY2(r.exitCode == 2, r.describe());
    QVERIFY2(r.errText().contains(QLatin1String("--raw")), r.describe());
    QVERIFY(!QFile::exists(path("blank.txt")));
}

void tst_Cli::writeConfig_provesByDefaultWithTheWindowsFramesAndSparesTheCounters()
{
    Controller c;
    QVERIFY(c.started);
    const QByteArray factory = c.model().memory();
    ConfigImageBytes file = editedPetrolImage();
    // Never written: the engine-hour counter and the read-only fields.
    put(file, 0, QByteArray::fromHex("01020304"));
    put(file, 184, QByteArray("XXXXXXXX"));
    QVERIFY(writeAll(path("edited.txt"), FormatParamFile(file)));

    const CliResult r = runCli({"write-config", "--port", c.port(), path("edited.txt")});
    QVERIFY2(r.exitCode == 0, r.describe());
    QVERIFY2(r.err.isEmpty(), r.describe());

    const QByteArray memory = c.model().memory();
    QCOMPARE(memory.mid(0, 4), factory.mid(0, 4));
    QCOMPARE(memory.mid(180, 12), factory.mid(180, 12));
    QCOMPARE(c.model().memoryWord(36), quint16(200));
    QCOMPARE(memory.mid(192, 4), QByteArray("tech"));

    const QVector<FrameLogEntry> frames = c.received();
    QCOMPARE(frames.size(), 8);
    const struct
    {
        quint16 address;
        quint8 length;
    } plan[] = {{4, 60}, {64, 64}, {128, 52}, {192, 64}};
    for (int i = 0; i < 4; ++i) {
        const QByteArray block = bytesOf(file).mid(plan[i].address, plan[i].length);
        QCOMPARE(frames.at(i).text, BuildWriteFrame(plan[i].address, plan[i].length, block));
        QCOMPARE(frames.at(4 + i).text, BuildReadFrame(quint16(64 * i), 64));
    }
}

void tst_Cli::writeConfig_writesIgnored_exitsFourNamingTheParameters()
{
    Gensim gensim({"--period", "50", "--static", "--ignore-writes", "--variant", "petrol"});
    QVERIFY2(!gensim.port.isEmpty(), gensim.process.readAllStandardError().constData());

    QVERIFY(writeAll(path("ignored.txt"), FormatParamFile(editedPetrolImage())));
    const CliResult r = runCli({"write-config", "--port", gensim.port, path("ignored.txt")});
    const CliResult unproven =
        runCli({"write-config", "--port", gensim.port, path("ignored.txt"), "--no-verify"});

    // Bytes no parameter owns may differ (the factory memory is not the defaults); they are not named.
    QVERIFY2(r.exitCode == 4, r.describe());
    QCOMPARE(
        r.errText().trimmed().split(QLatin1Char('\n')),
        (QStringList{
            QStringLiteral(
                "Параметры сети / Напряжение сети / Нижний порог: written \"200\", read back \"180\""),
            // The simulator's UPS battery is a 24 V one, the catalogue's defaults a 12 V one's.
            QStringLiteral("Контроль АКБ ИБП / Нижний порог напряжения АКБ ИБП: written \"80\", read back "
                           "\"216\""),
            QStringLiteral("Контроль АКБ ИБП / Верхний порог напряжения АКБ ИБП: written \"150\", read back "
                           "\"290\""),
            QStringLiteral(
                "Параметры GSM модема / GPRS мониторинг / Login: written \"tech\", read back \"vkmtr\""),
            QStringLiteral("verify: 4 parameters read back otherwise than written")}));
    QVERIFY2(unproven.exitCode == 0, unproven.describe());
}

void tst_Cli::writeConfig_badFile_exitsTwoBeforeSendingAnything()
{
    Controller c;
    QVERIFY(c.started);
    QVERIFY(writeAll(path("bad.txt"), "255 255\r\n1.5 0\r\n"));
    const CliResult r = runCli({"write-config", "--port", c.port(), path("bad.txt")});
    QVERIFY2(r.exitCode == 2, r.describe());
    QVERIFY2(r.errText().contains(QLatin1String("'1.5'")), r.describe());
    QVERIFY(c.model().receivedLog().isEmpty());
}

void tst_Cli::diffConfig_listsTheParametersThatDifferBetweenFiles()
{
    const ConfigImageBytes defaults = DefaultConfigImage(DeviceVariant::Petrol);
    ConfigImageBytes edited = editedPetrolImage();
    put(edited, 15, QByteArray("\xFB", 1)); // -5 degrees
    // Not parameters: the counter and the serial number are never compared.
    put(edited, 0, QByteArray::fromHex("01020304"));
    put(edited, 184, QByteArray("XXXXXXXX"));
    QVERIFY(writeAll(path("a.txt"), FormatParamFile(defaults)));
    QVERIFY(writeAll(path("b.txt"), FormatParamFile(edited)));
    QVERIFY(writeAll(path("bad.txt"), "255 x\r\n"));

    const CliResult same = runCli({"diff-config", path("a.txt"), path("a.txt")});
    QVERIFY2(same.exitCode == 0 && same.out.isEmpty(), same.describe());

    const CliResult three = runCli({"diff-config", path("a.txt"), path("b.txt")});
    QVERIFY2(three.exitCode == 1, three.describe());
    QCOMPARE(three.outText(), QStringLiteral("Параметры сети / Напряжение сети / Нижний порог\t180\t200\n"
                                             "Параметры GSM модема / GPRS мониторинг / Login\tvkmtr\ttech\n"
                                             "Термодатчик / Нижний порог температуры\t5\t-5\n"));

    const CliResult bad = runCli({"diff-config", path("a.txt"), path("bad.txt")});
    QVERIFY2(bad.exitCode == 2 && bad.out.isEmpty(), bad.describe());
    QVERIFY2(bad.errText().contains(QLatin1String("bad.txt")), bad.describe());
}

void tst_Cli::diffConfig_comparesAFileWithTheController()
{
    Controller c;
    QVERIFY(c.started);
    c.model().writeMemory(0, bytesOf(DefaultConfigImage(DeviceVariant::Petrol)));
    QVERIFY(writeAll(path("edited.txt"), FormatParamFile(editedPetrolImage())));

    // The side --port stands on is the side the controller's values are printed on.
    const CliResult portFirst = runCli({"diff-config", "--port", c.port(), path("edited.txt")});
    QVERIFY2(portFirst.exitCode == 1, portFirst.describe());
    QCOMPARE(portFirst.outText().split(QLatin1Char('\n')).first(),
             QStringLiteral("Параметры сети / Напряжение сети / Нижний порог\t180\t200"));
    const CliResult portLast = runCli({"diff-config", path("edited.txt"), "--port", c.port()});
    QCOMPARE(portLast.outText().split(QLatin1Char('\n')).first(),
             QStringLiteral("Параметры сети / Напряжение сети / Нижний порог\t200\t180"));
    QCOMPARE(portLast.outText().count(QLatin1Char('\n')), 2);
}

void tst_Cli::history_listsArchivedVisits_andDiffConfigComparesThem()
{
    // The archive lives in the data folder the system names; gencfg-cli inherits this one.
    const QByteArray dataHome = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", path("data").toUtf8());
    const auto visitOf = [](const char *time, VisitKind kind, const QString &serial,
                            const ConfigImageBytes &image) {
        Visit visit;
        visit.time = QDateTime::fromString(QLatin1String(time), Qt::ISODate);
        visit.kind = kind;
        visit.variantCode = quint8(DeviceVariant::Petrol);
        visit.serial = serial;
        visit.programVersion = QStringLiteral("2.0.0");
        visit.image = image;
        return visit;
    };
    const VisitArchive archive;
    Visit may = visitOf("2026-05-14T10:00:00", VisitKind::Read, "21070415",
                        DefaultConfigImage(DeviceVariant::Petrol));
    Visit june = visitOf("2026-06-01T09:30:00", VisitKind::Write, "21070415", editedPetrolImage());
    Visit unnumbered = visitOf("2026-06-02T08:00:00", VisitKind::Read, QString(), editedPetrolImage());
    for (Visit *visit : {&may, &june, &unnumbered})
        QCOMPARE(archive.store(*visit), QString());
    QVERIFY(writeAll(path("edited.txt"), FormatParamFile(editedPetrolImage())));

    const CliResult all = runCli({"history"});
    QVERIFY2(all.exitCode == 0, all.describe());
    QCOMPARE(all.outText(),
             QStringLiteral("21070415\t2\t2026-06-01 09:30:00\nno-serial\t1\t2026-06-02 08:00:00\n"));
    const CliResult one = runCli({"history", "21070415"});
    QCOMPARE(one.outText(), QStringLiteral("2026-05-14 10:00:00\tread\tpetrol\t2.0.0\t%1\t\t\n"
                                           "2026-06-01 09:30:00\twrite\tpetrol\t2.0.0\t%2\t\t\n")
                                .arg(may.folder, june.folder));

    const CliResult twoVisits =
        runCli({"diff-config", "--visit", "21070415@2026-05", "--visit", "21070415@last"});
    QVERIFY2(twoVisits.exitCode == 1, twoVisits.describe());
    QCOMPARE(twoVisits.outText().split(QLatin1Char('\n')).first(),
             QStringLiteral("Параметры сети / Напряжение сети / Нижний порог\t180\t200"));
    const CliResult visitLast = runCli({"diff-config", path("edited.txt"), "--visit=21070415@2026-05"});
    QCOMPARE(visitLast.outText().split(QLatin1Char('\n')).first(),
             QStringLiteral("Параметры сети / Напряжение сети / Нижний порог\t200\t180"));
    const CliResult same = runCli({"diff-config", "--visit", "no-serial@last", path("edited.txt")});
    QVERIFY2(same.exitCode == 0 && same.out.isEmpty(), same.describe());
    // The time as history prints it, or in ISO 8601.
    const CliResult iso = runCli(
        {"diff-config", "--visit", "21070415@2026-06-01T09:30:00", "--visit", "21070415@2026-06-01 09:30"});
    QVERIFY2(iso.exitCode == 0 && iso.out.isEmpty(), iso.describe());

    // A visit that is not kept is trouble, named; so is a third side.
    for (const QStringList &args :
         {QStringList{"diff-config", "--visit", "21070415@2020", path("edited.txt")},
          QStringList{"diff-config", "--visit", "1@last", "--visit", "1@last", path("a")},
          QStringList{"history", "99"}}) {
        const CliResult r = runCli(args);
        QVERIFY2(r.exitCode == 2 && r.out.isEmpty(), r.describe());
    }
    qputenv("XDG_DATA_HOME", dataHome);
}

void tst_Cli::diffConfig_exitsWithTheStatusTheProgramHelpNames_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("meaning");
    QTest::newRow("the same") << QStringList{"{file}a.txt", "{file}a.txt"} << 0 << "the same";
    QTest::newRow("different") << QStringList{"{file}a.txt", "{file}b.txt"} << 1 << "different";
    QTest::newRow("a bad file") << QStringList{"{file}a.txt", "{file}words.txt"} << 2 << "trouble";
    QTest::newRow("a port that cannot be opened")
        << QStringList{"{file}a.txt", "--port", NoPort} << 3 << "the port cannot be opened";
}

void tst_Cli::diffConfig_exitsWithTheStatusTheProgramHelpNames()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, meaning);
    QVERIFY(writeAll(path("a.txt"), FormatParamFile(DefaultConfigImage(DeviceVariant::Petrol))));
    QVERIFY(writeAll(path("b.txt"), FormatParamFile(editedPetrolImage())));
    QVERIFY(writeAll(path("words.txt"), "1 2 abc 4"));
    const CliResult r =
        runCli(QStringList{"diff-config"} + substituted(arguments, NoPort, m_dir.path() + QLatin1Char('/')));
    QVERIFY2(r.exitCode == status, r.describe());

    const QStringList help = runCli({"--help"}).outText().split(QLatin1Char('\n'));
    const QStringList diffLines = help.filter(QStringLiteral("(diff-config:"));
    QCOMPARE(diffLines.size(), 1);
    QVERIFY2(diffLines.first().contains(QStringLiteral("%1 %2").arg(status).arg(meaning)),
             qPrintable(diffLines.first()));
}

void tst_Cli::showConfig_printsTheTreeOfTheChosenCatalogueWithoutADevice()
{
    QVERIFY(writeAll(path("show.txt"), FormatParamFile(editedPetrolImage())));
    const CliResult petrol = runCli({"show-config", path("show.txt")});
    QVERIFY2(petrol.exitCode == 0, petrol.describe());
    const QString text = petrol.outText();
    QVERIFY2(text.startsWith(QStringLiteral("Тип двигателя электрогенератора: бензин\n"
                                            "Параметры сети\n"
                                            "  Напряжение сети\n"
                                            "    Нижний порог: 200 Вольт\n"
                                            "    Верхний порог: 260 Вольт\n")),
             petrol.describe());
    QVERIFY2(text.contains(QStringLiteral("\n    Число цилиндров двигателя: 1 к-во\n")), petrol.describe());
    QVERIFY2(!text.contains(QStringLiteral("Время прогрева свечи")), petrol.describe());

    const CliResult diesel = runCli({"show-config", path("show.txt"), "--variant", "diesel"});
    QVERIFY2(diesel.exitCode == 0, diesel.describe());
    QVERIFY2(diesel.outText().contains(QStringLiteral("\n    Время прогрева свечи: 10 Сек.\n")),
             diesel.describe());
    QCOMPARE(diesel.outText().count(QLatin1Char('\n')), HighestIndexFor(DeviceVariant::Diesel) + 1);
}

void tst_Cli::valuesOutsideTheirLimits_writeConfigRefusesThemShowConfigMarksThemDiffConfigListsThem()
{
    ConfigImageBytes image = DefaultConfigImage(DeviceVariant::Petrol);
    put(image, 24, QByteArray("\xC8\x63\xFA", 3)); // weekly test on day 200 at 99:250
    QVERIFY(writeAll(path("outside.txt"), FormatParamFile(image)));
    QVERIFY(writeAll(path("defaults.txt"), FormatParamFile(DefaultConfigImage(DeviceVariant::Petrol))));
    const QString group = QStringLiteral("Параметры электрогенератора / Еженедельный тестовый запуск / ");
    const QStringList refusal = {group + QStringLiteral("День недели: 200 is outside the limits 1…7"),
                                 group + QStringLiteral("Час: 99 is outside the limits 0…23"),
                                 group + QStringLiteral("Минута: 250 is outside the limits 0…59"),
                                 QStringLiteral("not written: 3 parameters lie outside their limits")};

    // With the variant named, refused before the port is opened.
    const CliResult named =
        runCli({"write-config", "--port", NoPort, path("outside.txt"), "--variant", "petrol"});
    QVERIFY2(named.exitCode == 2, named.describe());
    QCOMPARE(named.errText().trimmed().split(QLatin1Char('\n')), refusal);

    Controller c;
    QVERIFY(c.started);
    const QByteArray memory = c.model().memory();
    const CliResult reported = runCli({"write-config", "--port", c.port(), path("outside.txt")});
    QVERIFY2(reported.exitCode == 2, reported.describe());
    QCOMPARE(reported.errText().trimmed().split(QLatin1Char('\n')), refusal);
    QVERIFY2(c.received().isEmpty(), "nothing may be sent");
    QCOMPARE(c.model().memory(), memory);

    const CliResult shown = runCli({"show-config", path("outside.txt")});
    QVERIFY2(shown.exitCode == 0, shown.describe());
    for (const char *line :
         {"\n    День недели: 200 пн-вс [outside the limits 1…7]\n",
          "\n    Час: 99 Час [outside the limits 0…23]\n",
          "\n    Минута: 250 Минута [outside the limits 0…59]\n", "\n    Длительность запуска: 180 Сек.\n"})
        QVERIFY2(shown.outText().contains(QString::fromUtf8(line)), shown.describe() + line);
    QCOMPARE(shown.outText().count(QStringLiteral("[outside")), 3);

    const CliResult differing = runCli({"diff-config", path("defaults.txt"), path("outside.txt")});
    QVERIFY2(differing.exitCode == 1, differing.describe());
    QCOMPARE(differing.outText(), group + QStringLiteral("День недели\t7\t200\n") + group +
                                      QStringLiteral("Час\t12\t99\n") + group +
                                      QStringLiteral("Минута\t30\t250\n"));
}

namespace {

// Three events and two alarms, then the end of each journal.
void setJournals(ControllerModel &model)
{
    model.eventJournal().clear();
    model.eventJournal().appendRaw(QByteArray::fromHex("1405231100"));
    model.eventJournal().appendRaw(QByteArray::fromHex("0930010212"));
    model.eventJournal().appendRaw(QByteArray::fromHex("235931120D"));
    // A stamp whose every byte is no valid time.
    model.eventJournal().appendRaw(QByteArray::fromHex("FF1A321301"));
    model.alarmJournal().clear();
    model.alarmJournal().appendRaw(QByteArray::fromHex("100005060D"));
    model.alarmJournal().appendRaw(QByteArray::fromHex("1111111105"));
}

QJsonObject entry(int index, int hour, int minute, int day, int month, int code, const QString &text,
                  const QString &line)
{
    return QJsonObject{{"index", index}, {"hour", hour}, {"minute", minute}, {"day", day},
                       {"month", month}, {"code", code}, {"text", text},     {"line", line}};
}

// Event 3 of setJournals(): no byte of its stamp is a valid time.
QJsonObject impossibleStampEntry()
{
    return QJsonObject{{"index", 3},          {"hour", QJsonValue::Null},
                       {"hour_raw", "FF"},    {"minute", QJsonValue::Null},
                       {"minute_raw", "1A"},  {"day", QJsonValue::Null},
                       {"day_raw", "32"},     {"month", QJsonValue::Null},
                       {"month_raw", "13"},   {"code", 1},
                       {"text", "запуск ГУ"}, {"line", "--:-- --/-- запуск ГУ"}};
}

} // namespace

void tst_Cli::readJournal_json_listsBothJournalsEntryByEntry()
{
    Controller c(201);
    QVERIFY(c.started);
    setJournals(c.model());
    const CliResult r = runCli({"read-journal", "--port", c.port(), "--json"});
    QVERIFY2(r.exitCode == 0, r.describe());
    const QJsonObject journals = QJsonDocument::fromJson(r.out).object();
    QCOMPARE(journals.keys(), (QStringList{"alarms", "complete", "events", "missing"}));
    QCOMPARE(journals.value("missing").toObject(),
             (QJsonObject{{"events", QJsonArray()}, {"alarms", QJsonArray()}}));
    QCOMPARE(journals.value("complete").toObject(), (QJsonObject{{"events", true}, {"alarms", true}}));
    const QJsonArray events{
        entry(0, 14, 5, 23, 11, 0, "пропадание сети", "14:05 23/11 пропадание сети"),
        entry(1, 9, 30, 1, 2, 18, "код 18", "09:30 01/02 код 18"),
        entry(2, 23, 59, 31, 12, 13, "авария: нет запуска ГУ", "23:59 31/12 авария: нет запуска ГУ"),
        impossibleStampEntry(),
    };
    const QJsonArray alarms{
        entry(0, 10, 0, 5, 6, 13, "авария: нет запуска ГУ", "10:00 05/06 авария: нет запуска ГУ"),
        entry(1, 11, 11, 11, 11, 5, "", "11:11 11/11 "),
    };
    QCOMPARE(journals.value("events").toArray(), events);
    QCOMPARE(journals.value("alarms").toArray(), alarms);
}

void tst_Cli::readJournal_lateEntry_isNeverFiledUnderAnotherIndex()
{
    // Full journals hold the codes in turn: event N has code N % 18, alarm N code 11 + N % 7.
    Gensim gensim(
        {"--period", "50", "--static", "--full-journals", "--variant", "diesel", "--delay-journal", "2:750"});
    QVERIFY(!gensim.port.isEmpty());
    const CliResult r = runCli({"read-journal", "--port", gensim.port, "--json"});
    QVERIFY2(r.exitCode == 0 || r.exitCode == 1, r.describe());
    const QJsonObject journals = QJsonDocument::fromJson(r.out).object();
    const QJsonArray events = journals.value("events").toArray();
    QVERIFY2(events.size() >= EventJournalEntries - 1, r.describe());
    for (const QJsonValue &event : events) {
        const int index = event.toObject().value("index").toInt();
        QVERIFY2(event.toObject().value("code").toInt() == index % 18,
                 qPrintable(QStringLiteral("event %1 holds code %2")
                                .arg(index)
                                .arg(event.toObject().value("code").toInt())));
    }
    for (const QJsonValue &alarm : journals.value("alarms").toArray())
        QCOMPARE(alarm.toObject().value("code").toInt(), 11 + alarm.toObject().value("index").toInt() % 7);
}

void tst_Cli::readJournal_lateRepliesAcrossDelays_fileEveryEntryAsTheControllerHoldsIt()
{
    // Status period, reply delay, the event entry answered late and by how much, full journals,
    // and whether the port vanishes right after that late reply; all runs go at once.
    struct Run
    {
        const char *name;
        int period, replyDelay, late, lateMs;
        bool full, vanish;
        std::unique_ptr<Gensim> gensim;
        std::unique_ptr<PtySimulator> sim;
        std::unique_ptr<QProcess> cli;
    };
    Run runs[] = {
        {"silent after the late reply, period 1000", 1000, 500, 5, 700, false, true, {}, {}, {}},
        {"silent after the late reply, period 200", 200, 100, 5, 350, true, true, {}, {}, {}},
        {"late end mark, period 200", 200, 180, 17, 950, false, false, {}, {}, {}},
        {"late end mark, period 100", 100, 90, 17, 450, false, false, {}, {}, {}},
        {"late reply among the alarms, 5.0 s", 100, 90, 100, 5000, true, false, {}, {}, {}},
        {"late reply among the alarms, 5.5 s", 100, 90, 100, 5500, true, false, {}, {}, {}},
        {"late reply among the last alarms, 5.75 s", 100, 90, 100, 5750, true, false, {}, {}, {}},
        {"late reply at the end of the reading", 100, 90, 100, 6250, true, false, {}, {}, {}},
    };
    for (Run &run : runs) {
        QString port;
        if (run.vanish) {
            // gensim's own controller in this process, so the port can vanish at the right moment.
            run.sim = std::make_unique<PtySimulator>(201, 3);
            PtySimulator *sim = run.sim.get();
            sim->model().setStatic(true);
            if (run.full)
                sim->model().fillJournals();
            sim->model().setJournalReplyDelay(quint8(run.late), run.lateMs);
            sim->setReplyDelayMs(run.replyDelay);
            sim->setPeriodMs(run.period);
            const QByteArray lateRecord = sim->model().eventJournal().record(run.late);
            connect(sim, &PtySimulator::frameSent, sim, [sim, lateRecord](const FrameLogEntry &entry) {
                if (entry.bytes.mid(FrameDataOffset, 5) == lateRecord)
                    QTimer::singleShot(0, sim, [sim] { sim->closeDevice(); });
            });
            QVERIFY(sim->start());
            port = sim->devicePath();
        } else {
            QStringList arguments{"--variant",
                                  "diesel",
                                  "--static",
                                  "--period",
                                  QString::number(run.period),
                                  "--reply-delay",
                                  QString::number(run.replyDelay),
                                  "--delay-journal",
                                  QStringLiteral("%1:%2").arg(run.late).arg(run.lateMs)};
            if (run.full)
                arguments << "--full-journals";
            run.gensim = std::make_unique<Gensim>(arguments);
            port = run.gensim->port;
            QVERIFY2(!port.isEmpty(), run.name);
        }
        run.cli = std::make_unique<QProcess>();
        run.cli->start(cliPath(), {"read-journal", "--port", port, "--json"});
    }
    // Every run is checked, so one failing run still shows how the others went.
    QStringList wrong;
    for (Run &run : runs) {
        QVERIFY2(QTest::qWaitFor([&] { return run.cli->state() == QProcess::NotRunning; }, 60000), run.name);
        const QByteArray out = run.cli->readAllStandardOutput();
        const QString name = QString::fromLatin1(run.name);
        ControllerModel holds(201, 3);
        if (run.full)
            holds.fillJournals();
        const QJsonObject journals = QJsonDocument::fromJson(out).object();
        const QJsonObject missing = journals.value("missing").toObject();
        bool whole = true;
        for (JournalSelector journal : {EventJournal, AlarmJournal}) {
            const QString key = journal == EventJournal ? QStringLiteral("events") : QStringLiteral("alarms");
            const ControllerJournal &kept =
                journal == EventJournal ? holds.eventJournal() : holds.alarmJournal();
            QSet<int> accounted;
            for (const QJsonValue &value : journals.value(key).toArray()) {
                const int index = value.toObject().value("index").toInt();
                const QString line = value.toObject().value("line").toString();
                if (line != JournalLine(journal, JournalRecordFromData(kept.record(index))))
                    wrong << QStringLiteral("%1: %2 %3 is \"%4\"").arg(name, key).arg(index).arg(line);
                accounted.insert(index);
            }
            for (const QJsonValue &index : missing.value(key).toArray())
                accounted.insert(index.toInt());
            // A journal said to be complete names each of its entries, read or missing.
            whole &= journals.value("complete").toObject().value(key).toBool(true);
            QStringList leftOut;
            for (int index = 0; whole && index < kept.size(); ++index) {
                if (!accounted.contains(index))
                    leftOut << QString::number(index);
            }
            if (!leftOut.isEmpty())
                wrong << QStringLiteral("%1: %2 %3 left out").arg(name, key, leftOut.join(QLatin1Char(' ')));
        }
        const bool clean = whole && missing.value("events").toArray().isEmpty() &&
                           missing.value("alarms").toArray().isEmpty();
        if (run.cli->exitCode() != (clean ? 0 : 1) || (run.vanish && whole))
            wrong << QStringLiteral("%1: exit %2, complete %3").arg(name).arg(run.cli->exitCode()).arg(whole);
    }
    for (const QString &problem : wrong)
        qWarning("%s", qPrintable(problem));
    QVERIFY2(wrong.isEmpty(), "entries filed wrongly or left out, listed above");
}

void tst_Cli::readConfig_variantChangingDuringTheRead_exits1AndWritesNothing()
{
    Gensim gensim({"--period", "50", "--static", "--variant", "diesel", "--flap-variant", "45"});
    QVERIFY(!gensim.port.isEmpty());
    const QString file = path("flapping.txt");
    const CliResult r = runCli({"read-config", "--port", gensim.port, file});
    QVERIFY2(r.exitCode == 1, r.describe());
    QVERIFY2(r.errText().contains(VariantChangedReadText()), r.describe());
    QVERIFY(!QFile::exists(file));
}

void tst_Cli::readJournal_text_listsEachJournalUnderItsCaption()
{
    Controller c(201);
    QVERIFY(c.started);
    setJournals(c.model());
    const CliResult r = runCli({"read-journal", "--port", c.port()});
    QVERIFY2(r.exitCode == 0, r.describe());
    QCOMPARE(r.outText(), QStringLiteral("Журнал событий\n"
                                         "14:05 23/11 пропадание сети\n"
                                         "09:30 01/02 код 18\n"
                                         "23:59 31/12 авария: нет запуска ГУ\n"
                                         "--:-- --/-- запуск ГУ\n"
                                         "\n"
                                         "Журнал аварий\n"
                                         "10:00 05/06 авария: нет запуска ГУ\n"
                                         "11:11 11/11 \n"));
    // Each journal ends at its end code: four events, the end, two alarms, the end, and the
    // alarm journal's end asked once more, so a later reply vouches for it.
    QCOMPARE(c.received().size(), 9);

    // The file the journal page saves: every record in its row, the stamp's fields in their columns.
    const CliResult csv = runCli({"read-journal", "--port", c.port(), "--csv"});
    QVERIFY2(csv.exitCode == 0, csv.describe());
    QCOMPARE(csv.outText(), QStringLiteral("Журнал,Номер,День,Месяц,Час,Минута,Код,Событие\r\n"
                                           "Журнал событий,0,23,11,14,5,0,пропадание сети\r\n"
                                           "Журнал событий,1,1,2,9,30,18,код 18\r\n"
                                           "Журнал событий,2,31,12,23,59,13,авария: нет запуска ГУ\r\n"
                                           "Журнал событий,3,,,,,1,запуск ГУ\r\n"
                                           "Журнал аварий,0,5,6,10,0,13,авария: нет запуска ГУ\r\n"
                                           "Журнал аварий,1,11,11,11,11,5,\r\n"));
}

void tst_Cli::readJournal_controllerThatStopsAnswering_exits1KeepingTheLinesRead()
{
    // Status frames keep coming but no request is answered after the tenth.
    Controller c(201);
    QVERIFY(c.started);
    c.model().fillJournals();
    connect(&c.sim, &PtySimulator::frameReceived, this, [&] {
        if (c.received().size() == 10)
            c.model().setStatusInsteadOfReply(true);
    });
    const CliResult r = runCli({"read-journal", "--port", c.port()});
    QVERIFY2(r.exitCode == 1, r.describe());
    QVERIFY2(r.errText().contains(NoAnswer), r.describe());
    // The last entry answered has no later reply to vouch for it, and neither journal reached its end.
    QStringList expected{QStringLiteral("Журнал событий")};
    for (int i = 0; i < 9; ++i)
        expected << JournalLine(EventJournal, JournalRecordFromData(c.model().eventJournal().record(i)));
    expected << QStringLiteral("-- запись 9 не прочитана --")
             << QStringLiteral("Журнал событий может быть неполным") << QString()
             << QStringLiteral("Журнал аварий") << QStringLiteral("Журнал аварий может быть неполным")
             << QString();
    QVERIFY2(r.errText().contains(QStringLiteral("Не прочитано записей: 1")), r.describe());
    QCOMPARE(r.outText().split(QLatin1Char('\n')), expected);
    QCOMPARE(c.received().size(), 13);
}

void tst_Cli::readJournal_entriesNeverAnswered_areNamedInPlaceAndExit1_data()
{
    QTest::addColumn<bool>("json");
    QTest::newRow("text") << false;
    QTest::newRow("json") << true;
}

void tst_Cli::readJournal_entriesNeverAnswered_areNamedInPlaceAndExit1()
{
    QFETCH(bool, json);
    Controller c(201);
    QVERIFY(c.started);
    setJournals(c.model());
    // Events 1 and 3 go unanswered, then 1 again while 3 comes; alarms 0 and 2, then 0 again.
    c.model().setAnswerEveryOther(true);
    QStringList arguments{"read-journal", "--port", c.port()};
    if (json)
        arguments << "--json";
    const CliResult r = runCli(arguments);
    QVERIFY2(r.exitCode == 1, r.describe());
    QVERIFY2(r.errText().contains(QStringLiteral("Не прочитано записей: 2")), r.describe());
    if (json) {
        const QJsonObject journals = QJsonDocument::fromJson(r.out).object();
        QCOMPARE(journals.value("missing").toObject(),
                 (QJsonObject{{"events", QJsonArray{1}}, {"alarms", QJsonArray{0}}}));
        QCOMPARE(journals.value("events").toArray(),
                 (QJsonArray{entry(0, 14, 5, 23, 11, 0, "пропадание сети", "14:05 23/11 пропадание сети"),
                             entry(2, 23, 59, 31, 12, 13, "авария: нет запуска ГУ",
                                   "23:59 31/12 авария: нет запуска ГУ"),
                             impossibleStampEntry()}));
        QCOMPARE(journals.value("alarms").toArray(),
                 (QJsonArray{entry(1, 11, 11, 11, 11, 5, "", "11:11 11/11 ")}));
    } else {
        QCOMPARE(r.outText(), QStringLiteral("Журнал событий\n"
                                             "14:05 23/11 пропадание сети\n"
                                             "-- запись 1 не прочитана --\n"
                                             "23:59 31/12 авария: нет запуска ГУ\n"
                                             "--:-- --/-- запуск ГУ\n"
                                             "\n"
                                             "Журнал аварий\n"
                                             "-- запись 0 не прочитана --\n"
                                             "11:11 11/11 \n"));
    }
}

void tst_Cli::interruptedOperation_exits130AndWritesNothing_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("replyDelayMs");
    QTest::addColumn<int>("stopAtRequest");
    const QStringList readConfig{"read-config", "--port", "{port}", "{file}", "--variant", "diesel"};
    QTest::newRow("read-journal") << QStringList{"read-journal", "--port", "{port}"} << 0 << 2;
    QTest::newRow("read-config") << readConfig << 0 << 2;
    // The stop comes while the controller takes longer than the reply's bound.
    QTest::newRow("read-config, reply awaited") << readConfig << 1500 << 1;
    // The last reply still comes and completes the read: stopped is stopped all the same.
    QTest::newRow("read-config, last reply awaited") << readConfig << 100 << 4;
}

void tst_Cli::interruptedOperation_exits130AndWritesNothing()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, replyDelayMs);
    QFETCH(int, stopAtRequest);
    Controller c(201);
    QVERIFY(c.started);
    c.model().fillJournals();
    c.sim.setPeriodMs(200);
    c.sim.setReplyDelayMs(replyDelayMs);
    const QString file = path("interrupted.txt");
    QProcess process;
    QSignalSpy finished(&process, &QProcess::finished);
    connect(&c.sim, &PtySimulator::frameReceived, this, [&] {
        if (c.received().size() == stopAtRequest)
            ::kill(pid_t(process.processId()), SIGINT);
    });
    process.start(cliPath(), substituted(arguments, c.port(), file));
    QVERIFY(finished.wait(20000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 130);
    QVERIFY(process.readAllStandardOutput().isEmpty());
    QVERIFY(!QFile::exists(file));
    QTest::qWait(400);
    QVERIFY2(c.received().size() <= stopAtRequest + 1,
             "the request on the line when interrupted may finish, no more");
}

void tst_Cli::send_eachCommandReachesTheController_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("frameBytes");
    QTest::newRow("test-sms") << "test-sms" << QByteArray::fromHex("002000000020");
    QTest::newRow("test-gprs") << "test-gprs" << QByteArray::fromHex("002100000021");
    QTest::newRow("restart-modem") << "restart-modem" << QByteArray::fromHex("002200000022");
    QTest::newRow("mode-auto") << "mode-auto" << QByteArray::fromHex("003000000030");
    QTest::newRow("mode-semiauto") << "mode-semiauto" << QByteArray::fromHex("003100000031");
}

void tst_Cli::send_eachCommandReachesTheController()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, frameBytes);
    Controller c;
    QVERIFY(c.started);
    const CliResult r = runCli({"send", "--port", c.port(), name});
    QVERIFY2(r.exitCode == 0, r.describe());
    QTRY_COMPARE_WITH_TIMEOUT(c.received().size(), 1, 5000);
    QCOMPARE(c.received().first().bytes, frameBytes);
    QCOMPARE(c.model().lastServiceCommand(), quint8(frameBytes.at(1)));
}

void tst_Cli::send_syncClock_setsTheControllerClockFromThisComputer()
{
    Controller c;
    QVERIFY(c.started);
    const CliResult r = runCli({"send", "--port", c.port(), "sync-clock"});
    QVERIFY2(r.exitCode == 0, r.describe());
    QTRY_COMPARE_WITH_TIMEOUT(c.model().lastServiceCommand(), quint8(CMD_SET_CLOCK), 5000);
    const QDateTime now = QDateTime::currentDateTime();
    const QDateTime wallClock(now.date(), now.time(), Qt::UTC);
    const qint64 apart = qAbs(c.model().clock().secsTo(wallClock));
    QVERIFY2(apart < 120,
             qPrintable(QStringLiteral("controller clock %1, this computer %2")
                            .arg(c.model().clock().toString(Qt::ISODate), now.toString(Qt::ISODate))));
}

void tst_Cli::startStop_sendTheDurationInSeconds_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("time");
    QTest::addColumn<QByteArray>("frameBytes");
    QTest::newRow("start 1:30 is 5400 s") << "start"
                                          << "1:30" << QByteArray::fromHex("003200000215183D");
    QTest::newRow("stop 0:45 is 2700 s") << "stop"
                                         << "0:45" << QByteArray::fromHex("00330000020A8CB7");
    QTest::newRow("start 18:12, the longest") << "start"
                                              << "18:12" << QByteArray::fromHex("0032000002FFF03F");
}

void tst_Cli::startStop_sendTheDurationInSeconds()
{
    QFETCH(QString, command);
    QFETCH(QString, time);
    QFETCH(QByteArray, frameBytes);
    Controller c;
    QVERIFY(c.started);
    const CliResult r = runCli({command, "--port", c.port(), time});
    QVERIFY2(r.exitCode == 0, r.describe());
    QTRY_COMPARE_WITH_TIMEOUT(c.received().size(), 1, 5000);
    QCOMPARE(c.received().first().bytes, frameBytes);
}

void tst_Cli::setMotorHours_withTheServiceCode_writesTheCounter()
{
    Controller c;
    QVERIFY(c.started);
    c.model().writeMemory(0, QByteArray::fromHex("00012172"));
    const CliResult r = runCli({"set-motor-hours", "--port", c.port(), "1234:56", "--code", ServiceCode});
    QVERIFY2(r.exitCode == 0, r.describe());
    QTRY_COMPARE_WITH_TIMEOUT(c.received().size(), 1, 5000);
    QCOMPARE(c.received().first().bytes, QByteArray::fromHex("00040000040001217050"));
    QCOMPARE(c.model().motoclockMinutes(), 74096u);
    // The value it replaced, from the controller's status frame.
    QCOMPARE(r.outText(), QStringLiteral("Прежнее значение: 1234 ч 58 мин\n"));
}

void tst_Cli::setSerial_withTheServiceCode_writesTheEightCharacters()
{
    Controller c;
    QVERIFY(c.started);
    c.model().writeMemory(184, QByteArray("KUV00042"));
    const CliResult r = runCli({"set-serial", "--port", c.port(), "12345678", "--code", ServiceCode});
    QVERIFY2(r.exitCode == 0, r.describe());
    // The old number is read first, then replaced.
    QTRY_COMPARE_WITH_TIMEOUT(c.received().size(), 2, 5000);
    QCOMPARE(c.received().first().bytes.left(5), QByteArray::fromHex("010500B808"));
    QCOMPARE(c.received().last().bytes, QByteArray::fromHex("000400B8083132333435363738BC"));
    QCOMPARE(c.model().memory().mid(184, 8), QByteArray("12345678"));
    QCOMPARE(r.outText(), QStringLiteral("Прежнее значение: KUV00042\n"));
}

void tst_Cli::controllerText_withControlCodes_isPrintedEscaped()
{
    // A serial number that clears the screen and a login that retitles the terminal.
    Controller c;
    QVERIFY(c.started);
    c.model().writeMemory(184, QByteArray("\x1B[2J\x1B[31"));
    c.model().writeMemory(192, QByteArray("ab\x1B[5m\x07\x9B") + QByteArray(8, char(0xFF)));

    const CliResult saved = runCli({"read-config", "--port", c.port(), path("escaped.txt")});
    QVERIFY2(saved.exitCode == 0, saved.describe());
    const CliResult read = runCli({"show-config", path("escaped.txt")});
    QVERIFY2(read.exitCode == 0, read.describe());
    QVERIFY2(!read.out.contains('\x1B') && !read.out.contains('\x07'), read.out.constData());
    QVERIFY2(read.outText().contains(QStringLiteral("Login: ab\\x1B[5m\\x07")), read.out.constData());

    const CliResult batch =
        runCli({"batch", path("escaped.txt"), "--port", c.port(), "--ledger", path("escaped.csv")});
    QVERIFY2(batch.exitCode == 0, batch.describe());
    QFile ledger(path("escaped.csv"));
    QVERIFY(ledger.open(QIODevice::ReadOnly));
    const QByteArray ledgerText = ledger.readAll();
    QVERIFY2(!batch.out.contains('\x1B') && batch.out.contains("\\x1B[2J\\x1B[31"), batch.out.constData());
    QVERIFY2(!ledgerText.contains('\x1B') && ledgerText.contains("\\x1B[2J\\x1B[31"), ledgerText.constData());

    const CliResult report = runCli({"report", "--port", c.port(), path("escaped.pdf")});
    QVERIFY2(report.exitCode == 0, report.describe());
    QProcess extract;
    extract.start(QStringLiteral("pdftotext"), {path("escaped.pdf"), "-"});
    QVERIFY(extract.waitForFinished(30000) && extract.exitCode() == 0);
    const QByteArray text = extract.readAllStandardOutput();
    QVERIFY2(!text.contains('\x1B') && text.contains("\\x1B[2J\\x1B[31"), text.constData());
}

void tst_Cli::ports_listsThePortsTheSystemEnumerates()
{
    const CliResult r = runCli({"ports"});
    QVERIFY2(r.exitCode == 0, r.describe());
    QStringList listed;
    for (const QString &line : r.outText().split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        listed << line.section(QLatin1Char('\t'), 0, 0);
    QStringList expected;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts())
        expected << info.systemLocation();
    QCOMPARE(listed, expected);
}

void tst_Cli::executable_linksNoWidgets_andReportsWithoutADisplay()
{
    QProcess ldd;
    ldd.start(QStringLiteral("ldd"), {cliPath()});
    if (!ldd.waitForFinished(20000) || ldd.exitCode() != 0)
        QSKIP("ldd is not available");
    const QByteArray libraries = ldd.readAllStandardOutput();
    QVERIFY2(libraries.contains("libQt6Core"), libraries.constData());
    QVERIFY2(!libraries.contains("libQt6Widgets"), libraries.constData());

    // The report lays out text, which needs Qt's GUI library, but never a display.
    Controller c(201);
    QVERIFY(c.started);
    setJournals(c.model());
    const CliResult report =
        runCli({"report", "--port", c.port(), path("visit.pdf"), "--notes", "Заменён аккумулятор"});
    QVERIFY2(report.exitCode == 0, report.describe());
    QProcess extract;
    extract.start(QStringLiteral("pdftotext"), {path("visit.pdf"), "-"});
    QVERIFY2(extract.waitForFinished(30000) && extract.exitCode() == 0,
             "pdftotext: tools/deps.sh installs it");
    const QString text = QString::fromUtf8(extract.readAllStandardOutput()).simplified();
    for (const char *expected :
         {"Отчёт о сервисном визите", "КУВ-дизель v2.0", "21070415", "Заменён аккумулятор", "Фаза А",
          "Нижний порог", "vkmtr", "14:05 23/11 пропадание сети", "11:11 11/11", "Журнал аварий"})
        QVERIFY2(text.contains(QString::fromUtf8(expected)), expected);

    // In English on request, the controller's own texts and all.
    const CliResult english = runCli({"report", "--port", c.port(), path("visit-en.pdf"), "--lang", "en"});
    QVERIFY2(english.exitCode == 0, english.describe());
    extract.start(QStringLiteral("pdftotext"), {path("visit-en.pdf"), "-"});
    QVERIFY(extract.waitForFinished(30000) && extract.exitCode() == 0);
    const QString englishText = QString::fromUtf8(extract.readAllStandardOutput()).simplified();
    for (const char *expected : {"Service visit report", "KUV diesel v2.0", "Phase A", "Event journal"})
        QVERIFY2(englishText.contains(QLatin1String(expected)), qPrintable(englishText.left(400)));
    QVERIFY(!englishText.contains(QStringLiteral("Измерения")));

    // A folder is no report file: refused before the controller is asked.
    const int asked = c.received().size();
    const CliResult folder = runCli({"report", "--port", c.port(), m_dir.path()});
    QVERIFY2(folder.exitCode == 2 && folder.errText().contains(QStringLiteral("папка")), folder.describe());
    QCOMPARE(c.received().size(), asked);
}

namespace {

struct DecodedRecording
{
    QList<qint64> times; // of each status record, ms since the epoch
    QStringList values;  // each record's CSV row without its time
    int badFrames = 0;
    QByteArray describe;
};

// A recording as status --csv --from-recording prints it, and the bad frames a link counts in it.
DecodedRecording decodeRecording(const QString &file)
{
    DecodedRecording decoded;
    const CliResult r = runCli({"status", "--csv", "--from-recording", file});
    decoded.describe = r.describe();
    if (r.exitCode != 0)
        return decoded;
    const QStringList rows = r.outText().split(QLatin1Char('\n'), Qt::SkipEmptyParts).mid(1);
    for (const QString &row : rows) {
        decoded.times << QDateTime::fromString(row.section(QLatin1Char(','), 0, 0), Qt::ISODateWithMs)
                             .toMSecsSinceEpoch();
        decoded.values << row.section(QLatin1Char(','), 1);
    }
    RecordingReader reader;
    DeviceLink link;
    if (!reader.open(file).isEmpty())
        return decoded;
    RecordedChunk chunk;
    while (reader.next(chunk))
        if (chunk.direction == ChunkDirection::Received)
            link.receive(chunk.bytes);
    decoded.badFrames = link.badFrameCount();
    return decoded;
}

} // namespace

void tst_Cli::record_replayedAndRecordedAgain_decodesToTheSameRecordsAtTheSpeedsPace()
{
    Gensim controller({"--variant", "diesel", "--period", "200", "--noise", "0.003", "--seed", "12"});
    QVERIFY(!controller.port.isEmpty());
    const QString original = path("original.rec");
    const CliResult recorded = runCli({"record", "--port", controller.port, original, "--duration", "12"});
    QVERIFY2(recorded.exitCode == 0 && recorded.out.isEmpty(), recorded.describe());

    Gensim replay({"--replay", original, "--speed", "10"});
    QVERIFY(!replay.port.isEmpty());
    const QString again = path("again.rec");
    Following recorder({"record", "--port", replay.port, again});
    // The replay starts when its first client opens the device, and ends after 1.2 s.
    QVERIFY(
        QTest::qWaitFor([&] { return replay.process.readAllStandardError().contains("has ended"); }, 20000));
    QTest::qWait(700);
    // Ctrl+C is the normal end of a recording: status 0, the file whole.
    QVERIFY(recorder.stop(SIGINT));
    QCOMPARE(recorder.process.exitCode(), 0);
    QVERIFY(recorder.out.isEmpty());

    const DecodedRecording first = decodeRecording(original);
    const DecodedRecording second = decodeRecording(again);
    QVERIFY2(first.values.size() >= 40, first.describe);
    QCOMPARE(second.values, first.values);
    // Noise and bad frames are played as they were recorded.
    QVERIFY(first.badFrames > 0);
    QCOMPARE(second.badFrames, first.badFrames);
    for (int i = 1; i < first.times.size(); ++i) {
        const qint64 expected = (first.times.at(i) - first.times.at(0)) / 10;
        const qint64 played = second.times.at(i) - second.times.at(0);
        QVERIFY2(qAbs(played - expected) <= 20,
                 qPrintable(QStringLiteral("record %1: %2 ms after the first, expected %3")
                                .arg(i)
                                .arg(played)
                                .arg(expected)));
    }
}

void tst_Cli::replay_answersARequestWithItsRecordedReply_elseAsTheSimulator()
{
    // A session in which the four blocks of the memory were read, the memory unlike any factory's.
    MemLink mem(1000, 201);
    ConfigImageBytes memory = DefaultConfigImage(DeviceVariant::Diesel);
    put(memory, 36, QByteArray::fromHex("00C8"));
    put(memory, 70, QByteArray::fromHex("12"));
    put(memory, 210, QByteArray::fromHex("55AA"));
    mem.model().writeMemory(0, bytesOf(memory));
    QList<QByteArray> requests;
    QList<QByteArray> replies;
    connect(mem.sim, &SimTransport::frameReceived, this, [&](const FrameLogEntry &e) { requests << e.text; });
    connect(mem.sim, &SimTransport::frameSent, this, [&](const FrameLogEntry &e) {
        if (e.bytes.size() > 1 && IsReplyCommand(quint8(e.bytes.at(1))))
            replies << e.text;
    });
    ConfigReadOperation read(filledImage(0));
    QCOMPARE(runToEnd(mem.link, read), std::optional(OperationStatus::Succeeded));
    QCOMPARE(requests.size(), 4);
    QCOMPARE(replies.size(), 4);

    // The requests and replies first, the last reply left out; status frames from the second second on.
    RecordingHeader header;
    header.programVersion = QStringLiteral(GENCFG_VERSION);
    header.port = QStringLiteral("/dev/ttyUSB0");
    header.start = QDateTime::currentDateTime();
    header.variant = QStringLiteral("diesel");
    QByteArray text = FormatRecordingHeader(header);
    for (int i = 0; i < 4; ++i) {
        text += FormatChunkLine(10 * i, ChunkDirection::Sent, requests.at(i));
        if (i < 3)
            text += FormatChunkLine(10 * i + 5, ChunkDirection::Received, replies.at(i));
    }
    for (int k = 0; k < 100; ++k)
        text += FormatChunkLine(1000 + 100 * k, ChunkDirection::Received,
                                FrameBytesToText(mem.model().statusFrameBytes()));
    const QString recording = path("session.rec");
    QVERIFY(writeAll(recording, text));

    Gensim replay({"--replay", recording, "--seed", "3"});
    QVERIFY(!replay.port.isEmpty());
    const QString out = path("read.txt");
    const CliResult r = runCli({"read-config", "--port", replay.port, "--raw", out});
    QVERIFY2(r.exitCode == 0, r.describe());
    QByteArray readBack;
    for (const quint8 value : ReadParamFile(out).values)
        readBack += char(value);
    const QByteArray factory = ControllerModel(201, 3).memory();
    QCOMPARE(readBack.size(), 256);
    // Blocks answered from the recording hold its memory; the last one, unrecorded, the simulator's.
    const int lastBlock = 192;
    QCOMPARE(readBack.left(lastBlock).toHex(' '), bytesOf(memory).left(lastBlock).toHex(' '));
    QCOMPARE(readBack.mid(lastBlock).toHex(' '), factory.mid(lastBlock).toHex(' '));
    QVERIFY(bytesOf(memory).mid(lastBlock) != factory.mid(lastBlock));
}

void tst_Cli::replay_ofASessionRecordedWhileReading_answersTheSameReadsAsTheController()
{
    // A diesel controller with a memory unlike any factory's and journals of its own.
    Controller c(201);
    QVERIFY(c.started);
    setJournals(c.model());
    ConfigImageBytes memory = DefaultConfigImage(DeviceVariant::Diesel);
    put(memory, 36, QByteArray::fromHex("00C8"));
    put(memory, 210, QByteArray::fromHex("55AA"));
    c.model().writeMemory(0, bytesOf(memory));
    const CliResult liveJournals = runCli({"read-journal", "--port", c.port(), "--json"});
    QVERIFY2(liveJournals.exitCode == 0, liveJournals.describe());

    // Recorded as the window records: status frames, and the reads' requests and replies between them.
    const QString recording = path("reads.rec");
    {
        DeviceLink link;
        QCOMPARE(link.openPort(c.port()), QString());
        SessionRecorder recorder;
        recorder.setLink(&link);
        RecordingHeader header;
        header.programVersion = QStringLiteral(GENCFG_VERSION);
        header.port = c.port();
        header.start = QDateTime::currentDateTime();
        QCOMPARE(recorder.start(recording, header), QString());
        QTest::qWait(200);
        ConfigReadOperation read(filledImage(0));
        QCOMPARE(runToEnd(link, read), std::optional(OperationStatus::Succeeded));
        JournalReadOperation journals;
        QCOMPARE(runToEnd(link, journals), std::optional(OperationStatus::Succeeded));
        QTest::qWait(200);
        recorder.stop();
    }

    Gensim replay({"--replay", recording, "--loop", "--seed", "3"});
    QVERIFY(!replay.port.isEmpty());
    const QString out = path("replayed.txt");
    const CliResult readConfig = runCli({"read-config", "--port", replay.port, "--raw", out});
    QVERIFY2(readConfig.exitCode == 0, readConfig.describe());
    QByteArray readBack;
    for (const quint8 value : ReadParamFile(out).values)
        readBack += char(value);
    QCOMPARE(readBack.toHex(' '), bytesOf(memory).toHex(' '));
    const CliResult readJournals = runCli({"read-journal", "--port", replay.port, "--json"});
    QVERIFY2(readJournals.exitCode == 0, readJournals.describe());
    QCOMPARE(readJournals.outText(), liveJournals.outText());
}

QTEST_MAIN(tst_Cli)
#include "tst_cli.moc"
