#include "CliSupport.h"
#include "FleetGenerator.h"
#include "TestSupport.h"
#include "visit/FleetTable.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

using namespace gencfg;
using namespace gencfg::test;

namespace {

constexpr int Controllers = 1000;
constexpr int VisitsEach = 10;

// One printed fleet as (serial, due_in_days, due_by) rows, whatever the format.
struct Printed
{
    QStringList serials;
    QVector<qint64> dueInDays;
    QStringList dueBy;
    QStringList alarms;
};

Printed parse(const QString &format, const QByteArray &out)
{
    Printed printed;
    if (format == QLatin1String("--json")) {
        for (const QJsonValue &row : QJsonDocument::fromJson(out).array()) {
            printed.serials.append(row[QLatin1String("serial")].toString());
            printed.dueInDays.append(row[QLatin1String("due_in_days")].toInteger());
            printed.dueBy.append(row[QLatin1String("due_by")].toString());
            printed.alarms.append(row[QLatin1String("alarms")].toArray().first().toString());
        }
        return printed;
    }
    const QChar separator = format == QLatin1String("--csv") ? QLatin1Char(',') : QLatin1Char('\t');
    QStringList lines =
        QString::fromUtf8(out).split(QRegularExpression(QStringLiteral("\r?\n")), Qt::SkipEmptyParts);
    const QStringList heading = lines.takeFirst().split(separator);
    for (const QString &line : lines) {
        const QStringList fields = line.split(separator);
        printed.serials.append(fields.value(heading.indexOf(QLatin1String("serial"))));
        printed.dueInDays.append(fields.value(heading.indexOf(QLatin1String("due_in_days"))).toLongLong());
        printed.dueBy.append(fields.value(heading.indexOf(QLatin1String("due_by"))));
        printed.alarms.append(fields.value(heading.indexOf(QLatin1String("alarms"))));
    }
    return printed;
}

} // namespace

class TestFleet : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cli_keepsDueControllersSoonestFirst_data();
    void cli_keepsDueControllersSoonestFirst();
    void row_takesLastVisitAlarmsSinceAndChanges();
    void index_givesTheSameTableAndGoesStaleWithTheFolder();

private:
    QTemporaryDir m_home;
    QDateTime m_now = QDateTime::currentDateTime();
    QVector<GeneratedController> m_fleet;
};

void TestFleet::initTestCase()
{
    QVERIFY(m_home.isValid());
    qputenv("XDG_DATA_HOME", m_home.filePath(QStringLiteral("data")).toUtf8());
    qputenv("XDG_CONFIG_HOME", m_home.filePath(QStringLiteral("config")).toUtf8());
    m_fleet = GenerateFleet(VisitArchive(m_home.filePath(QStringLiteral("data/gencfg/visits"))), Controllers,
                            VisitsEach, m_now);
    QCOMPARE(m_fleet.size(), Controllers);
}

void TestFleet::cli_keepsDueControllersSoonestFirst_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<int>("dueDays"); // -1: no --due
    QTest::newRow("text, every controller") << QString() << -1;
    QTest::newRow("csv, every controller") << QStringLiteral("--csv") << -1;
    QTest::newRow("json, every controller") << QStringLiteral("--json") << -1;
    QTest::newRow("text, overdue only") << QString() << 0;
    QTest::newRow("csv, due within a week") << QStringLiteral("--csv") << 7;
    QTest::newRow("json, due within 30 days") << QStringLiteral("--json") << 30;
}

void TestFleet::cli_keepsDueControllersSoonestFirst()
{
    QFETCH(QString, format);
    QFETCH(int, dueDays);
    QStringList arguments{QStringLiteral("fleet")};
    if (!format.isEmpty())
        arguments.append(format);
    if (dueDays >= 0)
        arguments << QStringLiteral("--due") << QString::number(dueDays);
    const CliResult result = runCli(arguments);
    QVERIFY2(result.exitCode == 0, result.describe());
    const Printed printed = parse(format, result.out);

    // Expected from how the fleet was made: due at the last visit plus the minutes left, engine running on.
    QStringList expected;
    for (const GeneratedController &c : m_fleet) {
        const qint64 secs = m_now.secsTo(c.lastVisit.addSecs(c.maintenanceMinutes * 60));
        if (dueDays < 0 || secs < qint64(dueDays + 1) * 86400)
            expected.append(c.serial);
    }
    QStringList got = printed.serials;
    got.sort();
    expected.sort();
    QCOMPARE(got, expected);
    for (int row = 1; row < printed.dueBy.size(); ++row)
        QVERIFY2(printed.dueBy.at(row - 1) <= printed.dueBy.at(row), qPrintable(printed.serials.at(row)));
    for (int row = 0; row < printed.serials.size(); ++row) {
        QVERIFY(dueDays < 0 || printed.dueInDays.at(row) <= dueDays);
        QVERIFY2(printed.alarms.at(row).endsWith(QStringLiteral(" Нет топлива")),
                 qPrintable(printed.alarms.at(row)));
    }
}

void TestFleet::row_takesLastVisitAlarmsSinceAndChanges()
{
    QTemporaryDir dir;
    const VisitArchive archive(dir.path());
    QVERIFY(GenerateFleet(archive, 2, 3, m_now).size() == 2);
    // A visit dated far ahead of the clock is never the last one.
    Visit future;
    future.time = m_now.addDays(30);
    future.serial = FleetSerial(1);
    future.variantCode = 201;
    QVERIFY(archive.store(future).isEmpty());

    const QVector<FleetRow> rows = FleetRows(archive, m_now);
    QCOMPARE(rows.size(), 2);
    const FleetRow &written = rows.at(rows.at(0).serial == FleetSerial(1) ? 0 : 1);
    QCOMPARE(written.serial, FleetSerial(1));
    QCOMPARE(written.kind, VisitKind::Write);
    QCOMPARE(written.technician, QStringLiteral("Иванов"));
    QCOMPARE(written.engineMinutes, qint64(600 * 2 + 1));
    QCOMPARE(written.alarms.size(), 1);
    // The one byte each visit changes belongs to a parameter: the last visit changed that one alone.
    QCOMPARE(written.changed.size(), 1);
}

void TestFleet::index_givesTheSameTableAndGoesStaleWithTheFolder()
{
    QTemporaryDir dir;
    const VisitArchive archive(dir.path());
    QVERIFY(GenerateFleet(archive, 3, 4, m_now).size() == 3);
    const auto index = [&](int k) {
        return dir.filePath(SerialFolderName(FleetSerial(k)) + QStringLiteral("/fleet-index.json"));
    };
    // Each controller's index is kept as a sync leaves it: the fleet's first run reads no visit.
    for (int k = 0; k < 3; ++k)
        QVERIFY2(QFileInfo(index(k)).isFile(), qPrintable(index(k)));
    const QByteArray indexed = FleetJson(FleetRows(archive, m_now), m_now);
    for (int k = 0; k < 3; ++k)
        QVERIFY(QFile::remove(index(k)));
    const QByteArray gathered = FleetJson(FleetRows(archive, m_now), m_now);
    QCOMPARE(indexed, gathered);
    QVERIFY(QFileInfo(index(1)).isFile());
    QCOMPARE(FleetJson(FleetRows(archive, m_now), m_now), gathered);

    // A visit stored since, or an index that is no index, is gathered again.
    Visit visit;
    visit.time = m_now.addSecs(-60);
    visit.serial = FleetSerial(1);
    visit.variantCode = 201;
    visit.technician = QStringLiteral("Сидоров");
    QVERIFY(archive.store(visit).isEmpty());
    QVERIFY(writeAll(dir.filePath(SerialFolderName(FleetSerial(2)) + QStringLiteral("/fleet-index.json")),
                     QByteArray("{\"version\": 1, \"folders\": 7}")));
    const QVector<FleetRow> rows = FleetRows(archive, m_now);
    QCOMPARE(rows.size(), 3);
    QCOMPARE(std::count_if(rows.begin(), rows.end(),
                           [](const FleetRow &row) { return row.technician == "Сидоров"; }),
             1);
    QCOMPARE(FleetJson(FleetRows(archive, m_now), m_now), FleetJson(rows, m_now));
}

QTEST_GUILESS_MAIN(TestFleet)
#include "tst_fleet.moc"
