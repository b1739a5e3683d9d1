#include "TestSupport.h"
#include "config/ParamFile.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <cstring>

using namespace gencfg;
using namespace gencfg::test;

namespace {

QByteArray lineOf(const QByteArray &file, int k)
{
    return file.mid(k * 66, 66);
}

QByteArray fields(const QList<int> &values)
{
    QByteArray text;
    for (int v : values)
        text += QByteArray::number(v).leftJustified(4, ' ');
    return text;
}

ConfigImageBytes countingImage()
{
    ConfigImageBytes image;
    for (size_t i = 0; i < image.size(); ++i)
        image[i] = quint8(i);
    return image;
}

QByteArray countingValues(const QByteArray &separator, int count = 256)
{
    QByteArrayList values;
    for (int i = 0; i < count; ++i)
        values.append(QByteArray::number(i % 256));
    return values.join(separator);
}

QByteArray utf16(const QByteArray &text, QStringEncoder::Encoding encoding, bool withBom)
{
    QStringEncoder encoder(encoding,
                           withBom ? QStringEncoder::Flag::WriteBom : QStringEncoder::Flag::Default);
    return encoder.encode(QString::fromLatin1(text));
}

} // namespace

class TestParamFile : public QObject
{
    Q_OBJECT

private slots:
    void format_petrolDefaults_hasFixedLayout();
    void format_thenParse_restoresEveryByte();

    void parse_anyLayoutGivesTheSameValues_data();
    void parse_anyLayoutGivesTheSameValues();
    void parse_shortFile_setsOnlyItsBytes();
    void parse_stopsAfter256Values();
    void parse_badToken_refusesWholeFileNamingLine_data();
    void parse_badToken_refusesWholeFileNamingLine();
    void parse_controlBytesOrUtf16_refuseWholeFile_data();
    void parse_controlBytesOrUtf16_refuseWholeFile();

    void saveFileName_appendsTxtOnlyWhenMissing_data();
    void saveFileName_appendsTxtOnlyWhenMissing();

    void write_thenRead_restoresImage();
    void write_toDirectoryOrBelowFile_failsNamingFile();
    void write_intoReadOnlyFolder_keepsExistingFile();
    void write_ontoAFullDisk_keepsTheFileAndGivesTheSystemsReason();
    void write_targetThatIsNoRegularFile_isRefusedAndLeftAsItWas_data();
    void write_targetThatIsNoRegularFile_isRefusedAndLeftAsItWas();
    void read_refusesWhatIsNoParameterFile();
};

void TestParamFile::format_petrolDefaults_hasFixedLayout()
{
    const QByteArray file = FormatParamFile(DefaultConfigImage(DeviceVariant::Petrol));
    QCOMPARE(file.size(), 1056);
    QCOMPARE(lineOf(file, 0),
             QByteArray("255 255 255 255 0   0   0   0   100 0   1   15  5   1   0   5   \r\n"));
    QCOMPARE(lineOf(file, 14),
             fields({105, 110, 116, 101, 114, 110, 101, 116, 255, 255, 255, 255, 255, 255, 255, 255}) +
                 "\r\n");
    const QByteArray only255 = QByteArray("255 ").repeated(16) + "\r\n";
    QCOMPARE(lineOf(file, 11), only255);
    QCOMPARE(lineOf(file, 15), only255);
    for (int k = 0; k < 16; ++k)
        QVERIFY2(lineOf(file, k).endsWith("\r\n"), qPrintable(QStringLiteral("line %1 has no CR LF").arg(k)));
}

void TestParamFile::format_thenParse_restoresEveryByte()
{
    const ConfigImageBytes image = countingImage();
    const ParamFileValues parsed = ParseParamFile(FormatParamFile(image), QStringLiteral("all.txt"));
    QVERIFY2(parsed.ok, qPrintable(parsed.error));
    QCOMPARE(parsed.values.size(), 256);

    ConfigImageBytes restored;
    restored.fill(0);
    ApplyParamValues(parsed.values, restored);
    QVERIFY(restored == image);
    QCOMPARE(restored[255], quint8(255));
}

void TestParamFile::parse_anyLayoutGivesTheSameValues_data()
{
    QTest::addColumn<QByteArray>("content");

    QTest::newRow("single spaces on one line") << countingValues(" ");
    QTest::newRow("one value per LF line") << countingValues("\n");
    QTest::newRow("tabs and CR only") << countingValues("\t\r");
    QTest::newRow("trailing blanks and empty lines") << countingValues(" ") + "   \r\n\r\n\n\t \x01";
    QTest::newRow("leading zeros and plus signs") << "000 +1 " + countingValues(" ").mid(4);
    QTest::newRow("byte-order mark before first value") << "\xEF\xBB\xBF" + countingValues(" ");
}

void TestParamFile::parse_anyLayoutGivesTheSameValues()
{
    QFETCH(QByteArray, content);
    const ParamFileValues parsed = ParseParamFile(content, QStringLiteral("any.txt"));
    QVERIFY2(parsed.ok, qPrintable(parsed.error));
    QCOMPARE(parsed.values.size(), 256);
    for (int i = 0; i < 256; ++i)
        QCOMPARE(int(parsed.values.at(i)), i);
}

void TestParamFile::parse_shortFile_setsOnlyItsBytes()
{
    const ParamFileValues parsed =
        ParseParamFile("9 8 7 6 5\r\n4 3 2 1 0\r\n\r\n  ", QStringLiteral("ten.txt"));
    QVERIFY2(parsed.ok, qPrintable(parsed.error));
    QCOMPARE(parsed.values.size(), 10);

    ConfigImageBytes image;
    image.fill(0xAA);
    ApplyParamValues(parsed.values, image);
    for (int i = 0; i < 256; ++i)
        QCOMPARE(int(image[size_t(i)]), i < 10 ? 9 - i : 0xAA);
}

void TestParamFile::parse_stopsAfter256Values()
{
    const ParamFileValues parsed =
        ParseParamFile(countingValues(" ", 300) + " junk", QStringLiteral("long.txt"));
    QVERIFY2(parsed.ok, qPrintable(parsed.error));
    QCOMPARE(parsed.values.size(), 256);
}

void TestParamFile::parse_badToken_refusesWholeFileNamingLine_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("error");

    const QString error = QStringLiteral("Файл site.txt, строка %1: '%2' не является числом от 0 до 255");
    QTest::newRow("letters on line 3") << QByteArray("1 2\r\n3\r\n4 abc 5") << error.arg(3).arg("abc");
    QTest::newRow("256") << QByteArray("255 256") << error.arg(1).arg("256");
    QTest::newRow("-1") << QByteArray("0\n-1") << error.arg(2).arg("-1");
    QTest::newRow("fraction after CR-only lines") << QByteArray("1\r2\r1.5") << error.arg(3).arg("1.5");
    QTest::newRow("hexadecimal") << QByteArray("0x10") << error.arg(1).arg("0x10");
    QTest::newRow("sign alone") << QByteArray("+") << error.arg(1).arg("+");
    QTest::newRow("huge number") << QByteArray("99999999999999999999")
                                 << error.arg(1).arg("99999999999999999999");
    QTest::newRow("long token shortened")
        << QByteArray(5000, 'x') << error.arg(1).arg(QString(20, 'x') + "…");
    // A word typed in a UTF-8 editor is shown as typed; other bytes are read as Windows-1251.
    QTest::newRow("UTF-8 word") << QByteArray("1 ") + QStringLiteral("вкл.").toUtf8()
                                << error.arg(1).arg(QStringLiteral("вкл."));
    QTest::newRow("Windows-1251 word")
        << QByteArray("1 \xE2\xEA\xEB.") << error.arg(1).arg(QStringLiteral("вкл."));
    QTest::newRow("long UTF-8 word shortened by characters")
        << QString(25, QChar(0x44F)).toUtf8() << error.arg(1).arg(QString(20, QChar(0x44F)) + "…");
    QTest::newRow("character beyond 16 bits at the cut")
        << (QByteArray(19, 'x') + QStringLiteral("😀yz").toUtf8())
        << error.arg(1).arg(QString(19, 'x') + QStringLiteral("😀…"));
}

void TestParamFile::parse_badToken_refusesWholeFileNamingLine()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, error);
    const ParamFileValues parsed = ParseParamFile(content, QStringLiteral("site.txt"));
    QVERIFY(!parsed.ok);
    QVERIFY2(parsed.values.isEmpty(), "values returned from a refused file");
    QCOMPARE(parsed.error, error);
}

void TestParamFile::parse_controlBytesOrUtf16_refuseWholeFile_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("error");

    const QString control = QStringLiteral("Файл site.txt, строка %1: недопустимый управляющий байт 0x%2");
    const QString wide =
        QStringLiteral("Файл site.txt записан в UTF-16; сохраните его как текст в UTF-8 или Windows-1251");
    QTest::newRow("NUL between values on line 2") << QByteArray("1 2\r\n3\0"
                                                                "4",
                                                                8)
                                                  << control.arg(2).arg("00");
    QTest::newRow("NUL after a value") << QByteArray("1 2\0", 4) << control.arg(1).arg("00");
    QTest::newRow("vertical tab as separator") << QByteArray("1\x0B"
                                                             "2")
                                               << control.arg(1).arg("0B");
    QTest::newRow("form feed on line 3") << QByteArray("1\n2\r\n\x0C"
                                                       "3")
                                         << control.arg(3).arg("0C");
    QTest::newRow("escape sequence") << QByteArray("1 2\x1B[0m") << control.arg(1).arg("1B");
    QTest::newRow("delete") << QByteArray("1 \x7F") << control.arg(1).arg("7F");
    const QByteArray file = FormatParamFile(countingImage());
    QTest::newRow("UTF-16LE") << utf16(file, QStringEncoder::Utf16LE, false) << wide;
    QTest::newRow("UTF-16BE") << utf16(file, QStringEncoder::Utf16BE, false) << wide;
    QTest::newRow("UTF-16LE with mark") << utf16(file, QStringEncoder::Utf16LE, true) << wide;
    QTest::newRow("UTF-16BE with mark") << utf16(file, QStringEncoder::Utf16BE, true) << wide;
}

void TestParamFile::parse_controlBytesOrUtf16_refuseWholeFile()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, error);
    const ParamFileValues parsed = ParseParamFile(content, QStringLiteral("site.txt"));
    QVERIFY2(!parsed.ok, qPrintable(QStringLiteral("%1 values read").arg(parsed.values.size())));
    QVERIFY(parsed.values.isEmpty());
    QCOMPARE(parsed.error, error);
}

void TestParamFile::saveFileName_appendsTxtOnlyWhenMissing_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("saved");

    QTest::newRow("plain name") << "site"
                                << "site.txt";
    QTest::newRow("already .txt") << "site.txt"
                                  << "site.txt";
    QTest::newRow("upper-case .TXT") << "SITE.TXT"
                                     << "SITE.TXT";
    QTest::newRow("other extension") << "site.cfg"
                                     << "site.cfg.txt";
    QTest::newRow("txt without dot") << "sitetxt"
                                     << "sitetxt.txt";
}

void TestParamFile::saveFileName_appendsTxtOnlyWhenMissing()
{
    QFETCH(QString, chosen);
    QFETCH(QString, saved);
    QCOMPARE(SaveFileName(chosen), saved);
}

void TestParamFile::write_thenRead_restoresImage()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("site.txt"));
    QVERIFY(writeAll(path, "old and longer content than nothing"));

    const ConfigImageBytes image = countingImage();
    QCOMPARE(WriteParamFile(path, image), QString());
    QCOMPARE(readAll(path), FormatParamFile(image));

    const ParamFileValues read = ReadParamFile(path);
    QVERIFY2(read.ok, qPrintable(read.error));
    ConfigImageBytes restored;
    restored.fill(0);
    ApplyParamValues(read.values, restored);
    QVERIFY(restored == image);
}

void TestParamFile::write_toDirectoryOrBelowFile_failsNamingFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString good = dir.filePath(QStringLiteral("good.txt"));
    QVERIFY(writeAll(good, "1 2 3"));
    const ConfigImageBytes image = countingImage();

    for (const QString &path : {dir.path(), good + QStringLiteral("/site.txt")}) {
        const QString error = WriteParamFile(path, image);
        QVERIFY2(!error.isEmpty(), qPrintable(path));
        QVERIFY2(error.contains(QDir::toNativeSeparators(path)), qPrintable(error));
    }
    QCOMPARE(readAll(good), QByteArray("1 2 3"));
}

void TestParamFile::write_intoReadOnlyFolder_keepsExistingFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("site.txt"));
    QVERIFY(writeAll(path, "1 2 3"));
    QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner));
    const auto restore = qScopeGuard(
        [&] { QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner); });
    {
        QFile probe(dir.filePath(QStringLiteral("probe")));
        if (probe.open(QIODevice::WriteOnly)) {
            probe.remove();
            QSKIP("this user may write into read-only folders");
        }
    }

    const QString error = WriteParamFile(path, countingImage());
    QVERIFY2(error.contains(QDir::toNativeSeparators(path)), qPrintable(error));
    QCOMPARE(readAll(path), QByteArray("1 2 3"));
}

void TestParamFile::write_ontoAFullDisk_keepsTheFileAndGivesTheSystemsReason()
{
#ifndef Q_OS_UNIX
    QSKIP("needs a limit on file sizes");
#endif
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("site.txt"));
    QVERIFY(writeAll(path, "1 2 3"));
    QString error;
    {
        FileSizeLimit full(500);
        QVERIFY(full.isSet());
        error = WriteParamFile(path, countingImage());
    }
    QCOMPARE(error, QStringLiteral("Не удалось записать файл %1: %2")
                        .arg(QDir::toNativeSeparators(path), QString::fromLocal8Bit(std::strerror(EFBIG))));
    QCOMPARE(readAll(path), QByteArray("1 2 3"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("site.txt")});
}

void TestParamFile::write_targetThatIsNoRegularFile_isRefusedAndLeftAsItWas_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("refusal"); // empty: written, through a link to where it points
    const QString notRegular = QStringLiteral("Запись отклонена: %1 не является обычным файлом");
    QTest::newRow("folder") << "folder" << QStringLiteral("Запись отклонена: %1 — это папка");
    QTest::newRow("named pipe") << "pipe" << notRegular;
    QTest::newRow("link to a named pipe") << "link-to-pipe" << notRegular;
    QTest::newRow("link to a file") << "link-to-file" << QString();
    QTest::newRow("link to nothing") << "link-to-nothing" << QString();
}

void TestParamFile::write_targetThatIsNoRegularFile_isRefusedAndLeftAsItWas()
{
    QFETCH(QString, name);
    QFETCH(QString, refusal);
#ifndef Q_OS_UNIX
    QSKIP("needs named pipes");
#endif
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder")));
    QVERIFY(makeFifo(dir.filePath(QStringLiteral("pipe"))));
    QVERIFY(writeAll(dir.filePath(QStringLiteral("file.txt")), "1 2 3"));
    QVERIFY(QFile::link(dir.filePath(QStringLiteral("pipe")), dir.filePath(QStringLiteral("link-to-pipe"))));
    QVERIFY(
        QFile::link(dir.filePath(QStringLiteral("file.txt")), dir.filePath(QStringLiteral("link-to-file"))));
    QVERIFY(QFile::link(dir.filePath(QStringLiteral("new.txt")),
                        dir.filePath(QStringLiteral("link-to-nothing"))));
    const QStringList names =
        QDir(dir.path()).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
    QStringList kinds;
    for (const QString &entry : names)
        kinds << nodeKind(dir.filePath(entry));

    const QString path = dir.filePath(name);
    const QString error = WriteParamFile(path, countingImage());
    if (!refusal.isEmpty()) {
        QCOMPARE(error, refusal.arg(QDir::toNativeSeparators(path)));
        QCOMPARE(readAll(dir.filePath(QStringLiteral("file.txt"))), QByteArray("1 2 3"));
    } else {
        QCOMPARE(error, QString());
        QCOMPARE(readAll(path), FormatParamFile(countingImage()));
    }
    // Every node keeps its kind: the links stay links, the pipe a pipe, and no leftover appears.
    QStringList kindsAfter;
    for (const QString &entry : names)
        kindsAfter << nodeKind(dir.filePath(entry));
    QCOMPARE(kindsAfter, kinds);
    QStringList namesAfter =
        QDir(dir.path()).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
    namesAfter.removeOne(QStringLiteral("new.txt"));
    QCOMPARE(namesAfter, names);
}

void TestParamFile::read_refusesWhatIsNoParameterFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString huge = dir.filePath(QStringLiteral("huge.txt"));
    {
        QFile file(huge);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.resize(MaxParamFileSize + 1)); // sparse: all zero bytes, blanks to the parser
    }
    const QString missing = dir.filePath(QStringLiteral("missing.txt"));

    for (const QString &path : {dir.path(), huge, missing, QStringLiteral("/dev/zero")}) {
        const ParamFileValues read = ReadParamFile(path);
        QVERIFY2(!read.ok, qPrintable(path));
        QVERIFY(read.values.isEmpty());
        QVERIFY2(read.error.contains(QDir::toNativeSeparators(path)), qPrintable(read.error));
    }
}

QTEST_GUILESS_MAIN(TestParamFile)
#include "tst_paramfile.moc"
