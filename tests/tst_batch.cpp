// gencfg-cli batch: a bench of simulated controllers on pseudo-terminals,
// configured at once from a template and a file of per-unit values.

#include "CliSupport.h"
#include "TestSupport.h"
#include "config/ConfigImage.h"
#include "config/MemoryMap.h"
#include "config/ParamFile.h"
#include "config/UnitPlan.h"
#include "config/UnitValues.h"
#include "link/Commands.h"
#include "sim/ControllerModel.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <array>
#include <memory>

#include <sys/resource.h>

using namespace gencfg;
using namespace gencfg::test;

namespace {

const QString MainsLow = QStringLiteral("Параметры сети / Напряжение сети / Нижний порог");
const QString Login = QStringLiteral("Параметры GSM модема / GPRS мониторинг / Login");

QByteArray loginBytes(const QByteArray &login)
{
    return login + QByteArray(MemoryMap::PhoneSize - login.size(), char(0xFF));
}

int writeRequests(const Controller &c)
{
    const QVector<FrameLogEntry> frames = c.received();
    return int(std::count_if(frames.cbegin(), frames.cend(), [](const FrameLogEntry &f) {
        return f.bytes.size() > 1 && quint8(f.bytes.at(1)) == CMD_WRITE_MEMORY;
    }));
}

// The ledger's lines after its header, each without its time, in port order.
QStringList ledgerLines(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromUtf8(file.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    if (lines.isEmpty() ||
        lines.takeFirst() != QLatin1String("time,port,serial,variant,result,changed,failure,note"))
        return {QStringLiteral("no header")};
    static const QRegularExpression time(
        QStringLiteral("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d(Z|[+-]\\d\\d:\\d\\d),"));
    for (QString &line : lines) {
        if (!time.match(line).hasMatch())
            return {QStringLiteral("no ISO 8601 time: ") + line};
        line.remove(time);
    }
    std::sort(lines.begin(), lines.end());
    return lines;
}

// The table's text with runs of blanks as one: port names pad to the longest.
QString spaced(const QByteArray &out)
{
    static const QRegularExpression blanks(QStringLiteral(" +"));
    return QString::fromUtf8(out).replace(blanks, QStringLiteral(" "));
}

// A controller's factory memory with the mains lower threshold at 200 V.
ConfigImageBytes templateOf(const QByteArray &memory)
{
    ConfigImageBytes image{};
    std::copy(memory.cbegin(), memory.cend(), image.begin());
    image[MemoryMap::MainsLow] = 0;
    image[MemoryMap::MainsLow + 1] = 200;
    return image;
}

// Four diesel controllers numbered 21070415 and on: the bench.
struct Bench
{
    Bench()
    {
        for (int unit = 0; unit < 4; ++unit) {
            units[size_t(unit)] = std::make_unique<Controller>(quint8(DeviceVariant::Diesel));
            units[size_t(unit)]->model().writeMemory(MemoryMap::SerialNumber,
                                                     QByteArray::number(21070415 + unit));
        }
    }
    bool started() const
    {
        return std::all_of(units.cbegin(), units.cend(), [](const auto &c) { return c->started; });
    }
    Controller &at(int unit) { return *units[size_t(unit)]; }
    // The factory memory with the mains lower threshold at 200 V.
    ConfigImageBytes templateImage() const { return templateOf(units[0]->model().memory()); }
    QStringList ports(int count = 4) const
    {
        QStringList arguments;
        for (int unit = 0; unit < count; ++unit)
            arguments << QStringLiteral("--port") << units[size_t(unit)]->port();
        return arguments;
    }

    std::array<std::unique_ptr<Controller>, 4> units;
};

} // namespace

class tst_Batch : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QVERIFY(m_dir.isValid()); }
    void unitValues_refusesWhatCannotBeReadNamingLineAndColumn_data();
    void unitValues_refusesWhatCannotBeReadNamingLineAndColumn();
    void unitValues_readsQuotedCellsEitherSeparatorAndABom();
    void unitPlan_reachedChanges_onlyBlocksSentAndReadBackAsWritten_data();
    void unitPlan_reachedChanges_onlyBlocksSentAndReadBackAsWritten();
    void batch_writesOnlyWhatDiffersProvesItAndKeepsTheLedger();
    void batch_badUnitValues_writeToNoUnit_data();
    void batch_badUnitValues_writeToNoUnit();
    void batch_everyPortGiven_isTriedAndTheSummaryPrintedOnce();
    void batch_interrupted_exits130WithTheSummaryAndTheLedgerLine();
    void batch_watch_ledgerFailing_startsNoFurtherUnitAndSaysSo();
    void batch_watch_controllerSwappedWithinAPoll_isConfiguredToo();

private:
    QString path(const QString &name) const { return m_dir.filePath(name); }
    QTemporaryDir m_dir;
};

void tst_Batch::unitValues_refusesWhatCannotBeReadNamingLineAndColumn_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("error");
    QTest::newRow("no key column") << QByteArray("name,A / B\n1,2\n")
                                   << "u.csv:1:1: the first heading must be \"serial\" or \"port\"";
    QTest::newRow("no parameter") << QByteArray("serial\n1\n")
                                  << "u.csv:1:2: no parameter column after the key";
    QTest::newRow("heading twice") << QByteArray("serial,A,B,A\n") << "u.csv:1:4: \"A\" is a column already";
    QTest::newRow("short row") << QByteArray("serial,A,B\n1,2,3\n\n4,5\n")
                               << "u.csv:4:3: 2 cells where the header has 3";
    QTest::newRow("key twice") << QByteArray("port,A\n/dev/x,1\n/dev/x,2\n")
                               << "u.csv:3:1: port /dev/x has a row already, on line 2";
    QTest::newRow("empty key") << QByteArray("serial,A\n,1\n") << "u.csv:2:1: no serial given";
    QTest::newRow("open quote") << QByteArray("serial,A\n1,\"2\n")
                                << "u.csv:2: a quoted cell is not closed where it should be";
    QTest::newRow("UTF-16") << QByteArray("\xFF\xFEs\0e\0", 6)
                            << "u.csv: the file is UTF-16; save it as UTF-8";
    QTest::newRow("not UTF-8") << QByteArray("serial,A\n\xE9t\xE9,1\n")
                               << "u.csv: the file is not UTF-8 text";
    QTest::newRow("control byte") << QByteArray("serial,A\n1,\x1b[2J\n")
                                  << "u.csv:2: a control character in the text";
    QTest::newRow("empty") << QByteArray("\n \n")
                           << "u.csv: the file is empty; its first line must be the header";
}

void tst_Batch::unitValues_refusesWhatCannotBeReadNamingLineAndColumn()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, error);
    const UnitValuesRead read = ParseUnitValues(content, QStringLiteral("u.csv"));
    QVERIFY(!read.values);
    QCOMPARE(read.error, error);
}

void tst_Batch::unitValues_readsQuotedCellsEitherSeparatorAndABom()
{
    const UnitValuesRead comma = ParseUnitValues(
        "\xEF\xBB\xBFSerial, \"A, the first\" ,B\r\n 1 ,\"x \"\"y\"\"\",\r\n\r\n2,\"two\nlines\",z\n",
        QStringLiteral("u.csv"));
    QVERIFY2(comma.values, qPrintable(comma.error));
    QCOMPARE(comma.values->key, UnitValues::Key::Serial);
    QCOMPARE(comma.values->paths, (QStringList{"A, the first", "B"}));
    QCOMPARE(comma.values->rows.size(), 2);
    QCOMPARE(comma.values->find("1")->cells, (QStringList{"x \"y\"", ""}));
    QCOMPARE(comma.values->find("2")->cells, (QStringList{"two\nlines", "z"}));
    QCOMPARE(comma.values->find("2")->line, 4);

    // A spreadsheet of a comma-decimal locale separates with semicolons.
    const UnitValuesRead semicolon =
        ParseUnitValues("port;A / B\n/dev/ttyUSB0;1,5\n", QStringLiteral("u.csv"));
    QVERIFY2(semicolon.values, qPrintable(semicolon.error));
    QCOMPARE(semicolon.values->find("/dev/ttyUSB0")->cells, QStringList{"1,5"});

    // Not a file: refused before anything is read from it.
    QVERIFY(!ReadUnitValues(QStringLiteral("/dev/zero")).values);
    QVERIFY(!ReadUnitValues(m_dir.path()).values);
}

void tst_Batch::batch_writesOnlyWhatDiffersProvesItAndKeepsTheLedger()
{
    Bench bench;
    QVERIFY(bench.started());
    // Unit 2 holds the template and its own login already; unit 3 takes writes and keeps nothing.
    bench.at(2).model().writeMemory(MemoryMap::MainsLow, QByteArray::fromHex("00C8"));
    bench.at(2).model().writeMemory(MemoryMap::Login, loginBytes("site-c"));
    bench.at(3).model().setIgnoreWrites(true);
    QVERIFY(writeAll(path("template.txt"), FormatParamFile(bench.templateImage())));
    QVERIFY(writeAll(path("units.csv"),
                     QStringLiteral("serial,%1\n21070415,site-a\n21070417,site-c\n21070418,site-d\n")
                         .arg(Login)
                         .toUtf8()));
    const QStringList arguments = QStringList{"batch",           path("template.txt"), "--values",
                                              path("units.csv"), "--ledger",           path("ledger.csv")} +
                                  bench.ports();

    const CliResult r = runCli(arguments);
    QVERIFY2(r.exitCode == 4, r.describe());
    QVERIFY2(r.outText().endsWith("записан и проверен: 2, уже настроен: 1, ошибка: 1\n"), r.describe());
    QVERIFY2(spaced(r.out).contains(bench.at(3).port() + " 21070418 готово ошибка: verify:"), r.describe());
    QCOMPARE(writeRequests(bench.at(2)), 0);
    // Only the blocks holding a change: the thresholds' and the login's.
    QCOMPARE(writeRequests(bench.at(0)), 2);
    QCOMPARE(writeRequests(bench.at(1)), 1);
    QCOMPARE(bench.at(0).model().memory().mid(MemoryMap::Login, 16), loginBytes("site-a"));
    QCOMPARE(bench.at(1).model().memoryWord(MemoryMap::MainsLow), quint16(200));

    const QString written = MainsLow + "=200";
    QStringList expected = {
        bench.at(0).port() + ",21070415,diesel,записан и проверен,\"" + written + "; " + Login +
            "=site-a\",,",
        bench.at(1).port() + ",21070416,diesel,записан и проверен," + written + ",,no row in " +
            path("units.csv") + ": the template alone",
        bench.at(2).port() + ",21070417,diesel,уже настроен,,,",
        // Nothing read back as written, so nothing is listed as changed.
        bench.at(3).port() +
            ",21070418,diesel,ошибка,,\"verify: 2 parameters read back otherwise than written: " + MainsLow +
            " (written \"\"200\"\", read back \"\"180\"\"); " + Login +
            " (written \"\"site-d\"\", read back \"\"vkmtr\"\")\",",
    };
    std::sort(expected.begin(), expected.end());
    QCOMPARE(ledgerLines(path("ledger.csv")), expected);

    // Again: nothing left to write but the unit that keeps nothing, and the proven ones are named as such.
    const CliResult again = runCli(arguments);
    QVERIFY2(again.exitCode == 4, again.describe());
    QVERIFY2(again.outText().endsWith("записан и проверен: 0, уже настроен: 3, ошибка: 1\n"),
             again.describe());
    QCOMPARE(writeRequests(bench.at(0)), 2);
    QVERIFY2(spaced(again.out).contains(bench.at(0).port() +
                                        " 21070415 готово уже настроен (в журнале: записан и проверен 20"),
             again.describe());
    QCOMPARE(ledgerLines(path("ledger.csv")).size(), 8);
}

void tst_Batch::batch_badUnitValues_writeToNoUnit_data()
{
    QTest::addColumn<QString>("units");
    QTest::addColumn<QString>("error");
    QTest::addColumn<bool>("twins"); // unit 0 reports unit 1's serial number
    QTest::addColumn<QStringList>("extra");
    QTest::newRow("unknown path")
        << "serial,Параметры сети / Нет такого\n21070415,1\n"
        << "units.csv:1:2: no parameter \"Параметры сети / Нет такого\" in any catalogue" << false
        << QStringList();
    QTest::newRow("out of range") << "serial," + MainsLow + "\n21070416,900\n"
                                  << "units.csv:2:2: " + MainsLow + ": \"900\": Значение вне диапазона"
                                  << false << QStringList();
    QTest::newRow("not an option") << "serial,Параметры GSM модема / Активность GSM модема\n21070416,да\n"
                                   << "units.csv:2:2: Параметры GSM модема / Активность GSM модема: \"да\": "
                                      "Значение должно быть одним из: «выкл.», «вкл.»"
                                   << false << QStringList();
    QTest::newRow("a unit not there")
        << "serial," + Login + "\n21070415,a\n21070499,b\n"
        << "units.csv:3:1: no controller on the bench has serial number 21070499" << false << QStringList();
    QTest::newRow("a port not given")
        << "port," + Login + "\n/dev/gencfg-no-such-port,b\n"
        << "units.csv:2:1: no --port /dev/gencfg-no-such-port on the command line" << false << QStringList();
    QTest::newRow("read-only")
        << "serial,Серийный номер устройства\n21070415,1\n"
        << "units.csv:1:2: \"Серийный номер устройства\" is not a parameter a write sets" << false
        << QStringList();
    QTest::newRow("one serial number on two units")
        << "serial," + Login + "\n21070416,a\n"
        << "units.csv:2:1: serial number 21070416 is reported by 2 controllers on the bench" << true
        << QStringList();
    QTest::newRow("a port not given, watching")
        << "port," + Login + "\n/dev/gencfg-no-such-port,b\n"
        << "units.csv:2:1: no --port /dev/gencfg-no-such-port on the command line" << false
        << QStringList{"--watch"};
    QTest::newRow("a cell of 100000 characters")
        << "serial," + MainsLow + "\n21070416," + QString(100000, QLatin1Char('x')) + "\n"
        << "units.csv:2:2: " + MainsLow + ": \"" + QString(80, QLatin1Char('x')) +
               "… (100000 characters)\": Значение должно быть числом"
        << false << QStringList();
}

void tst_Batch::batch_badUnitValues_writeToNoUnit()
{
    QFETCH(QString, units);
    QFETCH(QString, error);
    QFETCH(bool, twins);
    QFETCH(QStringList, extra);
    Bench bench;
    QVERIFY(bench.started());
    if (twins)
        bench.at(0).model().writeMemory(MemoryMap::SerialNumber, "21070416");
    QVERIFY(writeAll(path("template.txt"), FormatParamFile(bench.templateImage())));
    QVERIFY(writeAll(path("units.csv"), units.toUtf8()));
    QFile::remove(path("bad-ledger.csv"));
    const CliResult r = runCli(QStringList{"batch", path("template.txt"), "--values", path("units.csv"),
                                           "--ledger", path("bad-ledger.csv")} +
                                   bench.ports(2) + extra,
                               30000);
    QVERIFY2(r.exitCode == 2, r.describe());
    QVERIFY2(r.err.size() < 1000, r.describe().left(1200));
    QVERIFY2(r.errText().contains(path(error)), r.describe());
    QVERIFY2(r.errText().endsWith("nothing written to any controller\n"), r.describe());
    for (int unit = 0; unit < 4; ++unit)
        QCOMPARE(writeRequests(bench.at(unit)), 0);
    QCOMPARE(ledgerLines(path("bad-ledger.csv")), QStringList());
}

void tst_Batch::batch_interrupted_exits130WithTheSummaryAndTheLedgerLine()
{
    Bench bench;
    QVERIFY(bench.started());
    // A controller that says nothing keeps the bench waiting for its first status frame.
    bench.at(1).sim.setPeriodMs(0);
    QVERIFY(writeAll(path("template.txt"), FormatParamFile(bench.templateImage())));
    QFile::remove(path("stopped.csv"));
    Following batch(QStringList{"batch", path("template.txt"), "--ledger", path("stopped.csv")} +
                    bench.ports(2));
    QVERIFY(QTest::qWaitFor([&] { return batch.out.contains("21070415 прочитан"); }, 20000));
    QVERIFY(batch.process.state() == QProcess::Running);
    QVERIFY(batch.stop(SIGINT));
    QCOMPARE(batch.process.exitCode(), 130);
    QVERIFY2(batch.out.endsWith("записан и проверен: 0, уже настроен: 0, ошибка: 2\n"),
             batch.out.constData());
    QCOMPARE(batch.out.count("уже настроен: "), 1);
    QCOMPARE(writeRequests(bench.at(0)), 0);
    QStringList expected = {bench.at(0).port() + ",21070415,diesel,ошибка,,interrupted,",
                            bench.at(1).port() + ",,,ошибка,,interrupted,"};
    std::sort(expected.begin(), expected.end());
    QCOMPARE(ledgerLines(path("stopped.csv")), expected);
}

void tst_Batch::unitPlan_reachedChanges_onlyBlocksSentAndReadBackAsWritten_data()
{
    QTest::addColumn<int>("blocksWritten");
    QTest::addColumn<QString>("readBack"); // none, the plan's image, or the unit's as it was
    QTest::addColumn<QStringList>("changed");
    QTest::addColumn<QStringList>("uncertain");
    // The thresholds lie in the first block written, the login in the last.
    QTest::newRow("no block sent") << 0 << "none" << QStringList() << QStringList();
    QTest::newRow("cut after the first block")
        << 1 << "none" << QStringList{MainsLow} << QStringList{MainsLow};
    QTest::newRow("all sent, not read back")
        << 2 << "none" << QStringList{MainsLow, Login} << QStringList{MainsLow, Login};
    QTest::newRow("read back as written") << 2 << "wanted" << QStringList{MainsLow, Login} << QStringList();
    QTest::newRow("read back unchanged") << 2 << "unit" << QStringList() << QStringList();
}

void tst_Batch::unitPlan_reachedChanges_onlyBlocksSentAndReadBackAsWritten()
{
    QFETCH(int, blocksWritten);
    QFETCH(QString, readBack);
    QFETCH(QStringList, changed);
    QFETCH(QStringList, uncertain);
    const ControllerModel model(quint8(DeviceVariant::Diesel));
    const ConfigImageBytes templateImage = templateOf(model.memory());
    ConfigImageBytes unitImage = templateImage;
    unitImage[MemoryMap::MainsLow + 1] = 180;
    const UnitValuesRead values = ParseUnitValues(("serial," + Login + "\n1,site-a\n").toUtf8(), "u.csv");
    QVERIFY2(values.values, qPrintable(values.error));
    const UnitPlan plan =
        PlanUnit(templateImage, DeviceVariant::Diesel, &*values.values, values.values->find("1"), unitImage);
    QVERIFY2(plan.error.isEmpty(), qPrintable(plan.error));
    QCOMPARE(plan.changes.size(), 2);

    std::optional<ConfigImageBytes> back;
    if (readBack != QLatin1String("none"))
        back = readBack == QLatin1String("wanted") ? plan.wanted : unitImage;
    const PlanReached reached = ReachedChanges(plan, DeviceVariant::Diesel, blocksWritten, back);
    QStringList paths;
    for (const ParamDifference &change : reached.changes)
        paths.append(change.path);
    QCOMPARE(paths, changed);
    QCOMPARE(reached.uncertain, uncertain);
}

void tst_Batch::batch_everyPortGiven_isTriedAndTheSummaryPrintedOnce()
{
    Bench bench;
    QVERIFY(bench.started());
    // Unit 2 reports unit 1's serial number; the ledger has a line cut short before the proven ones.
    bench.at(2).model().writeMemory(MemoryMap::SerialNumber, "21070416");
    QVERIFY(writeAll(path("template.txt"), FormatParamFile(bench.templateImage())));
    QVERIFY(writeAll(path("port-units.csv"),
                     ("port," + Login + "\n" + bench.at(0).port() + ",site-a\n").toUtf8()));
    QVERIFY(writeAll(path("kept.csv"),
                     "time,port,serial,variant,result,changed,failure,note\r\n"
                     "2020-01-01T00:00:00Z,/dev/x,1,diesel,\"cut\r\n"
                     "2020-01-02T00:00:00Z,/dev/x,21070415,diesel,записан и проверен,,,\r\n"
                     "2020-01-03T00:00:00Z,/dev/x,21070416,diesel,записан и проверен,,,\r\n"
                     "2020-01-04T00:00:00Z,/dev/x,21070416,diesel,ошибка,,interrupted,\r\n"));
    const QString missing = path("no-such-port");
    const CliResult r = runCli(QStringList{"batch", path("template.txt"), "--values", path("port-units.csv"),
                                           "--ledger", path("kept.csv"), "--port", missing} +
                                   bench.ports(3),
                               30000);
    QVERIFY2(r.exitCode == 3, r.describe());
    QVERIFY2(r.outText().endsWith("записан и проверен: 3, уже настроен: 0, ошибка: 1\n"), r.describe());
    QCOMPARE(r.out.count("уже настроен: "), 1);
    for (int unit = 0; unit < 3; ++unit)
        QCOMPARE(bench.at(unit).model().memoryWord(MemoryMap::MainsLow), quint16(200));
    QCOMPARE(bench.at(0).model().memory().mid(MemoryMap::Login, 16), loginBytes("site-a"));
    const QString table = spaced(r.out);
    QVERIFY2(table.contains(bench.at(0).port() + " 21070415 готово записан и проверен (в журнале: записан и "
                                                 "проверен 2020-01-02T00:00:00Z"),
             r.describe());
    QVERIFY2(table.contains(bench.at(1).port() +
                            " 21070416 готово записан и проверен (serial number 21070416 "
                            "also on " +
                            bench.at(2).port() + ")\n"),
             r.describe());
    const QStringList lines = ledgerLines(path("kept.csv"));
    QCOMPARE(lines.size(), 8);
    QVERIFY2(lines.filter(missing + ",,,ошибка,").size() == 1, qPrintable(lines.join('\n')));
    QVERIFY2(lines.filter("serial number 21070416 also on ").size() == 2, qPrintable(lines.join('\n')));

    const CliResult none =
        runCli({"batch", path("template.txt"), "--port", missing, "--port", missing + "2"});
    QVERIFY2(none.exitCode == 3, none.describe());
    QVERIFY2(none.out.count("уже настроен: ") == 1, none.describe());

    // The same controller under a link and its own name.
    QVERIFY(QFile::link(bench.at(0).port(), path("alias")));
    const CliResult twice =
        runCli({"batch", path("template.txt"), "--port", path("alias"), "--port", bench.at(0).port()});
    QVERIFY2(twice.exitCode == 2, twice.describe());
    QVERIFY2(twice.errText().contains("the same port"), twice.describe());
    QCOMPARE(writeRequests(bench.at(0)), 2);
}

void tst_Batch::batch_watch_ledgerFailing_startsNoFurtherUnitAndSaysSo()
{
    const QString first = path("watched-a");
    const QString second = path("watched-b");
    QFile::remove(first);
    QFile::remove(second);
    Controller a(quint8(DeviceVariant::Diesel), first);
    QVERIFY(a.started);
    QVERIFY(writeAll(path("template.txt"), FormatParamFile(templateOf(a.model().memory()))));
    // The ledger takes its header and not a line more: a file-size limit, as on a nearly full disk.
    const QByteArray kept =
        "time,port,serial,variant,result,changed,failure,note\r\n2020-01-01T00:00:00Z,/dev/x,1,"
        "diesel,уже настроен,,," +
        QByteArray(4000, 'n') + "\r\n";
    QVERIFY(writeAll(path("limited.csv"), kept));
    const rlim_t limit = rlim_t(kept.size() + 20);
    Following batch({"batch", path("template.txt"), "--watch", "--port", first, "--port", second, "--ledger",
                     path("limited.csv")},
                    [limit] {
                        const rlimit size{limit, limit};
                        ::setrlimit(RLIMIT_FSIZE, &size);
                        ::signal(SIGXFSZ, SIG_IGN);
                    });
    QSignalSpy finished(&batch.process, &QProcess::finished);
    QVERIFY(QTest::qWaitFor([&] { return batch.out.contains("готово"); }, 20000));
    Controller b(quint8(DeviceVariant::Diesel), second);
    QVERIFY(b.started);
    QVERIFY2(!finished.isEmpty() || finished.wait(20000), batch.out.constData());
    batch.out += batch.process.readAllStandardOutput();
    const QByteArray err = batch.process.readAllStandardError();
    QCOMPARE(batch.process.exitCode(), 5);
    QVERIFY2(err.contains("the ledger cannot be written"), err.constData());
    QVERIFY2(batch.out.contains("not in the ledger"), batch.out.constData());
    QVERIFY(b.received().isEmpty());
    QCOMPARE(QFileInfo(path("limited.csv")).size(), qint64(kept.size()));
}

void tst_Batch::batch_watch_controllerSwappedWithinAPoll_isConfiguredToo()
{
    const QString link = path("swapped");
    QFile::remove(link);
    auto first = std::make_unique<Controller>(quint8(DeviceVariant::Diesel), link);
    QVERIFY(first->started);
    first->model().writeMemory(MemoryMap::SerialNumber, "21070415");
    QVERIFY(writeAll(path("template.txt"), FormatParamFile(templateOf(first->model().memory()))));
    Following batch({"batch", path("template.txt"), "--watch", "--port", link});
    QVERIFY2(QTest::qWaitFor([&] { return spaced(batch.out).contains("21070415 готово записан и проверен"); },
                             20000),
             batch.out.constData());
    // Another controller on the same link well within one poll of the port.
    first.reset();
    Controller second(quint8(DeviceVariant::Diesel), link);
    QVERIFY(second.started);
    second.model().writeMemory(MemoryMap::SerialNumber, "21070416");
    QVERIFY2(QTest::qWaitFor([&] { return spaced(batch.out).contains("21070416 готово записан и проверен"); },
                             20000),
             batch.out.constData());
    QCOMPARE(second.model().memoryWord(MemoryMap::MainsLow), quint16(200));
    QVERIFY(batch.stop(SIGINT));
}

QTEST_GUILESS_MAIN(tst_Batch)
#include "tst_batch.moc"
