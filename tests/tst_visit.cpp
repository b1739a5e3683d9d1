#include "TestSupport.h"
#include "config/ConfigTransfer.h"
#include "config/MemoryMap.h"
#include "visit/VisitArchive.h"

#include <QDir>
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
    QTest::newRow("short, padded") << QByteArray("A12") << "A12"
                                   << "A12";
    QTest::newRow("a path is no folder name") << QByteArray("../x/y") << "../x/y"
                                              << "___x_y";
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
    QCOMPARE(archive.serialFolders(), QStringList{"21070415"});
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

QTEST_GUILESS_MAIN(TestVisit)
#include "tst_visit.moc"
