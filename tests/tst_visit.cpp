#include "TestSupport.h"
#include "config/ConfigTransfer.h"
#include "config/MemoryMap.h"
#include "visit/VisitArchive.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace gencfg;
using namespace gencfg::test;

namespace {

ConfigImageBytes imageWithSerial(const QByteArray &serial, quint8 fill = 7)
{
    ConfigImageBytes image = BlankImage();
    image[100] = fill;
    for (int i = 0; i < MemoryMap::SerialNumberSize; ++i)
        image[size_t(MemoryMap::SerialNumber + i)] = i < serial.size() ? quint8(serial.at(i)) : quint8(' ');
    return image;
}

Visit visitAt(const QString &time, VisitKind kind, std::optional<ConfigImageBytes> image)
{
    Visit visit;
    visit.time = QDateTime::fromString(time, Qt::ISODate);
    visit.kind = kind;
    visit.variantCode = 2;
    visit.serial = QStringLiteral("21070415");
    visit.programVersion = QStringLiteral("2.0.0");
    visit.image = image;
    return visit;
}

} // namespace

class TestVisit : public QObject
{
    Q_OBJECT

private slots:
    void serialNumber_data();
    void serialNumber();
    void store_neverOverwrites_andReadsBackWhatItKept();
    void find_namesAVisitBySerialAndDate();
    void store_ontoWhatCannotHoldAFolder_failsWithAReason();
    void visits_keepEachSerialNumberToItself_data();
    void visits_keepEachSerialNumberToItself();
    void load_skipsAVisitMalformedOrNotWhole_data();
    void load_skipsAVisitMalformedOrNotWhole();
    void last_isNeverAVisitDatedInTheFuture();
};

void TestVisit::serialNumber_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("serial");
    QTest::addColumn<QString>("folder");

    QTest::newRow("set") << QByteArray("21070415") << "21070415"
                         << "21070415";
    QTest::newRow("blank as the catalogue's default") << QByteArray("        ") << ""
                                                      << "no-serial";
    QTest::newRow("erased") << QByteArray(8, char(0xFF)) << ""
                            << "no-serial";
    QTest::newRow("zeros") << QByteArray(8, '\0') << ""
                           << "no-serial";
    QTest::newRow("short, padded, capitals escaped") << QByteArray("A12") << "A12"
                                                     << "%4112";
    QTest::newRow("a path is no folder name") << QByteArray("../x/y") << "../x/y"
                                              << "%2E%2E%2Fx%2Fy";
    QTest::newRow("never the unnumbered folder") << QByteArray("no-serial") << "no-seria"
                                                 << "no-seria";
}

void TestVisit::serialNumber()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, serial);
    QFETCH(QString, folder);
    ConfigImageBytes image = BlankImage();
    for (int i = 0; i < bytes.size() && i < MemoryMap::SerialNumberSize; ++i)
        image[size_t(MemoryMap::SerialNumber + i)] = quint8(bytes.at(i));
    QCOMPARE(SerialNumberOf(image), serial);
    QCOMPARE(SerialFolderName(serial), folder);
}

void TestVisit::store_neverOverwrites_andReadsBackWhatItKept()
{
    QTemporaryDir dir;
    const VisitArchive archive(dir.path());
    Visit first = visitAt("2026-05-14T10:00:00.000+03:00", VisitKind::Read, imageWithSerial("21070415", 1));
    first.status = QJsonObject{{"mode", 2}};
    Visit again = visitAt("2026-05-14T10:00:00.000+03:00", VisitKind::Read, imageWithSerial("21070415", 2));
    Visit journals = visitAt("2026-05-14T10:05:00.000+03:00", VisitKind::Journals, std::nullopt);
    journals.journals = QStringLiteral("Журнал событий\n14:05 23/11 пропадание сети\n");
    for (Visit *visit : {&journals, &first, &again})
        QCOMPARE(archive.store(*visit), QString());
    QVERIFY(first.folder != again.folder);

    const QVector<Visit> kept = archive.visits(QStringLiteral("21070415"));
    QCOMPARE(kept.size(), 3);
    QCOMPARE(kept.at(0).image, first.image);
    QCOMPARE(kept.at(0).status, first.status);
    QCOMPARE(kept.at(0).time, first.time);
    QCOMPARE(kept.at(1).image, again.image);
    QCOMPARE(kept.at(2).kind, VisitKind::Journals);
    QCOMPARE(kept.at(2).journals, journals.journals);
    QVERIFY(!kept.at(2).image);
    QCOMPARE(archive.lastWithImage(QStringLiteral("21070415"))->image, again.image);
    QCOMPARE(archive.serials(), QStringList{"21070415"});
    // The parameters are kept as a parameter file the program opens.
    QCOMPARE(readAll(first.folder + "/parameters.txt").size(), 1056);

    // A folder the program did not finish, or that holds something else, is no visit.
    QVERIFY(QDir(dir.path() + "/21070415").mkdir("20260101-000000-000-read"));
    QVERIFY(QDir(dir.path() + "/21070415").mkdir("20260101-000001-000-read"));
    QVERIFY(writeAll(dir.path() + "/21070415/20260101-000001-000-read/visit.json", "not json"));
    QCOMPARE(archive.visits(QStringLiteral("21070415")).size(), 3);
    // Nor is one whose file is a pipe: listing never waits on it.
    QVERIFY(QDir(dir.path() + "/21070415").mkdir("20260101-000002-000-read"));
    QVERIFY(makeFifo(dir.path() + "/21070415/20260101-000002-000-read/visit.json"));
    QCOMPARE(archive.visits(QStringLiteral("21070415")).size(), 3);
}

void TestVisit::find_namesAVisitBySerialAndDate()
{
    QTemporaryDir dir;
    const VisitArchive archive(dir.path());
    Visit may = visitAt("2026-05-14T10:00:00", VisitKind::Read, imageWithSerial("21070415", 1));
    Visit june = visitAt("2026-06-01T09:30:00", VisitKind::Write, imageWithSerial("21070415", 2));
    Visit journals = visitAt("2026-06-02T09:30:00", VisitKind::Journals, std::nullopt);
    for (Visit *visit : {&may, &june, &journals})
        QCOMPARE(archive.store(*visit), QString());

    QString error;
    QCOMPARE(archive.find("21070415@last", error)->image, june.image);
    QCOMPARE(archive.find("21070415@2026-05", error)->image, may.image);
    QCOMPARE(archive.find("21070415@2026-06-01 09:30", error)->image, june.image);
    for (const char *missing : {"21070415@2025", "99@last", "21070415", "@last", "21070415@"}) {
        error.clear();
        QVERIFY2(!archive.find(missing, error), missing);
        QVERIFY2(error.startsWith(QLatin1String(missing)), qPrintable(error));
    }
}

void TestVisit::store_ontoWhatCannotHoldAFolder_failsWithAReason()
{
    QTemporaryDir dir;
    QVERIFY(writeAll(dir.path() + "/file", "x"));
    // Root passes permission checks, so an unwritable place is one that cannot hold a folder.
    for (const QString &root :
         {dir.path() + "/file", dir.path() + "/file/below", QStringLiteral("/dev/null")}) {
        Visit visit = visitAt("2026-05-14T10:00:00", VisitKind::Read, imageWithSerial("21070415"));
        const QString error = VisitArchive(root).store(visit);
        QVERIFY2(!error.isEmpty(), qPrintable(root));
        QVERIFY(visit.folder.isEmpty());
        QVERIFY(VisitArchive(root).visits("21070415").isEmpty());
    }
    QCOMPARE(readAll(dir.path() + "/file"), QByteArray("x"));
}

void TestVisit::visits_keepEachSerialNumberToItself_data()
{
    QTest::addColumn<QStringList>("serials");
    QTest::addColumn<bool>("keptTheOldWay");
    const QStringList signs{"AB.12345", "AB/12345", "AB_12345", "AB 12345", "AB@12345"};
    const QStringList cases{"abcd1234", "ABCD1234", "AbCd1234"};
    QTest::newRow("signs") << signs << false;
    QTest::newRow("letter case") << cases << false;
    QTest::newRow("signs in a folder of the earlier naming") << signs << true;
    QTest::newRow("cases in folders of the earlier naming") << cases << true;
}

void TestVisit::visits_keepEachSerialNumberToItself()
{
    QFETCH(QStringList, serials);
    QFETCH(bool, keptTheOldWay);
    QTemporaryDir dir;
    const VisitArchive archive(dir.path());
    QStringList folders;
    for (int i = 0; i < serials.size(); ++i) {
        Visit visit =
            visitAt("2026-05-14T10:00:00", VisitKind::Read, imageWithSerial(serials.at(i).toLatin1()));
        visit.serial = serials.at(i);
        visit.time = visit.time.addSecs(i);
        QCOMPARE(archive.store(visit), QString());
        const QString name = SerialFolderName(visit.serial);
        QVERIFY2(!folders.contains(name.toLower()), qPrintable(name));
        folders << name.toLower();
        // An earlier version put every one of them into a folder named with "_" for each sign.
        if (keptTheOldWay) {
            QString legacy = visit.serial;
            legacy.replace(QRegularExpression("[^A-Za-z0-9_-]"), "_");
            QVERIFY(QDir(dir.path()).mkpath(legacy));
            QVERIFY(QDir().rename(visit.folder, dir.path() + '/' + legacy + '/' + QString::number(i)));
        }
    }
    QStringList sorted = serials;
    sorted.sort();
    QCOMPARE(archive.serials(), sorted);
    for (const QString &serial : serials) {
        const QVector<Visit> kept = archive.visits(serial);
        QCOMPARE(kept.size(), 1);
        QCOMPARE(kept.at(0).serial, serial);
        QString error;
        QCOMPARE(SerialNumberOf(*archive.find(serial + "@last", error)->image), serial);
    }
}

void TestVisit::load_skipsAVisitMalformedOrNotWhole_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<bool>("read");
    const QByteArray time = R"("time": "2026-05-14T10:00:00.000+03:00", "kind": "read")";
    QTest::newRow("as written") << R"({)" + time + R"(, "variant_code": 201, "serial": "21070415"})" << true;
    QTest::newRow("variant too large")
        << R"({)" + time + R"(, "variant_code": 99999, "serial": "21070415"})" << false;
    QTest::newRow("variant negative")
        << R"({)" + time + R"(, "variant_code": -56, "serial": "21070415"})" << false;
    QTest::newRow("variant a fraction")
        << R"({)" + time + R"(, "variant_code": 200.5, "serial": "21070415"})" << false;
    QTest::newRow("variant a text") << R"({)" + time + R"(, "variant_code": "200", "serial": "21070415"})"
                                    << false;
    QTest::newRow("serial a number") << R"({)" + time + R"(, "variant_code": 200, "serial": 21070415})"
                                     << false;
    // A synced folder brings a visit's files in any order, and a file may arrive cut short.
    QTest::newRow("half synced: its parameters not there yet")
        << R"({)" + time + R"(, "variant_code": 201, "serial": "21070415", "files": ["parameters.txt"]})"
        << false;
    QTest::newRow("half synced: visit.json cut short")
        << R"({)" + time + R"(, "variant_code": 201, "serial": "21070415", "fi)" << false;
    QTest::newRow("whole, naming no file")
        << R"({)" + time + R"(, "variant_code": 201, "serial": "21070415", "files": []})" << true;
}

void TestVisit::load_skipsAVisitMalformedOrNotWhole()
{
    QFETCH(QByteArray, json);
    QFETCH(bool, read);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath("21070415/visit"));
    QVERIFY(writeAll(dir.path() + "/21070415/visit/visit.json", json));
    const QVector<Visit> kept = VisitArchive(dir.path()).visits("21070415");
    QCOMPARE(kept.size(), read ? 1 : 0);
    if (read)
        QCOMPARE(kept.at(0).variantCode, quint8(201));
}

void TestVisit::last_isNeverAVisitDatedInTheFuture()
{
    QTemporaryDir dir;
    const VisitArchive archive(dir.path());
    Visit past = visitAt("2026-05-14T10:00:00", VisitKind::Read, imageWithSerial("21070415", 1));
    past.time = QDateTime::currentDateTime().addDays(-1);
    Visit future = visitAt("2026-05-14T10:00:00", VisitKind::Read, imageWithSerial("21070415", 2));
    future.time = QDateTime::currentDateTime().addDays(3);
    for (Visit *visit : {&past, &future})
        QCOMPARE(archive.store(*visit), QString());
    QCOMPARE(archive.lastWithImage("21070415")->image, past.image);
    QString error;
    QCOMPARE(archive.find("21070415@last", error)->image, past.image);
    // Named by its time it is still found, as history lists it or in ISO 8601.
    const QString listed = VisitTimeText(future.time);
    QCOMPARE(archive.find("21070415@" + listed, error)->image, future.image);
    QCOMPARE(archive.find("21070415@" + QString(listed).replace(' ', 'T'), error)->image, future.image);
}

QTEST_GUILESS_MAIN(TestVisit)
#include "tst_visit.moc"
