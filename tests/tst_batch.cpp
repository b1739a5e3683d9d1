// gencfg-cli batch: a bench of simulated controllers on pseudo-terminals,
// configured at once from a template and a file of per-unit values.

#include "CliSupport.h"
#include "TestSupport.h"
#include "config/ConfigImage.h"
#include "config/MemoryMap.h"
#include "config/ParamFile.h"
#include "config/UnitValues.h"
#include "link/Commands.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <array>
#include <memory>

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
    ConfigImageBytes templateImage() const
    {
        ConfigImageBytes image{};
        const QByteArray memory = units[0]->model().memory();
        std::copy(memory.cbegin(), memory.cend(), image.begin());
        image[MemoryMap::MainsLow] = 0;
        image[MemoryMap::MainsLow + 1] = 200;
        return image;
    }
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
    void batch_writesOnlyWhatDiffersProvesItAndKeepsTheLedger();
    void batch_badUnitValues_writeToNoUnit_data();
    void batch_badUnitValues_writeToNoUnit();
    void batch_interrupted_exits130WithTheSummaryAndTheLedgerLine();

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
    QVERIFY2(r.outText().contains(bench.at(3).port() + " 21070418 готово    ошибка: verify:"), r.describe());
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
        bench.at(3).port() + ",21070418,diesel,ошибка,\"" + written + "; " + Login +
            "=site-d\",\"verify: 2 parameters read back otherwise than written: " + MainsLow +
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
    QVERIFY2(again.outText().contains(bench.at(0).port() +
                                      " 21070415 готово    уже настроен (в журнале: записан и проверен 20"),
             again.describe());
    QCOMPARE(ledgerLines(path("ledger.csv")).size(), 8);
}

void tst_Batch::batch_badUnitValues_writeToNoUnit_data()
{
    QTest::addColumn<QString>("units");
    QTest::addColumn<QString>("error");
    QTest::newRow("unknown path")
        << "serial,Параметры сети / Нет такого\n21070415,1\n"
        << "units.csv:1:2: no parameter \"Параметры сети / Нет такого\" in any catalogue";
    QTest::newRow("out of range") << "serial," + MainsLow + "\n21070416,900\n"
                                  << "units.csv:2:2: " + MainsLow + ": \"900\": Значение вне диапазона";
    QTest::newRow("not an option") << "serial,Параметры GSM модема / Активность GSM модема\n21070416,да\n"
                                   << "units.csv:2:2: Параметры GSM модема / Активность GSM модема: \"да\": "
                                      "Значение должно быть одним из: «выкл.», «вкл.»";
    QTest::newRow("a unit not there")
        << "serial," + Login + "\n21070415,a\n21070499,b\n"
        << "units.csv:3:1: no controller on the bench has serial number 21070499";
    QTest::newRow("a port not given")
        << "port," + Login + "\n/dev/gencfg-no-such-port,b\n"
        << "units.csv:2:1: no --port /dev/gencfg-no-such-port on the command line";
    QTest::newRow("read-only")
        << "serial,Серийный номер устройства\n21070415,1\n"
        << "units.csv:1:2: \"Серийный номер устройства\" is not a parameter a write sets";
}

void tst_Batch::batch_badUnitValues_writeToNoUnit()
{
    QFETCH(QString, units);
    QFETCH(QString, error);
    Bench bench;
    QVERIFY(bench.started());
    QVERIFY(writeAll(path("template.txt"), FormatParamFile(bench.templateImage())));
    QVERIFY(writeAll(path("units.csv"), units.toUtf8()));
    QFile::remove(path("bad-ledger.csv"));
    const CliResult r = runCli(QStringList{"batch", path("template.txt"), "--values", path("units.csv"),
                                           "--ledger", path("bad-ledger.csv")} +
                               bench.ports(2));
    QVERIFY2(r.exitCode == 2, r.describe());
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
    QCOMPARE(writeRequests(bench.at(0)), 0);
    QCOMPARE(ledgerLines(path("stopped.csv")),
             QStringList({bench.at(0).port() + ",21070415,diesel,ошибка,,interrupted,",
                          bench.at(1).port() + ",,,ошибка,,interrupted,"}));
}

QTEST_GUILESS_MAIN(tst_Batch)
#include "tst_batch.moc"
