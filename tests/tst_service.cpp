#include "link/Commands.h"
#include "link/FrameCodec.h"
#include "service/ServicePayloads.h"

#include <QDateTime>
#include <QTest>

using namespace gencfg;

namespace {

// "00 32 00 00 ..." as it travels on the line.
QByteArray onLine(const char *frameBytes)
{
    return FrameStart + QByteArray(frameBytes).replace(' ', "") + FrameEnd;
}

QString describe(const ServicePayload &p)
{
    static const char *names[] = {"Ok", "Ignored", "Warning", "Error"};
    return QStringLiteral("%1 data=%2 message=\"%3\"")
        .arg(QLatin1String(names[p.status]), QString::fromLatin1(p.data.toHex(' ')), p.message);
}

const QString DurationLimit = QStringLiteral("Длительность должна быть не больше 18 ч 12 мин");
const QString MotoclockLimit = QStringLiteral("Счетчик моточасов должен быть от 0 до 35791394 ч 7 мин");

} // namespace

class TestService : public QObject
{
    Q_OBJECT

private slots:
    void parseInteger_data();
    void parseInteger();

    void duration_data();
    void duration();
    void motoclock_data();
    void motoclock();
    void numberFields_reportTheFirstFailingText();

    void serialNumber_data();
    void serialNumber();
    void serialNumber_refusalNamesTheCharacterAsTypedAndCountsCharacters_data();
    void serialNumber_refusalNamesTheCharacterAsTypedAndCountsCharacters();
    void clock_takesEveryFieldFromOneReading();

    void frames_matchTheWorkedExamples();
    void serviceCode_data();
    void serviceCode();
};

void TestService::parseInteger_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("value");

    QTest::newRow("plain") << "42" << true << 42;
    QTest::newRow("leading zeros") << "007" << true << 7;
    QTest::newRow("minus") << "-15" << true << -15;
    QTest::newRow("plus") << "+15" << true << 15;
    QTest::newRow("largest") << "2147483647" << true << 2147483647;
    QTest::newRow("smallest") << "-2147483648" << true << std::numeric_limits<int>::min();
    QTest::newRow("empty") << "" << false << 0;
    QTest::newRow("sign only") << "-" << false << 0;
    QTest::newRow("too large") << "2147483648" << false << 0;
    QTest::newRow("fraction") << "1.5" << false << 0;
    QTest::newRow("letters") << "abc" << false << 0;
    QTest::newRow("trailing letter") << "12a" << false << 0;
    QTest::newRow("blank inside") << "1 2" << false << 0;
    QTest::newRow("hex") << "0x10" << false << 0;
    QTest::newRow("arabic-indic digits") << QString::fromUtf8("\u0661\u0662") << false << 0;
}

void TestService::parseInteger()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(int, value);

    const ParsedInteger parsed = parseIntegerField(text);
    QCOMPARE(parsed.ok, ok);
    if (ok) {
        QCOMPARE(parsed.value, value);
        QVERIFY2(parsed.error.isEmpty(), qPrintable(parsed.error));
    } else {
        QCOMPARE(parsed.error, QStringLiteral("'%1' is not a valid integer value").arg(text));
    }
}

void TestService::duration_data()
{
    QTest::addColumn<QString>("hours");
    QTest::addColumn<QString>("minutes");
    QTest::addColumn<bool>("sent");
    QTest::addColumn<QByteArray>("data");

    QTest::newRow("1 h 30 min") << "1"
                                << "30" << true << QByteArray::fromHex("1518");
    QTest::newRow("0 h 45 min") << "0"
                                << "45" << true << QByteArray::fromHex("0A8C");
    QTest::newRow("zero") << "0"
                          << "0" << true << QByteArray::fromHex("0000");
    QTest::newRow("minutes beyond 59") << "0"
                                       << "90" << true << QByteArray::fromHex("1518");
    QTest::newRow("18 h 12 min is the limit") << "18"
                                              << "12" << true << QByteArray::fromHex("FFF0");
    QTest::newRow("1092 min is the limit") << "0"
                                           << "1092" << true << QByteArray::fromHex("FFF0");
    QTest::newRow("18 h 13 min refused") << "18"
                                         << "13" << false << QByteArray();
    QTest::newRow("20 h refused, not wrapped") << "20"
                                               << "0" << false << QByteArray();
    QTest::newRow("negative hour refused") << "-1"
                                           << "0" << false << QByteArray();
    QTest::newRow("negative minute refused") << "0"
                                             << "-1" << false << QByteArray();
    QTest::newRow("negative minute with positive total refused") << "1"
                                                                 << "-30" << false << QByteArray();
    QTest::newRow("largest hour refused without overflow") << "2147483647"
                                                           << "2147483647" << false << QByteArray();
}

void TestService::duration()
{
    QFETCH(QString, hours);
    QFETCH(QString, minutes);
    QFETCH(bool, sent);
    QFETCH(QByteArray, data);

    const ServicePayload p = DurationPayload(hours, minutes);
    if (sent) {
        QVERIFY2(p.isOk() && p.data == data,
                 qPrintable(QStringLiteral("expected Ok %1, got %2")
                                .arg(QString::fromLatin1(data.toHex(' ')), describe(p))));
    } else {
        QVERIFY2(p.status == ServicePayload::Warning && p.data.isEmpty(),
                 qPrintable(QStringLiteral("expected Warning, got ") + describe(p)));
        QCOMPARE(p.message, DurationLimit);
    }
}

void TestService::motoclock_data()
{
    QTest::addColumn<QString>("hours");
    QTest::addColumn<QString>("minutes");
    QTest::addColumn<bool>("sent");
    QTest::addColumn<QByteArray>("data");

    QTest::newRow("1234 h 56 min") << "1234"
                                   << "56" << true << QByteArray::fromHex("00012170");
    QTest::newRow("zero") << "0"
                          << "0" << true << QByteArray::fromHex("00000000");
    // The status frame reads the counter back as signed: nothing above 2^31-1 minutes is sent.
    QTest::newRow("minutes alone up to int max") << "0"
                                                 << "2147483647" << true << QByteArray::fromHex("7FFFFFFF");
    QTest::newRow("largest counter") << "35791394"
                                     << "7" << true << QByteArray::fromHex("7FFFFFFF");
    QTest::newRow("one minute too many") << "35791394"
                                         << "8" << false << QByteArray();
    QTest::newRow("above the signed range") << "35791395"
                                            << "0" << false << QByteArray();
    QTest::newRow("once the unsigned limit") << "71582788"
                                             << "15" << false << QByteArray();
    QTest::newRow("largest hour") << "2147483647"
                                  << "0" << false << QByteArray();
    QTest::newRow("negative hour") << "-1"
                                   << "0" << false << QByteArray();
    QTest::newRow("negative minute") << "0"
                                     << "-1" << false << QByteArray();
    QTest::newRow("negative minute with positive total") << "2"
                                                         << "-1" << false << QByteArray();
}

void TestService::motoclock()
{
    QFETCH(QString, hours);
    QFETCH(QString, minutes);
    QFETCH(bool, sent);
    QFETCH(QByteArray, data);

    const ServicePayload p = MotoclockPayload(hours, minutes);
    if (sent) {
        QVERIFY2(p.isOk() && p.data == data,
                 qPrintable(QStringLiteral("expected Ok %1, got %2")
                                .arg(QString::fromLatin1(data.toHex(' ')), describe(p))));
    } else {
        QVERIFY2(p.status == ServicePayload::Warning && p.data.isEmpty(),
                 qPrintable(QStringLiteral("expected Warning, got ") + describe(p)));
        QCOMPARE(p.message, MotoclockLimit);
    }
}

void TestService::numberFields_reportTheFirstFailingText()
{
    using Builder = ServicePayload (*)(const QString &, const QString &);
    const QList<QPair<const char *, Builder>> builders = {{"duration", &DurationPayload},
                                                          {"motoclock", &MotoclockPayload}};
    for (const auto &[name, build] : builders) {
        const ServicePayload emptyHours = build(QString(), QStringLiteral("5"));
        QVERIFY2(
            emptyHours.status == ServicePayload::Error &&
                emptyHours.message == QStringLiteral("'' is not a valid integer value"),
            qPrintable(QStringLiteral("%1, empty hours: %2").arg(QLatin1String(name), describe(emptyHours))));

        const ServicePayload bothBad = build(QStringLiteral("x1"), QStringLiteral("y2"));
        QVERIFY2(
            bothBad.message == QStringLiteral("'x1' is not a valid integer value") && bothBad.data.isEmpty(),
            qPrintable(QStringLiteral("%1, hours first: %2").arg(QLatin1String(name), describe(bothBad))));

        // A conversion error wins over a range refusal of the other field.
        const ServicePayload badMinutes = build(QStringLiteral("-1"), QStringLiteral("1,5"));
        QVERIFY2(
            badMinutes.status == ServicePayload::Error &&
                badMinutes.message == QStringLiteral("'1,5' is not a valid integer value"),
            qPrintable(QStringLiteral("%1, bad minutes: %2").arg(QLatin1String(name), describe(badMinutes))));
    }
}

void TestService::serialNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("data");

    QTest::newRow("digits") << "12345678" << int(ServicePayload::Ok) << QByteArray("12345678");
    QTest::newRow("any characters below the text end")
        << "AB-12 xz" << int(ServicePayload::Ok) << QByteArray("AB-12 xz");
    QTest::newRow("question mark and blanks")
        << "? 0  ?!:" << int(ServicePayload::Ok) << QByteArray("? 0  ?!:");
    // The controller ends a stored text at its first byte of 0x7B or more.
    QTest::newRow("cyrillic refused")
        << QStringLiteral("АБВЁжюя№") << int(ServicePayload::Warning) << QByteArray();
    QTest::newRow("cyrillic among latin refused")
        << QStringLiteral("СН-12345") << int(ServicePayload::Warning) << QByteArray();
    QTest::newRow("brace refused") << "AB{12345" << int(ServicePayload::Warning) << QByteArray();
    QTest::newRow("tilde refused") << "1234567~" << int(ServicePayload::Warning) << QByteArray();
    QTest::newRow("semicolon refused") << "AB;12345" << int(ServicePayload::Warning) << QByteArray();
    QTest::newRow("7 characters refused") << "1234567" << int(ServicePayload::Warning) << QByteArray();
    QTest::newRow("9 characters refused") << "123456789" << int(ServicePayload::Warning) << QByteArray();
    QTest::newRow("empty refused") << "" << int(ServicePayload::Warning) << QByteArray();
    QTest::newRow("chinese refused") << QStringLiteral("1234567中") << int(ServicePayload::Warning)
                                     << QByteArray();
    QTest::newRow("greek refused") << QStringLiteral("λ1234567") << int(ServicePayload::Warning)
                                   << QByteArray();
    QTest::newRow("emoji as the eighth character refused")
        << QStringLiteral("1234567\U0001F600") << int(ServicePayload::Warning) << QByteArray();
}

void TestService::serialNumber()
{
    QFETCH(QString, text);
    QFETCH(int, status);
    QFETCH(QByteArray, data);

    const ServicePayload p = SerialNumberPayload(text);
    QVERIFY2(p.status == status && p.data == data,
             qPrintable(QStringLiteral("expected status %1 data %2, got %3")
                            .arg(status)
                            .arg(QString::fromLatin1(data.toHex(' ')), describe(p))));
    QCOMPARE(p.message.isEmpty(), status != ServicePayload::Warning);
}

void TestService::serialNumber_refusalNamesTheCharacterAsTypedAndCountsCharacters_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    const QString length = QStringLiteral("Серийный номер должен состоять из 8 символов, введено %1");
    const QString character = QStringLiteral("Символ «%1» нельзя записать в серийный номер устройства");
    QTest::newRow("first bad character named")
        << QStringLiteral("1Ж2{3;45") << character.arg(QStringLiteral("Ж"));
    QTest::newRow("brace") << QStringLiteral("AB{12345") << character.arg(QStringLiteral("{"));
    QTest::newRow("semicolon") << QStringLiteral("AB;12345") << character.arg(QStringLiteral(";"));
    QTest::newRow("emoji whole, as the eighth character")
        << QStringLiteral("1234567\U0001F600") << character.arg(QStringLiteral("\U0001F600"));
    QTest::newRow("emoji first") << QStringLiteral("\U0001F6001234567")
                                 << character.arg(QStringLiteral("\U0001F600"));
    QTest::newRow("nine characters with an emoji") << QStringLiteral("12345678\U0001F600") << length.arg(9);
    QTest::newRow("seven characters") << QStringLiteral("1234567") << length.arg(7);
    QTest::newRow("empty") << QString() << length.arg(0);
}

void TestService::serialNumber_refusalNamesTheCharacterAsTypedAndCountsCharacters()
{
    QFETCH(QString, text);
    QFETCH(QString, message);
    const ServicePayload p = SerialNumberPayload(text);
    QCOMPARE(int(p.status), int(ServicePayload::Warning));
    QCOMPARE(p.message, message);
}

void TestService::clock_takesEveryFieldFromOneReading()
{
    QCOMPARE(ClockPayload(QDateTime(QDate(2026, 12, 6), QTime(14, 5, 9))),
             QByteArray::fromHex("140509061226"));
    QCOMPARE(ClockPayload(QDateTime(QDate(2000, 1, 1), QTime(0, 0, 0))), QByteArray::fromHex("000000010100"));
    QCOMPARE(ClockPayload(QDateTime(QDate(2099, 9, 30), QTime(23, 59, 59, 999))),
             QByteArray::fromHex("235959300999"));
    QVERIFY2(ClockPayload(QDateTime()).isEmpty(), "an invalid reading must not produce clock bytes");
}

void TestService::frames_matchTheWorkedExamples()
{
    const QByteArray start = DurationPayload(QStringLiteral("1"), QStringLiteral("30")).data;
    QCOMPARE(BuildCommandFrame(CMD_GENERATOR_START, 0, quint8(start.size()), start),
             onLine("00 32 00 00 02 15 18 3D"));

    const QByteArray stop = DurationPayload(QStringLiteral("0"), QStringLiteral("45")).data;
    QCOMPARE(BuildCommandFrame(CMD_GENERATOR_STOP, 0, quint8(stop.size()), stop),
             onLine("00 33 00 00 02 0A 8C B7"));

    const QByteArray hours = MotoclockPayload(QStringLiteral("1234"), QStringLiteral("56")).data;
    QCOMPARE(BuildWriteFrame(MotoclockAddress, quint8(hours.size()), hours),
             onLine("00 04 00 00 04 00 01 21 70 50"));

    const QByteArray serial = SerialNumberPayload(QStringLiteral("12345678")).data;
    QCOMPARE(BuildWriteFrame(SerialNumberAddress, quint8(serial.size()), serial),
             onLine("00 04 00 B8 08 31 32 33 34 35 36 37 38 BC"));

    const QByteArray clock = ClockPayload(QDateTime(QDate(2026, 12, 6), QTime(14, 5, 9)));
    QCOMPARE(BuildCommandFrame(CMD_SET_CLOCK, 0, quint8(clock.size()), clock),
             onLine("00 26 00 00 06 14 05 09 06 12 26 0A"));
}

void TestService::serviceCode_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("the code") << "41730962" << true;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("one digit short") << "4173096" << false;
    QTest::newRow("one digit more") << "417309620" << false;
    QTest::newRow("leading blank") << " 41730962" << false;
    QTest::newRow("trailing blank") << "41730962 " << false;
    QTest::newRow("one digit wrong") << "41730963" << false;
}

void TestService::serviceCode()
{
    QFETCH(QString, text);
    QFETCH(bool, accepted);
    QCOMPARE(IsServiceCode(text), accepted);
}

QTEST_APPLESS_MAIN(TestService)
#include "tst_service.moc"
