#include "link/FrameCodec.h"

#include <QTest>

using namespace gencfg;

namespace {

QByteArray onLine(const char *hex)
{
    return FrameStart + QByteArray(hex) + FrameEnd;
}

} // namespace

class tst_FrameCodec : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void encoders_matchWorkedExamples_data();
    void encoders_matchWorkedExamples();
    void encoder_refusesMoreThan122DataBytes();
    void frameWithoutData_isFourteenBytesWithHeaderChecksum();
    void hexPairToByte_givesZeroForNonUpperHex_data();
    void hexPairToByte_givesZeroForNonUpperHex();
    void decodeFrameText_handlesOddAndEmptyTexts_data();
    void decodeFrameText_handlesOddAndEmptyTexts();
    void bcdAndZeroPad();
    void bcdField_showsOnlyValidDigitsWithinTheFieldsRange_data();
    void bcdField_showsOnlyValidDigitsWithinTheFieldsRange();
    void parseValidFrame_acceptsOnlyWellFormedFrames_data();
    void parseValidFrame_acceptsOnlyWellFormedFrames();
};

void tst_FrameCodec::encoders_matchWorkedExamples_data()
{
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("read 64 at 64") << BuildReadFrame(64, 64)
                                   << onLine("0105004040"
                                             "04");
    QTest::newRow("command 32 no data") << BuildCommandFrame(32, 0, 0, {})
                                        << onLine("0020000000"
                                                  "20");
    QTest::newRow("command 40 data 1,3") << BuildCommandFrame(40, 0, 2, QByteArray("\x01\x03", 2))
                                         << onLine("0028000002"
                                                   "0103"
                                                   "28");
    QTest::newRow("write 8 chars at 184") << BuildWriteFrame(184, 8, "12345678")
                                          << onLine("000400B808"
                                                    "3132333435363738"
                                                    "BC");
    QTest::newRow("journal request index 5")
        << BuildCommandFrame(40, 0, 2, QByteArray("\x00\x05", 2)) << onLine("002800000200052F");
}

void tst_FrameCodec::encoders_matchWorkedExamples()
{
    QFETCH(QByteArray, frame);
    QFETCH(QByteArray, expected);
    QCOMPARE(frame, expected);
}

void tst_FrameCodec::encoder_refusesMoreThan122DataBytes()
{
    QCOMPARE(BuildCommandFrame(4, 0, 122, QByteArray(122, 'A')).size(), 2 * 122 + 14);
    QVERIFY(BuildCommandFrame(4, 0, 123, QByteArray(123, 'A')).isEmpty());
    QVERIFY(BuildWriteFrame(0, 200, QByteArray(200, 'A')).isEmpty());
}

void tst_FrameCodec::frameWithoutData_isFourteenBytesWithHeaderChecksum()
{
    const QByteArray text = BuildCommandFrame(0x33, 0x1234, 0, {});
    QCOMPARE(text.size(), 14);
    const QByteArray bytes = DecodeFrameText(text);
    QCOMPARE(quint8(bytes.at(5)), quint8(0x00 ^ 0x33 ^ 0x12 ^ 0x34));
}

void tst_FrameCodec::hexPairToByte_givesZeroForNonUpperHex_data()
{
    QTest::addColumn<char>("c1");
    QTest::addColumn<char>("c2");
    QTest::addColumn<int>("expected");
    QTest::newRow("upper hex") << 'A' << 'F' << 0xAF;
    QTest::newRow("lower case") << 'a' << 'f' << 0;
    QTest::newRow("digit then end byte") << '7' << char(0x0D) << 0x70;
    QTest::newRow("letter G") << 'G' << '1' << 0x01;
}

void tst_FrameCodec::hexPairToByte_givesZeroForNonUpperHex()
{
    QFETCH(char, c1);
    QFETCH(char, c2);
    QFETCH(int, expected);
    QCOMPARE(int(HexPairToByte(c1, c2)), expected);
}

void tst_FrameCodec::decodeFrameText_handlesOddAndEmptyTexts_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("even") << onLine("0105") << QByteArray("\x01\x05\x00", 3);
    QTest::newRow("odd") << onLine("010") << QByteArray("\x01\x00\x00", 3);
    QTest::newRow("start then end") << onLine("") << QByteArray(1, '\0');
}

void tst_FrameCodec::decodeFrameText_handlesOddAndEmptyTexts()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, expected);
    QCOMPARE(DecodeFrameText(text).toHex(), expected.toHex());
}

void tst_FrameCodec::bcdAndZeroPad()
{
    QCOMPARE(int(BcdToByte(0x59)), 59);
    QCOMPARE(int(BcdToByte(0xFF)), 165);
    QCOMPARE(int(ByteToBcd(59)), 0x59);
    QCOMPARE(int(ByteToBcd(7)), 0x07);
    QCOMPARE(ZeroPad(5, 2), QStringLiteral("05"));
    QCOMPARE(ZeroPad(0, 2), QStringLiteral("00"));
    QCOMPARE(ZeroPad(123, 2), QStringLiteral("23"));
    QCOMPARE(ZeroPad(165, 2), QStringLiteral("65"));
}

void tst_FrameCodec::bcdField_showsOnlyValidDigitsWithinTheFieldsRange_data()
{
    QTest::addColumn<int>("field");
    QTest::addColumn<quint8>("byte");
    QTest::addColumn<QString>("text");
    const auto row = [](const char *name, BcdField field, quint8 byte, const char *text) {
        QTest::newRow(name) << int(field) << byte << QString::fromLatin1(text);
    };
    row("hour 00", BcdField::Hour, 0x00, "00");
    row("hour 23", BcdField::Hour, 0x23, "23");
    row("hour 24", BcdField::Hour, 0x24, "--");
    row("hour 25", BcdField::Hour, 0x25, "--");
    row("hour FF", BcdField::Hour, 0xFF, "--");
    row("hour 0A", BcdField::Hour, 0x0A, "--");
    row("minute 59", BcdField::Minute, 0x59, "59");
    row("minute 60", BcdField::Minute, 0x60, "--");
    row("minute 61", BcdField::Minute, 0x61, "--");
    row("minute 1A", BcdField::Minute, 0x1A, "--");
    row("second 00", BcdField::Second, 0x00, "00");
    row("second 59", BcdField::Second, 0x59, "59");
    row("second 99", BcdField::Second, 0x99, "--");
    row("second A0", BcdField::Second, 0xA0, "--");
    row("day 00", BcdField::Day, 0x00, "--");
    row("day 01", BcdField::Day, 0x01, "01");
    row("day 31", BcdField::Day, 0x31, "31");
    row("day 32", BcdField::Day, 0x32, "--");
    row("month 00", BcdField::Month, 0x00, "--");
    row("month 01", BcdField::Month, 0x01, "01");
    row("month 12", BcdField::Month, 0x12, "12");
    row("month 13", BcdField::Month, 0x13, "--");
    row("month 9A", BcdField::Month, 0x9A, "--");
}

void tst_FrameCodec::bcdField_showsOnlyValidDigitsWithinTheFieldsRange()
{
    QFETCH(int, field);
    QFETCH(quint8, byte);
    QFETCH(QString, text);
    const std::optional<quint8> value = BcdFieldValue(byte, BcdField(field));
    QCOMPARE(BcdFieldText(byte, BcdField(field)), text);
    QCOMPARE(value.has_value(), text != QLatin1String("--"));
    if (value)
        QCOMPARE(ZeroPad(*value, 2), text);
}

void tst_FrameCodec::parseValidFrame_acceptsOnlyWellFormedFrames_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("valid");
    QTest::newRow("read request") << BuildReadFrame(64, 64) << true;
    QTest::newRow("count without data") << onLine("0104004040"
                                                  "01")
                                        << false;
    QTest::newRow("with data") << BuildWriteFrame(184, 8, "12345678") << true;
    QTest::newRow("bad checksum") << onLine("010500404005") << false;
    QTest::newRow("lower-case hex") << BuildWriteFrame(184, 8, "12345678").toLower() << false;
    QTest::newRow("odd count") << onLine("01050040400") << false;
    QTest::newRow("length byte too big") << onLine("0104000002"
                                                   "AA"
                                                   "AD")
                                         << false;
    QTest::newRow("too short") << onLine("0105") << false;
    QTest::newRow("no end byte") << BuildReadFrame(0, 64).chopped(1) << false;
}

void tst_FrameCodec::parseValidFrame_acceptsOnlyWellFormedFrames()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, valid);
    QCOMPARE(ParseValidFrame(text).has_value(), valid);
}

QTEST_APPLESS_MAIN(tst_FrameCodec)
#include "tst_framecodec.moc"
