#include "config/Catalogue.h"
#include "config/ConfigImage.h"
#include "config/ParamChanges.h"
#include "config/ParamLimits.h"
#include "config/ParamModel.h"
#include "config/ParamValueText.h"

#include <QTest>
#include <limits>

using namespace gencfg;

Q_DECLARE_METATYPE(gencfg::ParamValue)

namespace {

const QString PhoneOne = QStringLiteral("Параметры GSM модема / Телефонный номер 1 / Номер абонента");
const QString Login = QStringLiteral("Параметры GSM модема / GPRS мониторинг / Login");
const QString Apn = QStringLiteral("Параметры GSM модема / GPRS мониторинг / Точка доступа/APN");
const QString MainsLow = QStringLiteral("Параметры сети / Напряжение сети / Нижний порог");
const QString TemperatureLow = QStringLiteral("Термодатчик / Нижний порог температуры");
const QString Counter =
    QStringLiteral("Параметры электрогенератора / Проведение ТО / Начальное значение счетчика");

void loadTree(ParamModel &tree, DeviceVariant variant = DeviceVariant::Petrol)
{
    tree.clear();
    LoadParamTree(CatalogueFor(variant), HighestIndexFor(variant), tree);
}

int nodeByPath(const ParamModel &tree, const QString &path)
{
    for (int node = 0; node < tree.nodeCount(); ++node) {
        if (tree.path(node) == path)
            return node;
    }
    return -1;
}

QByteArray bytesAt(const ConfigImageBytes &image, int address, int count)
{
    QByteArray bytes;
    for (int i = address; i < address + count; ++i)
        bytes.append(char(image[size_t(i)]));
    return bytes;
}

QByteArray ff(int count)
{
    return QByteArray(count, '\xFF');
}

} // namespace

class TestConfigImage : public QObject
{
    Q_OBJECT

private slots:
    void differingParams_onlyParametersCountAndTheListIsCutAfterTen();
    void encode_petrolDefaults_data();
    void encode_petrolDefaults();
    void encode_variantDefaultsDifferWhereTheirRowsDiffer();
    void encode_emptyTreeGivesAllFF();

    void roundTrip_data();
    void roundTrip();
    void roundTrip_defaultsOfEveryVariantComeBackUnchanged();

    void typedValue_limitEdgesAndEveryOptionComeBack_data();
    void typedValue_limitEdgesAndEveryOptionComeBack();
    void typedValue_textTheRowCannotHoldIsRefused_data();
    void typedValue_textTheRowCannotHoldIsRefused();

    void encode_uncodableValue_failsNamingPathAndValue_data();
    void encode_uncodableValue_failsNamingPathAndValue();

    void decode_unprogrammedImage_thenEncodeFailsOnFirstPhone();
    void decode_phoneSkipsEndBytesButKeepsOtherCodes();
    void decode_textWithSeparatorEndsBeforeIt();
    void decode_changesNoFieldButTheValue();

    void thresholds_fromDefaults();
    void thresholds_upsRoundingAndScale_data();
    void thresholds_upsRoundingAndScale();
};

void TestConfigImage::encode_petrolDefaults_data()
{
    QTest::addColumn<int>("address");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("engine hours unassigned 0-3") << 0 << ff(4);
    QTest::newRow("service counter 4-7") << 4 << QByteArray(4, '\0');
    QTest::newRow("service period 8, off 9, generator check on 10") << 8 << QByteArray("\x64\x00\x01", 3);
    QTest::newRow("temperature 15, unassigned 16-17") << 15 << QByteArray("\x05\xFF\xFF", 3);
    QTest::newRow("test start off 27") << 27 << QByteArray(1, '\0');
    QTest::newRow("unassigned 29-31") << 29 << ff(3);
    QTest::newRow("mains low 36-37") << 36 << QByteArray("\x00\xB4", 2);
    QTest::newRow("work duration 54-55") << 54 << QByteArray("\x38\x40", 2);
    QTest::newRow("unassigned 62-69") << 62 << ff(8);
    QTest::newRow("petrol engine 72, unassigned 73-79") << 72 << QByteArray(1, '\0') + ff(7);
    QTest::newRow("phone 1 ten zero digits") << 80 << QByteArray(10, '\0');
    QTest::newRow("counters and serial 180-191") << 180 << ff(12);
    QTest::newRow("login then fill to 207") << 192 << QByteArray("vkmtr") + ff(11);
    QTest::newRow("password then fill to 223") << 208 << QByteArray("vkmtr") + ff(11);
    QTest::newRow("access point then fill to 255") << 224 << QByteArray("internet") + ff(24);
}

void TestConfigImage::encode_petrolDefaults()
{
    QFETCH(int, address);
    QFETCH(QByteArray, expected);

    const ConfigImageBytes image = DefaultConfigImage(DeviceVariant::Petrol);
    const QByteArray actual = bytesAt(image, address, int(expected.size()));
    QVERIFY2(actual == expected, qPrintable(QStringLiteral("at %1: expected %2, got %3")
                                                .arg(address)
                                                .arg(QString::fromLatin1(expected.toHex(' ')),
                                                     QString::fromLatin1(actual.toHex(' ')))));
}

void TestConfigImage::encode_variantDefaultsDifferWhereTheirRowsDiffer()
{
    const ConfigImageBytes diesel = DefaultConfigImage(DeviceVariant::Diesel);
    QCOMPARE(diesel[72], quint8(1));
    QCOMPARE(diesel[13], quint8(0xFF)); // no cylinder count
    QCOMPARE(diesel[21], quint8(10));   // glow plug time

    const ConfigImageBytes dry = DefaultConfigImage(DeviceVariant::DryContact);
    QCOMPARE(dry[72], quint8(2));
    QCOMPARE(bytesAt(dry, 68, 2).toHex(), QByteArray("012c")); // 300
    QCOMPARE(bytesAt(dry, 20, 3), ff(3));
}

void TestConfigImage::encode_emptyTreeGivesAllFF()
{
    ParamModel tree;
    ConfigImageBytes image;
    image.fill(0x11);
    QVERIFY(EncodeConfigImage(tree, image).ok);
    QCOMPARE(bytesAt(image, 0, 256), ff(256));
}

void TestConfigImage::roundTrip_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("address");
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QString>("decoded");

    const QString access =
        QStringLiteral("Параметры GSM модема / Телефонный номер 1 / Активность и уровень доступа");
    const QString messages =
        QStringLiteral("Параметры GSM модема / Телефонный номер 1 / Тип отправляемых сообщений");
    const QString testStart =
        QStringLiteral("Параметры электрогенератора / Еженедельный тестовый запуск / Активность функции");
    const QString sensor = QStringLiteral("Термодатчик / Активность датчика");
    const QString engine = QStringLiteral("Тип двигателя электрогенератора");
    const QByteArray login16 = "abcdefghijklmnop";
    const QByteArray apn32 = "internet.provider.example.com.ru";

    QTest::newRow("temperature -30 as two's complement")
        << TemperatureLow << "-30" << 15 << QByteArray("\xE2") << "-30";
    QTest::newRow("plus sign dropped") << TemperatureLow << "+70" << 15 << QByteArray("\x46") << "70";
    QTest::newRow("leading zeros dropped") << MainsLow << "007" << 36 << QByteArray("\x00\x07", 2) << "7";
    QTest::newRow("4-byte counter high byte first")
        << Counter << "5999940" << 4 << QByteArray("\x00\x5B\x8D\x44", 4) << "5999940";
    QTest::newRow("phone keeps leading zero")
        << PhoneOne << "0123456789" << 80 << QByteArray("\0\1\2\3\4\5\6\7\x08\x09", 10) << "0123456789";
    QTest::newRow("phone of eleven characters keeps first ten")
        << PhoneOne << "00000000001" << 80 << QByteArray(10, '\0') << "0000000000";
    QTest::newRow("16-character login fills its field")
        << Login << QString::fromLatin1(login16) << 192 << login16 + "vkmtr" << QString::fromLatin1(login16);
    QTest::newRow("longer login is cut")
        << Login << QString::fromLatin1(login16 + "qrs") << 192 << login16 << QString::fromLatin1(login16);
    QTest::newRow("32-character access point")
        << Apn << QString::fromLatin1(apn32) << 224 << apn32 << QString::fromLatin1(apn32);
    QTest::newRow("Cyrillic letter ends login") << Login << "abЖcd" << 192
                                                << QByteArray("ab\xC6"
                                                              "cd\xFF")
                                                << "ab";
    QTest::newRow("brace ends login") << Login << "ab{cd" << 192 << QByteArray("ab{cd\xFF") << "ab";
    QTest::newRow("empty login") << Login << "" << 192 << ff(16) << "";
    QTest::newRow("on/off on") << sensor << "вкл." << 14 << QByteArray("\x01") << "вкл.";
    QTest::newRow("message type main")
        << messages << "основн. события" << 92 << QByteArray("\x01") << "основн. события";
    QTest::newRow("engine diesel") << engine << "дизель" << 72 << QByteArray("\x01") << "дизель";
    QTest::newRow("access level informs") << access << "информир." << 90 << QByteArray("\x01") << "информир.";
    QTest::newRow("test start with load")
        << testStart << "с подключ. нагр." << 27 << QByteArray("\x02") << "с подключ. нагр.";
}

void TestConfigImage::roundTrip()
{
    QFETCH(QString, path);
    QFETCH(QString, value);
    QFETCH(int, address);
    QFETCH(QByteArray, stored);
    QFETCH(QString, decoded);

    ParamModel tree;
    loadTree(tree);
    const int node = nodeByPath(tree, path);
    QVERIFY2(node >= 0, qPrintable(path));
    QVERIFY(tree.setValue(node, value));

    ConfigImageBytes image;
    const EncodeResult result = EncodeConfigImage(tree, image);
    QVERIFY2(result.ok, qPrintable(result.error));
    const QByteArray actual = bytesAt(image, address, int(stored.size()));
    QVERIFY2(actual == stored, qPrintable(QStringLiteral("stored %1, expected %2")
                                              .arg(QString::fromLatin1(actual.toHex(' ')),
                                                   QString::fromLatin1(stored.toHex(' ')))));

    ParamModel fresh;
    loadTree(fresh);
    fresh.setValue(node, QStringLiteral("stale"));
    DecodeConfigImage(image, fresh);
    QCOMPARE(ValueText(fresh.row(node)), decoded);
}

void TestConfigImage::roundTrip_defaultsOfEveryVariantComeBackUnchanged()
{
    for (DeviceVariant variant : {DeviceVariant::Petrol, DeviceVariant::Diesel, DeviceVariant::DryContact}) {
        const ConfigImageBytes image = DefaultConfigImage(variant);
        ParamModel defaults;
        loadTree(defaults, variant);
        ParamModel decoded;
        loadTree(decoded, variant);
        for (int node = 0; node < decoded.nodeCount(); ++node)
            decoded.setValue(node, QStringLiteral("stale"));
        DecodeConfigImage(image, decoded);

        for (int node = 0; node < decoded.nodeCount(); ++node) {
            QString expected = ValueText(defaults.row(node));
            const ParamKind kind = defaults.row(node).kind;
            if (kind == ParamKind::Group)
                expected = QStringLiteral("stale"); // headings are not coded
            else if (kind == ParamKind::ReadOnly)   // never coded, so read back from the fill
                expected = defaults.row(node).size == 2 ? QStringLiteral("65535") : QString();
            QVERIFY2(ValueText(decoded.row(node)) == expected,
                     qPrintable(QStringLiteral("variant %1, %2: expected '%3', got '%4'")
                                    .arg(int(variant))
                                    .arg(decoded.path(node), expected, ValueText(decoded.row(node)))));
        }
    }
}

void TestConfigImage::typedValue_limitEdgesAndEveryOptionComeBack_data()
{
    QTest::addColumn<int>("node");
    QTest::addColumn<ParamValue>("value");
    QTest::addColumn<bool>("within");

    // Every option of every kind, and each limit with its outer neighbour where the field can hold it.
    ParamModel tree;
    loadTree(tree);
    for (int node = 0; node < tree.nodeCount(); ++node) {
        const CatalogueRow &row = tree.row(node);
        const QByteArray path = tree.path(node).toUtf8();
        if (IsOptionKind(row.kind)) {
            for (int code = 0; code < OptionTexts(row.kind).size(); ++code)
                QTest::addRow("%s = option %d", path.constData(), code)
                    << node << ParamValue::ofOption(code) << true;
            continue;
        }
        if (!row.limits || !row.value.isNumber())
            continue;
        const qint64 fieldMin = row.kind == ParamKind::Temperature ? -128 : 0;
        const qint64 fieldMax = row.kind == ParamKind::Temperature ? 127
                                : row.size == 4                    ? std::numeric_limits<qint32>::max()
                                                                   : (qint64(1) << (8 * row.size)) - 1;
        const auto min = qint64(row.limits->min), max = qint64(row.limits->max);
        for (const qint64 n : {min - 1, min, max, max + 1}) {
            if (n >= fieldMin && n <= fieldMax)
                QTest::addRow("%s = %lld", path.constData(), n)
                    << node << ParamValue::ofNumber(n) << (n >= min && n <= max);
        }
    }
    const int phone = nodeByPath(tree, PhoneOne);
    QTest::newRow("phone, lowest") << phone << ParamValue::ofText(MinText(tree.row(phone))) << true;
    QTest::newRow("phone, highest") << phone << ParamValue::ofText(MaxText(tree.row(phone))) << true;
}

void TestConfigImage::typedValue_limitEdgesAndEveryOptionComeBack()
{
    QFETCH(int, node);
    QFETCH(ParamValue, value);
    QFETCH(bool, within);

    ParamModel tree;
    loadTree(tree);
    QVERIFY(tree.setValue(node, value));
    QCOMPARE(OutsideLimits(tree, node), !within);
    ConfigImageBytes image;
    const EncodeResult result = EncodeConfigImage(tree, image);
    QVERIFY2(result.ok, qPrintable(result.error));
    ParamModel fresh;
    loadTree(fresh);
    DecodeConfigImage(image, fresh);
    QCOMPARE(fresh.row(node), tree.row(node));
    // The text a technician sees gives the same value back.
    QVERIFY(ValueFromText(tree.row(node), ValueText(tree.row(node))) == value);
}

void TestConfigImage::typedValue_textTheRowCannotHoldIsRefused_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("text");

    QTest::newRow("fraction") << MainsLow << "180.5";
    QTest::newRow("letters") << TemperatureLow << "abc";
    QTest::newRow("empty number") << MainsLow << "";
    QTest::newRow("sign alone") << MainsLow << "-";
    QTest::newRow("inner blank") << MainsLow << "1 80";
    QTest::newRow("beyond 32 bits") << Counter << "4294967296";
    QTest::newRow("no option of the row") << QStringLiteral("Термодатчик / Активность датчика") << "да";
    QTest::newRow("another kind's option")
        << QStringLiteral("Параметры GSM модема / Телефонный номер 1 / Тип отправляемых сообщений") << "вкл.";
    QTest::newRow("text ending a device text") << Login << "a;b";
}

void TestConfigImage::typedValue_textTheRowCannotHoldIsRefused()
{
    QFETCH(QString, path);
    QFETCH(QString, text);

    ParamModel tree;
    loadTree(tree);
    const int node = nodeByPath(tree, path);
    const CatalogueRow before = tree.row(node);
    QVERIFY(!tree.setValue(node, text));
    QCOMPARE(tree.row(node), before);
}

void TestConfigImage::encode_uncodableValue_failsNamingPathAndValue_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("error");

    const QString notPhone = QStringLiteral("%1: номер '%2' должен начинаться с десяти цифр");
    QTest::newRow("phone of nine digits") << PhoneOne << "123456789" << notPhone.arg(PhoneOne, "123456789");
    QTest::newRow("phone with a letter") << PhoneOne << "12345a7890" << notPhone.arg(PhoneOne, "12345a7890");
    QTest::newRow("phone with a sign") << PhoneOne << "+123456789" << notPhone.arg(PhoneOne, "+123456789");
}

void TestConfigImage::encode_uncodableValue_failsNamingPathAndValue()
{
    QFETCH(QString, path);
    QFETCH(QString, value);
    QFETCH(QString, error);

    ParamModel tree;
    loadTree(tree);
    const int node = nodeByPath(tree, path);
    QVERIFY(tree.setValue(node, value));
    ConfigImageBytes image;
    const EncodeResult result = EncodeConfigImage(tree, image);
    QVERIFY(!result.ok);
    QCOMPARE(result.failedNode, node);
    QCOMPARE(result.error, error);
}

void TestConfigImage::decode_unprogrammedImage_thenEncodeFailsOnFirstPhone()
{
    ParamModel tree;
    loadTree(tree);
    ConfigImageBytes image;
    image.fill(0xFF);
    DecodeConfigImage(image, tree);

    const QList<QPair<QString, QString>> expected = {
        {QStringLiteral("Тип двигателя электрогенератора"), QString()},
        {QStringLiteral("Термодатчик / Активность датчика"), QStringLiteral("вкл.")},
        {QStringLiteral("Параметры GSM модема / Телефонный номер 1 / Тип отправляемых сообщений"),
         QStringLiteral("все события")},
        {QStringLiteral("Параметры GSM модема / Телефонный номер 1 / Активность и уровень доступа"),
         QString()},
        {QStringLiteral("Параметры электрогенератора / Еженедельный тестовый запуск / Активность функции"),
         QString()},
        {MainsLow, QStringLiteral("65535")},
        {QStringLiteral("Параметры электрогенератора / Проведение ТО / Период проведения ТО"),
         QStringLiteral("255")},
        {TemperatureLow, QStringLiteral("-1")},
        {Counter, QStringLiteral("-1")},
        {PhoneOne, QString()},
        {Login, QString()},
        {Apn, QString()},
        {QStringLiteral("Параметры GSM модема / GPRS мониторинг / Счетчик удачных отправок"),
         QStringLiteral("65535")},
        {QStringLiteral("Серийный номер устройства"), QString()},
    };
    for (const auto &[path, value] : expected) {
        const int node = nodeByPath(tree, path);
        QVERIFY2(
            ValueText(tree.row(node)) == value,
            qPrintable(
                QStringLiteral("%1: expected '%2', got '%3'").arg(path, value, ValueText(tree.row(node)))));
    }

    const EncodeResult result = EncodeConfigImage(tree, image);
    QVERIFY(!result.ok);
    QCOMPARE(result.failedNode, nodeByPath(tree, PhoneOne));
    QVERIFY2(result.error.startsWith(PhoneOne), qPrintable(result.error));
}

void TestConfigImage::decode_phoneSkipsEndBytesButKeepsOtherCodes()
{
    ParamModel tree;
    loadTree(tree);
    const int phone = nodeByPath(tree, PhoneOne);
    ConfigImageBytes image = DefaultConfigImage(DeviceVariant::Petrol);
    for (int j = 0; j < 10; ++j)
        image[size_t(80 + j)] = quint8(j);

    image[82] = 0xFF;
    DecodeConfigImage(image, tree);
    QCOMPARE(ValueText(tree.row(phone)), QStringLiteral("013456789"));

    image[82] = 0x7B;
    image[83] = 0x0A; // not a digit, but below the end mark: shown as the character it codes
    DecodeConfigImage(image, tree);
    QCOMPARE(ValueText(tree.row(phone)), QStringLiteral("01:456789"));
}

void TestConfigImage::decode_textWithSeparatorEndsBeforeIt()
{
    ParamModel tree;
    loadTree(tree);
    ConfigImageBytes image = DefaultConfigImage(DeviceVariant::Petrol);
    const QByteArray login = "ab;cd";
    std::copy(login.begin(), login.end(), image.begin() + 192);
    DecodeConfigImage(image, tree);
    const int node = nodeByPath(tree, Login);
    QCOMPARE(ValueText(tree.row(node)), QStringLiteral("ab"));
    QCOMPARE(tree.row(node).kind, ParamKind::Number);
}

void TestConfigImage::decode_changesNoFieldButTheValue()
{
    ParamModel before;
    loadTree(before);
    ParamModel tree;
    loadTree(tree);
    ConfigImageBytes image;
    for (size_t i = 0; i < image.size(); ++i)
        image[i] = quint8(i * 7);
    DecodeConfigImage(image, tree);

    for (int node = 0; node < tree.nodeCount(); ++node) {
        CatalogueRow expected = before.row(node);
        expected.value = tree.row(node).value;
        QCOMPARE(tree.row(node), expected);
    }
}

void TestConfigImage::thresholds_fromDefaults()
{
    ConfigImageBytes image = DefaultConfigImage(DeviceVariant::Petrol);
    image[15] = 0xE2;
    image[40] = 0;
    image[41] = 85;
    const GaugeThresholds t = ThresholdsFromImage(image);
    QCOMPARE(t.generatorLow, 180.0);
    QCOMPARE(t.generatorHigh, 260.0);
    QCOMPARE(t.mainsLow, 180.0);
    QCOMPARE(t.mainsHigh, 260.0);
    QCOMPARE(t.temperatureLow, -30.0);
    QCOMPARE(t.starterBatteryLow, 8.5);
    QCOMPARE(t.upsLow, 8.0);
    QCOMPARE(t.upsHigh, 15.0);
}

void TestConfigImage::thresholds_upsRoundingAndScale_data()
{
    QTest::addColumn<int>("upsHighTenths");
    QTest::addColumn<double>("shownHigh");
    QTest::addColumn<bool>("scaled");
    QTest::addColumn<double>("scaleMin");
    QTest::addColumn<double>("scaleMax");

    QTest::newRow("125 halves down to even 12") << 125 << 12.0 << true << 8.0 << 16.0;
    QTest::newRow("135 halves up to even 14") << 135 << 14.0 << true << 8.0 << 16.0;
    QTest::newRow("145 halves down to even 14") << 145 << 14.0 << true << 8.0 << 16.0;
    QTest::newRow("146 rounds up") << 146 << 15.0 << true << 8.0 << 16.0;
    QTest::newRow("159 last of 8..16") << 159 << 16.0 << true << 8.0 << 16.0;
    QTest::newRow("160 first of 16..32") << 160 << 16.0 << true << 16.0 << 32.0;
    QTest::newRow("319 last of 16..32") << 319 << 32.0 << true << 16.0 << 32.0;
    QTest::newRow("320 first of 32..64") << 320 << 32.0 << true << 32.0 << 64.0;
    QTest::newRow("639 last of 32..64") << 639 << 64.0 << true << 32.0 << 64.0;
    QTest::newRow("640 first of 64..120") << 640 << 64.0 << true << 64.0 << 120.0;
    QTest::newRow("1199 last of 64..120") << 1199 << 120.0 << true << 64.0 << 120.0;
    QTest::newRow("1200 leaves scale") << 1200 << 120.0 << false << 0.0 << 0.0;
    QTest::newRow("65535 leaves scale") << 65535 << 6554.0 << false << 0.0 << 0.0;
}

void TestConfigImage::thresholds_upsRoundingAndScale()
{
    QFETCH(int, upsHighTenths);
    QFETCH(double, shownHigh);
    QFETCH(bool, scaled);
    QFETCH(double, scaleMin);
    QFETCH(double, scaleMax);

    ConfigImageBytes image = DefaultConfigImage(DeviceVariant::Petrol);
    image[42] = image[44] = quint8(upsHighTenths >> 8);
    image[43] = image[45] = quint8(upsHighTenths);
    const GaugeThresholds t = ThresholdsFromImage(image);
    QCOMPARE(t.upsLow, shownHigh);
    QCOMPARE(t.upsHigh, shownHigh);
    QCOMPARE(t.upsScale.has_value(), scaled);
    if (scaled) {
        QCOMPARE(t.upsScale->minimum, scaleMin);
        QCOMPARE(t.upsScale->maximum, scaleMax);
    }
}

void TestConfigImage::differingParams_onlyParametersCountAndTheListIsCutAfterTen()
{
    ParamModel tree;
    LoadParamTree(PetrolParams(), HighestIndexFor(DeviceVariant::Petrol), tree);
    const ConfigImageBytes defaults = DefaultConfigImage(DeviceVariant::Petrol);

    // Bytes no parameter owns: the counter, unassigned addresses, the read-only fields.
    ConfigImageBytes other = defaults;
    for (int address : {0, 3, 16, 17, 29, 62, 73, 79, 180, 185, 191})
        other[size_t(address)] ^= 0x5A;
    QVERIFY(DifferingParams(tree, defaults, other, Compare::Bytes).isEmpty());

    // Twelve parameters: one byte of each, the second byte of a 2-byte number, a phone digit, a text's fill.
    const int changed[] = {4, 8, 10, 11, 12, 13, 15, 37, 72, 85, 200, 255};
    for (int address : changed)
        other[size_t(address)] ^= 0x01;
    const QVector<ParamDifference> differing = DifferingParams(tree, defaults, other, Compare::Bytes);
    QCOMPARE(differing.size(), 12);
    const ParamDifference &low = differing.at(1); // tree order: after the engine type
    QCOMPARE(low.path, QStringLiteral("Параметры сети / Напряжение сети / Нижний порог"));
    QCOMPARE(low.first, QStringLiteral("180"));
    QCOMPARE(low.second, QStringLiteral("181"));
    // The fill after a text decodes the same, but it is a byte the write did not land.
    const auto sameText = [](const ParamDifference &d) { return d.first == d.second; };
    QCOMPARE(std::count_if(differing.cbegin(), differing.cend(), sameText), 2); // after the login and the APN
    QVERIFY(DifferingParams(tree, defaults, other, Compare::Values).size() < 12);

    const QStringList lines = UnprovenWriteText(differing).split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), 12);
    QCOMPARE(lines.first(), QStringLiteral("Запись не подтверждена: устройство вернуло другие значения."));
    QCOMPARE(lines.at(2), QStringLiteral("Параметры сети / Напряжение сети / Нижний порог: записано \"180\", "
                                         "прочитано \"181\""));
    QCOMPARE(lines.constLast(), QStringLiteral("и ещё 2"));
}

QTEST_GUILESS_MAIN(TestConfigImage)
#include "tst_configimage.moc"
