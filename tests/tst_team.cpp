#include "CliSupport.h"
#include "PgCluster.h"
#include "config/ConfigTransfer.h"
#include "config/MemoryMap.h"
#include "visit/FleetTable.h"
#include "visit/TeamArchive.h"

#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <csignal>
#include <future>

using namespace gencfg;
using namespace gencfg::test;

namespace {

ConfigImageBytes imageWithSerial(const QString &serial, quint8 fill)
{
    ConfigImageBytes image = BlankImage();
    image[100] = fill;
    const QByteArray bytes = serial.toLatin1();
    for (int i = 0; i < MemoryMap::SerialNumberSize; ++i)
        image[size_t(MemoryMap::SerialNumber + i)] = i < bytes.size() ? quint8(bytes.at(i)) : quint8(' ');
    return image;
}

// One technician's laptop: its own folder archive, its own memory of what the server holds.
struct Laptop
{
    explicit Laptop(const QString &pcName) : pc(pcName) {}
    QTemporaryDir dir;
    QString pc;
    VisitArchive archive{dir.filePath(QStringLiteral("data/gencfg/visits"))};

    TeamArchive team(const QString &url, bool pullAll = false) const
    {
        QString error;
        return TeamArchive(archive, *TeamServer::Parse(url, error), pc, pullAll,
                           dir.filePath(QStringLiteral("data/gencfg/team-archive-sent.txt")));
    }
    void visit(const QString &serial, int second, quint8 fill = 7)
    {
        Visit visit;
        visit.time =
            QDateTime(QDate(2026, 11, 12), QTime(10, 0).addSecs(second), Qt::OffsetFromUTC, 3 * 3600);
        visit.kind = VisitKind::Read;
        visit.variantCode = 1;
        visit.serial = serial;
        visit.programVersion = QStringLiteral("2.0.0");
        visit.image = imageWithSerial(serial, fill);
        visit.technician = pc + QStringLiteral(" technician");
        visit.pc = pc;
        QVERIFY(archive.store(visit).isEmpty());
    }
    // Each identity with how many times the folder archive holds it.
    QMap<QString, int> held() const
    {
        QMap<QString, int> count;
        for (const QString &serial : archive.serials()) {
            for (const Visit &visit : archive.visits(serial))
                ++count[VisitIdentity(visit)];
        }
        return count;
    }
    // The environment gencfg-cli runs with as this laptop.
    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_DATA_HOME"), dir.filePath(QStringLiteral("data")));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
        QDir().mkpath(dir.filePath(QStringLiteral("config/gencfg")));
        QFile ini(dir.filePath(QStringLiteral("config/gencfg/gencfg.ini")));
        if (ini.open(QIODevice::WriteOnly))
            ini.write("[archive]\npc=" + pc.toUtf8() + "\ntechnician=" + pc.toUtf8() + " technician\n");
        return env;
    }
};

} // namespace

class TestTeam : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void twoLaptops_syncInEitherOrder_eachHoldsEveryVisitOnce_data();
    void twoLaptops_syncInEitherOrder_eachHoldsEveryVisitOnce();
    void technicianRole_cannotChangeOrRemoveVisits_data();
    void technicianRole_cannotChangeOrRemoveVisits();
    void newerSchema_isRefusedByName();
    void untrustedServerVisits_areSkippedAndNamed();
    void syncCutMidBatch_serverHoldsWhatTheSyncCounted();
    void syncKilledOrServerStopped_losesNothingDoublesNothing();

private:
    int serverCount(const QString &where = QStringLiteral("true"));
    PgCluster m_cluster;
};

void TestTeam::initTestCase()
{
    // Only a machine that cannot run the server at all skips; one that can but fails, fails.
    if (const QString missing = m_cluster.unavailable(); !missing.isEmpty())
        QSKIP(qPrintable(missing));
    const QString error = m_cluster.start();
    QVERIFY2(error.isEmpty(), qPrintable(error));
}

void TestTeam::init()
{
    QVERIFY2(m_cluster.sql(QStringLiteral("TRUNCATE gencfg.visit")), qPrintable(m_cluster.lastOutput()));
}

int TestTeam::serverCount(const QString &where)
{
    if (!m_cluster.sql(QStringLiteral("SELECT count(*) FROM gencfg.visit WHERE ") + where))
        return -1;
    return m_cluster.lastOutput().toInt();
}

void TestTeam::twoLaptops_syncInEitherOrder_eachHoldsEveryVisitOnce_data()
{
    QTest::addColumn<bool>("firstSyncsFirst");
    QTest::newRow("first laptop syncs first") << true;
    QTest::newRow("second laptop syncs first") << false;
}

void TestTeam::twoLaptops_syncInEitherOrder_eachHoldsEveryVisitOnce()
{
    QFETCH(bool, firstSyncsFirst);
    Laptop a(QStringLiteral("pc-a")), b(QStringLiteral("pc-b"));
    // Offline, both at the same controller; b has also met one a never has.
    a.visit(QStringLiteral("21070415"), 0);
    b.visit(QStringLiteral("21070415"), 300, 9);
    b.visit(QStringLiteral("99000001"), 360);
    QCOMPARE(a.team(m_cluster.url()).pendingCount(), 1);
    Laptop *order[] = {firstSyncsFirst ? &a : &b, firstSyncsFirst ? &b : &a};
    for (int round = 0; round < 2; ++round) {
        for (Laptop *laptop : order) {
            const TeamSyncResult result = laptop->team(m_cluster.url()).sync();
            QVERIFY2(result.error.isEmpty(), qPrintable(result.error));
            QCOMPARE(result.pending, 0);
        }
    }
    QCOMPARE(serverCount(), 3);
    QMap<QString, int> bHeld = b.held();
    QCOMPARE(bHeld.size(), 3);
    QCOMPARE(bHeld.values(), QList<int>(3, 1));
    // a fetches only the controller it has met, with the colleague's name on the visit.
    QCOMPARE(a.held().values(), QList<int>(2, 1));
    const QVector<Visit> atA = a.archive.visits(QStringLiteral("21070415"));
    QCOMPARE(atA.constLast().technician, QStringLiteral("pc-b technician"));
    QCOMPARE(atA.constLast().pc, QStringLiteral("pc-b"));
    QCOMPARE(atA.constLast().time, QDateTime(QDate(2026, 11, 12), QTime(10, 5), Qt::OffsetFromUTC, 3 * 3600));
    QCOMPARE(atA.constLast().image, std::optional(imageWithSerial(QStringLiteral("21070415"), 9)));
    // The pull leaves the fleet's row beside the visits, naming the colleague's.
    QVERIFY(QFileInfo::exists(a.archive.root() + QStringLiteral("/21070415/fleet-index.json")));
    QCOMPARE(FleetRows(a.archive).constFirst().technician, QStringLiteral("pc-b technician"));
}

void TestTeam::technicianRole_cannotChangeOrRemoveVisits_data()
{
    QTest::addColumn<QString>("statement");
    // Rights given too widely by hand before the script runs again: the script takes them back.
    QTest::addColumn<QString>("grantedBefore");
    const QString toTechnicians =
        QStringLiteral("GRANT ALL ON gencfg.visit, gencfg.schema_version TO gencfg_technician");
    const QString toEveryone = QStringLiteral("GRANT ALL ON ALL TABLES IN SCHEMA gencfg TO PUBLIC");
    QTest::newRow("update") << "UPDATE gencfg.visit SET technician = 'x'" << QString();
    QTest::newRow("delete") << "DELETE FROM gencfg.visit" << QString();
    QTest::newRow("truncate") << "TRUNCATE gencfg.visit" << QString();
    QTest::newRow("schema version") << "UPDATE gencfg.schema_version SET version = 0" << QString();
    QTest::newRow("update, all granted to technicians, script again")
        << "UPDATE gencfg.visit SET technician = 'x'" << toTechnicians;
    QTest::newRow("delete, all granted to everyone, script again")
        << "DELETE FROM gencfg.visit" << toEveryone;
    QTest::newRow("schema version, all granted to everyone, script again")
        << "UPDATE gencfg.schema_version SET version = 0" << toEveryone;
}

void TestTeam::technicianRole_cannotChangeOrRemoveVisits()
{
    QFETCH(QString, statement);
    QFETCH(QString, grantedBefore);
    Laptop a(QStringLiteral("pc-a"));
    a.visit(QStringLiteral("21070415"), 0);
    QVERIFY(a.team(m_cluster.url()).sync().error.isEmpty());
    if (!grantedBefore.isEmpty()) {
        QVERIFY2(m_cluster.sql(grantedBefore), qPrintable(m_cluster.lastOutput()));
        QVERIFY2(m_cluster.runScript(), qPrintable(m_cluster.lastOutput()));
    }
    QVERIFY(!m_cluster.sql(statement, QStringLiteral("tech1")));
    QVERIFY2(m_cluster.lastOutput().contains(QLatin1String("permission denied")),
             qPrintable(m_cluster.lastOutput()));
    QCOMPARE(serverCount(QStringLiteral("technician = 'pc-a technician'")), 1);
}

void TestTeam::newerSchema_isRefusedByName()
{
    QVERIFY(m_cluster.sql(QStringLiteral("UPDATE gencfg.schema_version SET version = 2")));
    Laptop a(QStringLiteral("pc-a"));
    a.visit(QStringLiteral("21070415"), 0);
    const TeamSyncResult result = a.team(m_cluster.url()).sync();
    QVERIFY(m_cluster.sql(QStringLiteral("UPDATE gencfg.schema_version SET version = 1")));
    QVERIFY(!result.reached);
    QVERIFY2(result.error.contains(QString::fromUtf8("версии 2")), qPrintable(result.error));
    QCOMPARE(serverCount(), 0);
    QCOMPARE(result.pending, 1);
}

void TestTeam::untrustedServerVisits_areSkippedAndNamed()
{
    Laptop a(QStringLiteral("pc-a"));
    a.visit(QStringLiteral("21070415"), 0);
    const QString good = QStringLiteral("decode(repeat('00', 256), 'hex')");
    const QString rows[] = {
        QStringLiteral("(E'2107\\x01415', 1, 0, 'x', 'read', 't', 1, '2', NULL, NULL, NULL)"),
        QStringLiteral("('21070415', 2, 0, 'x', 'read', 't', 1, '2', '\\x0102', NULL, NULL)"),
        QStringLiteral("('21070415', 3, 0, 'x', 'journals', 't', 1, '2', NULL, repeat('a', 2000000), NULL)"),
        QStringLiteral("('21070415', 4102444800000, 0, 'x', 'read', 't', 1, '2', NULL, NULL, NULL)"),
        QStringLiteral("('21070415', 5, 0, 'x', 'read', 't', 1, '2', %1, NULL, NULL)").arg(good),
    };
    for (const QString &row : rows) {
        QVERIFY2(
            m_cluster.sql(QStringLiteral("INSERT INTO gencfg.visit (serial, time_ms, utc_offset, pc, kind, "
                                         "technician, variant_code, program_version, image, journals, "
                                         "status) VALUES ") +
                          row),
            qPrintable(m_cluster.lastOutput()));
    }
    const TeamSyncResult result = a.team(m_cluster.url(), true).sync();
    QVERIFY2(result.error.isEmpty(), qPrintable(result.error));
    QCOMPARE(result.pulled, 0);
    const QString skipped = result.skipped.join(QLatin1Char('\n'));
    QCOMPARE(result.skipped.size(), 5);
    for (const char *why : {"управляющими", "длиной 2", "больше", "в будущем", "серийный номер в образе"})
        QVERIFY2(skipped.contains(QString::fromUtf8(why)), qPrintable(skipped));
    QVERIFY2(skipped.contains(QLatin1String("2107\\x01415")), qPrintable(skipped));
    QCOMPARE(a.held().size(), 1);
}

void TestTeam::syncCutMidBatch_serverHoldsWhatTheSyncCounted()
{
    Laptop a(QStringLiteral("pc-a"));
    const int visits = TeamPushBatch + 10;
    for (int i = 0; i < visits; ++i)
        a.visit(QStringLiteral("2%1").arg(i % 20, 7, 10, QLatin1Char('0')), i);
    // The server's connection dies at the fifth visit of the second batch.
    const int cutAt = TeamPushBatch + 4;
    QVERIFY2(
        m_cluster.sql(
            QStringLiteral(
                "CREATE FUNCTION gencfg.cut() RETURNS trigger LANGUAGE plpgsql SECURITY DEFINER AS $$ BEGIN "
                "IF (SELECT count(*) FROM gencfg.visit) >= %1 THEN PERFORM "
                "pg_terminate_backend(pg_backend_pid()); "
                "END IF; RETURN NEW; END $$; "
                "CREATE TRIGGER cut BEFORE INSERT ON gencfg.visit FOR EACH ROW EXECUTE FUNCTION "
                "gencfg.cut();")
                .arg(cutAt)),
        qPrintable(m_cluster.lastOutput()));
    const TeamSyncResult cut = a.team(m_cluster.url()).sync();
    QVERIFY(m_cluster.sql(QStringLiteral("DROP TRIGGER cut ON gencfg.visit; DROP FUNCTION gencfg.cut();")));
    QVERIFY(!cut.error.isEmpty());
    // What the sync says went, and what it counts as still waiting, is what the server committed.
    QCOMPARE(serverCount(), cut.pushed);
    QCOMPARE(cut.pushed, TeamPushBatch);
    QCOMPARE(cut.pending, visits - TeamPushBatch);
    QCOMPARE(a.team(m_cluster.url()).pendingCount(), visits - TeamPushBatch);

    const TeamSyncResult again = a.team(m_cluster.url()).sync();
    QVERIFY2(again.error.isEmpty(), qPrintable(again.error));
    QCOMPARE(again.pushed, visits - TeamPushBatch);
    QCOMPARE(serverCount(), visits);
}

void TestTeam::syncKilledOrServerStopped_losesNothingDoublesNothing()
{
    Laptop a(QStringLiteral("pc-a")), b(QStringLiteral("pc-b"));
    for (int i = 0; i < 600; ++i)
        a.visit(QStringLiteral("1%1").arg(i % 60, 7, 10, QLatin1Char('0')), i, quint8(i / 60));
    b.visit(QStringLiteral("10000000"), 5000, 99);
    const QStringList sync{QStringLiteral("archive"), QStringLiteral("sync"),
                           QStringLiteral("--archive-server"), m_cluster.url()};
    // The client killed at random points, on both sides of the sync.
    for (Laptop *laptop : {&a, &b, &a, &b, &a}) {
        QProcess client;
        client.setProcessEnvironment(laptop->environment());
        client.start(cliPath(), sync);
        QVERIFY(client.waitForStarted());
        QTest::qWait(int(QRandomGenerator::global()->bounded(20, 400)));
        // A client already done has no id: kill(0) would end this test's whole process group.
        if (client.state() == QProcess::Running && client.processId() > 0)
            ::kill(pid_t(client.processId()), SIGKILL);
        client.waitForFinished();
    }
    // The server stopped under a sync in progress.
    std::future<TeamSyncResult> running =
        std::async(std::launch::async, [&] { return a.team(m_cluster.url()).sync(); });
    QTest::qWait(int(QRandomGenerator::global()->bounded(10, 200)));
    m_cluster.stop();
    running.wait();
    QVERIFY(m_cluster.startServer());
    for (Laptop *laptop : {&a, &b, &a}) {
        QProcess client;
        client.setProcessEnvironment(laptop->environment());
        client.start(cliPath(), sync);
        QVERIFY(client.waitForFinished(60000));
        QVERIFY2(client.exitCode() == 0, client.readAllStandardError().constData());
        QVERIFY2(client.readAllStandardOutput().endsWith(", waiting 0\n"), "visits still waiting");
    }
    QCOMPARE(serverCount(), 601);
    QCOMPARE(
        m_cluster.sql(QStringLiteral("SELECT count(DISTINCT (serial, time_ms, pc, kind)) FROM gencfg.visit")),
        true);
    QCOMPARE(m_cluster.lastOutput(), QStringLiteral("601"));
    const QMap<QString, int> atA = a.held(), atB = b.held();
    QCOMPARE(atA.size(), 601);
    QCOMPARE(atA.values(), QList<int>(601, 1));
    // b met only one controller: it holds that one's visits, each once.
    QCOMPARE(atB.size(), 11);
    QCOMPARE(atB.values(), QList<int>(11, 1));
}

QTEST_GUILESS_MAIN(TestTeam)
#include "tst_team.moc"
