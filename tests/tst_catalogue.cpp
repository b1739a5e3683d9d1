#include "TestSupport.h"
#include "config/Catalogue.h"
#include "config/MemoryMap.h"
#include "config/ParamEditRules.h"
#include "config/ParamModel.h"
#include "config/ParamValueText.h"

#include <QTest>
#include <algorithm>
#include <map>

using namespace gencfg;
using gencfg::test::describe;

Q_DECLARE_METATYPE(gencfg::DeviceVariant)
Q_DECLARE_METATYPE(gencfg::ParamKind)

namespace {

bool isOptionKind(ParamKind kind)
{
    return IsOptionKind(kind);
}

void addVariantRows()
{
    QTest::addColumn<DeviceVariant>("variant");
    QTest::newRow("petrol") << DeviceVariant::Petrol;
    QTest::newRow("diesel") << DeviceVariant::Diesel;
    QTest::newRow("dry contact") << DeviceVariant::DryContact;
}

int rowNamed(const ParamTable &table, const QString &name)
{
    for (int i = 0; i < table.size(); ++i) {
        if (table.at(i).name == name)
            return i;
    }
    return -1;
}

} // namespace

class TestCatalogue : public QObject
{
    Q_OBJECT

private slots:
    void eachVariant_hasItsRowCountAndHighestIndex_data();
    void eachVariant_hasItsRowCountAndHighestIndex();
    void levels_startAtOneAndDeepenOneStepAtMost_data() { addVariantRows(); }
    void levels_startAtOneAndDeepenOneStepAtMost();
    void optionRows_defaultToOneOfTheirTexts_data() { addVariantRows(); }
    void optionRows_defaultToOneOfTheirTexts();
    void headings_haveNoValueAndNoStorage_data() { addVariantRows(); }
    void headings_haveNoValueAndNoStorage();
    void storedRows_doNotOverlapAndEndAtByte255_data() { addVariantRows(); }
    void storedRows_doNotOverlapAndEndAtByte255();
    void limits_comeInPairsWithinTheStorageRange_data() { addVariantRows(); }
    void limits_comeInPairsWithinTheStorageRange();
    void defaults_lieWithinTheirLimits_data() { addVariantRows(); }
    void defaults_lieWithinTheirLimits();
    void engineTypeRow_defaultsToItsOwnVariant_data();
    void engineTypeRow_defaultsToItsOwnVariant();
    void diesel_replacesChokeAndCylindersWithGlowPlug();
    void dryContact_replacesStarterRowsWithStartStopTimeout();
    void petrolRows_keepTheirTextsAndStorage_data();
    void petrolRows_keepTheirTextsAndStorage();
    void latinAndCyrillicLetters_areAsTheDeviceShowsThem();
    void phoneGroups_followTheSixteenByteStride();
    void optionTexts_listCodesInOrder_data();
    void optionTexts_listCodesInOrder();
    void memoryMap_namesTheCataloguesOwnPlaces_data();
    void memoryMap_namesTheCataloguesOwnPlaces();
    void signedLimits_parseAsNumbers_data();
    void signedLimits_parseAsNumbers();
};

void TestCatalogue::eachVariant_hasItsRowCountAndHighestIndex_data()
{
    QTest::addColumn<DeviceVariant>("variant");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("highest");
    QTest::newRow("petrol") << DeviceVariant::Petrol << 84 << 83;
    QTest::newRow("diesel") << DeviceVariant::Diesel << 83 << 82;
    QTest::newRow("dry contact") << DeviceVariant::DryContact << 81 << 80;
}

void TestCatalogue::eachVariant_hasItsRowCountAndHighestIndex()
{
    QFETCH(DeviceVariant, variant);
    QFETCH(int, rows);
    QFETCH(int, highest);
    QCOMPARE(int(CatalogueFor(variant).size()), rows);
    QCOMPARE(HighestIndexFor(variant), highest);
    QCOMPARE(int(PetrolParams().size()), 84);
    QCOMPARE(int(DieselParams().size()), 83);
    QCOMPARE(int(DryContactParams().size()), 81);
}

void TestCatalogue::levels_startAtOneAndDeepenOneStepAtMost()
{
    QFETCH(DeviceVariant, variant);
    const ParamTable &table = CatalogueFor(variant);
    QCOMPARE(int(table.first().level), 1);
    for (int i = 1; i < table.size(); ++i) {
        const int level = table.at(i).level;
        const int before = table.at(i - 1).level;
        QVERIFY2(level >= 1 && level <= 3 && level <= before + 1,
                 qPrintable(QStringLiteral("row %1 level %2 after %3").arg(i).arg(level).arg(before)));
    }
}

void TestCatalogue::optionRows_defaultToOneOfTheirTexts()
{
    QFETCH(DeviceVariant, variant);
    int optionRows = 0;
    for (const CatalogueRow &r : CatalogueFor(variant)) {
        if (!isOptionKind(r.kind))
            continue;
        ++optionRows;
        QVERIFY2(r.value.isOption() && r.value.number >= 0 && r.value.number < OptionTexts(r.kind).size(),
                 qPrintable(describe(r)));
        QVERIFY2(r.size == 1, qPrintable(describe(r)));
    }
    QVERIFY2(optionRows >= 20, qPrintable(QString::number(optionRows)));
}

void TestCatalogue::headings_haveNoValueAndNoStorage()
{
    QFETCH(DeviceVariant, variant);
    for (const CatalogueRow &r : CatalogueFor(variant)) {
        if (r.kind != ParamKind::Group)
            continue;
        QVERIFY2(r.size == 0 && r.address == 0 && r.value.isNone() && r.units.isEmpty() && !r.limits,
                 qPrintable(describe(r)));
    }
}

void TestCatalogue::storedRows_doNotOverlapAndEndAtByte255()
{
    QFETCH(DeviceVariant, variant);
    ParamTable stored;
    for (const CatalogueRow &r : CatalogueFor(variant)) {
        if (r.kind != ParamKind::Group)
            stored.append(r);
    }
    std::sort(stored.begin(), stored.end(),
              [](const CatalogueRow &a, const CatalogueRow &b) { return a.address < b.address; });
    for (int i = 0; i < stored.size(); ++i) {
        const CatalogueRow &r = stored.at(i);
        QVERIFY2(r.size > 0 && r.address >= 4 && r.address + r.size <= 256, qPrintable(describe(r)));
        if (i + 1 < stored.size()) {
            QVERIFY2(r.address + r.size <= stored.at(i + 1).address,
                     qPrintable(describe(r) + QStringLiteral(" overlaps ") + describe(stored.at(i + 1))));
        }
    }
    QCOMPARE(stored.last().address + stored.last().size - 1, 255);
}

void TestCatalogue::limits_comeInPairsWithinTheStorageRange()
{
    QFETCH(DeviceVariant, variant);
    for (const CatalogueRow &r : CatalogueFor(variant)) {
        if (!r.limits)
            continue;
        const double min = r.limits->min;
        const double max = r.limits->max;
        QVERIFY2(min <= max, qPrintable(describe(r)));
        double low = 0;
        double high = 0;
        if (r.kind == ParamKind::Temperature) {
            low = -30;
            high = 70;
        } else if (r.size == 1) {
            high = 255;
        } else if (r.size == 2) {
            high = 65535;
        } else if (r.size == 4) {
            high = 5999940;
        } else if (r.size == 10) {
            QVERIFY2(MinText(r) == QLatin1String("0000000000") && MaxText(r) == QLatin1String("9999999999"),
                     qPrintable(describe(r)));
            continue;
        } else {
            QFAIL(qPrintable(QStringLiteral("limits on an unexpected size: ") + describe(r)));
        }
        QVERIFY2(min >= low && max <= high, qPrintable(describe(r)));
    }
}

void TestCatalogue::defaults_lieWithinTheirLimits()
{
    QFETCH(DeviceVariant, variant);
    for (const CatalogueRow &r : CatalogueFor(variant)) {
        if (!r.limits)
            continue;
        const EditVerdict verdict = CheckTypedValue(r, ValueText(r), QLocale::c());
        QVERIFY2(verdict.accepted, qPrintable(describe(r) + QStringLiteral(": ") + verdict.warning));
    }
}

void TestCatalogue::engineTypeRow_defaultsToItsOwnVariant_data()
{
    QTest::addColumn<DeviceVariant>("variant");
    QTest::addColumn<QString>("value");
    QTest::newRow("petrol") << DeviceVariant::Petrol << QStringLiteral("бензин");
    QTest::newRow("diesel") << DeviceVariant::Diesel << QStringLiteral("дизель");
    QTest::newRow("dry contact") << DeviceVariant::DryContact << QStringLiteral("сухой контакт");
}

void TestCatalogue::engineTypeRow_defaultsToItsOwnVariant()
{
    QFETCH(DeviceVariant, variant);
    QFETCH(QString, value);
    const CatalogueRow &r = CatalogueFor(variant).first();
    QCOMPARE(r.name, QStringLiteral("Тип двигателя электрогенератора"));
    QCOMPARE(ValueText(r), value);
    QCOMPARE(r.address, 72);
    QCOMPARE(r.kind, ParamKind::EngineType);
}

void TestCatalogue::diesel_replacesChokeAndCylindersWithGlowPlug()
{
    const ParamTable &petrol = PetrolParams();
    const ParamTable &diesel = DieselParams();
    for (int i = 1; i <= 20; ++i)
        QCOMPARE(describe(diesel.at(i)), describe(petrol.at(i)));
    for (int i = 22; i <= 82; ++i)
        QCOMPARE(describe(diesel.at(i)), describe(petrol.at(i + 1)));
    QCOMPARE(describe(diesel.at(21)), QStringLiteral("3|Время прогрева свечи|10|Сек.|0|240|1|21|1"));
    for (const CatalogueRow &r : diesel)
        QVERIFY2(!(r.kind != ParamKind::Group && r.address == 13), qPrintable(describe(r)));
}

void TestCatalogue::dryContact_replacesStarterRowsWithStartStopTimeout()
{
    const ParamTable &petrol = PetrolParams();
    const ParamTable &dry = DryContactParams();
    for (int i = 1; i <= 18; ++i)
        QCOMPARE(describe(dry.at(i)), describe(petrol.at(i)));
    for (int i = 20; i <= 80; ++i)
        QCOMPARE(describe(dry.at(i)), describe(petrol.at(i + 3)));
    QCOMPARE(describe(dry.at(19)), QStringLiteral("3|Таймаут запуска/останова ГУ|300|Сек.|1|65535|2|68|1"));
    for (const char *gone : {"Мах время вращения статера", "Количество попыток запуска",
                             "Маx время закрытой заслонки", "Число цилиндров двигателя"})
        QVERIFY2(rowNamed(dry, QString::fromUtf8(gone)) < 0, gone);
    for (const CatalogueRow &r : dry) {
        const bool starterByte = r.address == 13 || (r.address >= 20 && r.address <= 22);
        QVERIFY2(!(r.kind != ParamKind::Group && starterByte), qPrintable(describe(r)));
    }
}

void TestCatalogue::petrolRows_keepTheirTextsAndStorage_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("expected");
    QTest::newRow("mains lower threshold") << 3 << QStringLiteral("3|Нижний порог|180|Вольт|160|220|2|36|1");
    QTest::newRow("generator function on") << 10 << QStringLiteral("3|Активность функции|вкл.||||1|10|2");
    QTest::newRow("weekly test mode") << 24 << QStringLiteral("3|Активность функции|выкл.||||1|27|8");
    QTest::newRow("hour counter start")
        << 35 << QStringLiteral("3|Начальное значение счетчика|0|Минута|0|5999940|4|4|1");
    QTest::newRow("UPS battery heading, level 1") << 40 << QStringLiteral("1|Контроль АКБ ИБП|||||0|0|0");
    QTest::newRow("login") << 49 << QStringLiteral("3|Login|vkmtr||||16|192|1");
    QTest::newRow("password") << 50 << QStringLiteral("3|Password|vkmtr||||16|208|1");
    QTest::newRow("access point") << 51 << QStringLiteral("3|Точка доступа/APN|internet||||32|224|1");
    QTest::newRow("sent counter") << 52 << QStringLiteral("3|Счетчик удачных отправок|||||2|180|255");
    QTest::newRow("SMS timeout up to 65534")
        << 54 << QStringLiteral("2|Таймаут SMS-ответа|3600|Сек.|60|65534|2|70|1");
    QTest::newRow("phone 1") << 57
                             << QStringLiteral("3|Номер абонента|0000000000||0000000000|9999999999|10|80|1");
    QTest::newRow("temperature") << 82
                                 << QStringLiteral("2|Нижний порог температуры|5|градус|-30|+70|1|15|5");
}

void TestCatalogue::petrolRows_keepTheirTextsAndStorage()
{
    QFETCH(int, row);
    QFETCH(QString, expected);
    QCOMPARE(describe(PetrolParams().at(row)), expected);
}

void TestCatalogue::latinAndCyrillicLetters_areAsTheDeviceShowsThem()
{
    const ParamTable &petrol = PetrolParams();
    const QString choke = petrol.at(21).name;
    QCOMPARE(choke, QStringLiteral("Маx время закрытой заслонки"));
    QCOMPARE(choke.at(0).unicode(), ushort(0x041C)); // Cyrillic М
    QCOMPARE(choke.at(1).unicode(), ushort(0x0430)); // Cyrillic а
    QCOMPARE(choke.at(2).unicode(), ushort('x'));

    const QString starter = petrol.at(19).name;
    QCOMPARE(starter.left(3), QStringLiteral("Мах"));
    for (QChar c : starter.left(3))
        QVERIFY2(c.unicode() >= 0x0400 && c.unicode() <= 0x04FF, qPrintable(starter));

    for (int row : {39, 42, 43}) {
        const QString units = petrol.at(row).units;
        QCOMPARE(units, QString::fromUtf8("мВ x 100"));
        QCOMPARE(units.at(3).unicode(), ushort('x'));
    }

    const QString serial = ValueText(petrol.at(83));
    QCOMPARE(serial, QString(10, QLatin1Char(' ')));
    QCOMPARE(int(petrol.at(83).size), 8);
}

void TestCatalogue::phoneGroups_followTheSixteenByteStride()
{
    const ParamTable &petrol = PetrolParams();
    for (int n = 1; n <= 6; ++n) {
        const int heading = rowNamed(petrol, QStringLiteral("Телефонный номер %1").arg(n));
        QVERIFY2(heading > 0, qPrintable(QString::number(n)));
        const int offset = 16 * (n - 1);
        QCOMPARE(petrol.at(heading + 1).address, 80 + offset);
        QCOMPARE(int(petrol.at(heading + 1).size), 10);
        QCOMPARE(petrol.at(heading + 2).address, 90 + offset);
        QCOMPARE(petrol.at(heading + 2).kind, ParamKind::AccessLevel);
        QCOMPARE(petrol.at(heading + 3).address, 92 + offset);
        QCOMPARE(petrol.at(heading + 3).kind, ParamKind::MessageType);
    }
}

void TestCatalogue::optionTexts_listCodesInOrder_data()
{
    QTest::addColumn<ParamKind>("kind");
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("on/off") << ParamKind::OnOff << QStringList{"выкл.", "вкл."};
    QTest::newRow("language") << ParamKind::Language << QStringList{"англ.", "рус."};
    QTest::newRow("message type") << ParamKind::MessageType
                                  << QStringList{"только аварии", "основн. события", "все события"};
    QTest::newRow("engine type") << ParamKind::EngineType << QStringList{"бензин", "дизель", "сухой контакт"};
    QTest::newRow("access level") << ParamKind::AccessLevel
                                  << QStringList{"выкл.", "информир.", "управление"};
    QTest::newRow("test start mode") << ParamKind::TestStartMode
                                     << QStringList{"выкл.", "без подключ. нагр.", "с подключ. нагр."};
    QTest::newRow("heading") << ParamKind::Group << QStringList{};
    QTest::newRow("number") << ParamKind::Number << QStringList{};
    QTest::newRow("temperature") << ParamKind::Temperature << QStringList{};
    QTest::newRow("read-only") << ParamKind::ReadOnly << QStringList{};
}

void TestCatalogue::optionTexts_listCodesInOrder()
{
    QFETCH(ParamKind, kind);
    QFETCH(QStringList, texts);
    QCOMPARE(OptionTexts(kind), texts);
}

void TestCatalogue::memoryMap_namesTheCataloguesOwnPlaces_data()
{
    QTest::addColumn<int>("address");
    QTest::addColumn<int>("size");
    QTest::addColumn<QString>("path");
    const QString generator = QStringLiteral("Параметры электрогенератора / ");
    const QString gsm = QStringLiteral("Параметры GSM модема / ");
    const QString gprs = gsm + QStringLiteral("GPRS мониторинг / ");
    const QString lastPhone = gsm + QStringLiteral("Телефонный номер 6 / ");
    const auto add = [](const char *name, int address, int size, const QString &path) {
        QTest::newRow(name) << address << size << path;
    };
    using namespace MemoryMap;
    add("engine type", EngineType, 1, "Тип двигателя электрогенератора");
    add("generator low", GeneratorLow, 2, generator + "Напряжение электрогенератора / Нижний порог");
    add("generator high", GeneratorHigh, 2, generator + "Напряжение электрогенератора / Верхний порог");
    add("mains low", MainsLow, 2, "Параметры сети / Напряжение сети / Нижний порог");
    add("mains high", MainsHigh, 2, "Параметры сети / Напряжение сети / Верхний порог");
    add("starter battery low", StarterBatteryLow, 2,
        generator + "Контроль АКБ ГУ / Нижний порог напряжения АКБ ГУ");
    add("UPS low", UpsLow, 2, "Контроль АКБ ИБП / Нижний порог напряжения АКБ ИБП");
    add("UPS high", UpsHigh, 2, "Контроль АКБ ИБП / Верхний порог напряжения АКБ ИБП");
    add("temperature low", TemperatureLow, 1, "Термодатчик / Нижний порог температуры");
    add("mains loss", MainsLossDelay, 2, "Параметры сети / Временные константы / Пропадание сети");
    add("mains return", MainsReturnDelay, 2, "Параметры сети / Временные константы / Появление сети");
    add("warm-up", WarmUp, 2, generator + "Временные константы / Прогрев");
    add("cool-down", CoolDown, 2, generator + "Временные константы / Охлаждение");
    add("low-voltage timeout", LowVoltageTimeout, 1,
        generator + "Напряжение электрогенератора / Таймаут низкого напряжения");
    add("high-voltage timeout", HighVoltageTimeout, 1,
        generator + "Напряжение электрогенератора / Таймаут высокого напряжения");
    add("cranking", LongestCranking, 1, generator + "Запуск электрогенератора / Мах время вращения статера");
    add("attempts", StartAttempts, 1, generator + "Запуск электрогенератора / Количество попыток запуска");
    add("maintenance on", MaintenanceOn, 1, generator + "Проведение ТО / Активность функции");
    add("thermo sensor on", ThermoSensorOn, 1, "Термодатчик / Активность датчика");
    add("starter battery on", StarterBatteryOn, 1, generator + "Контроль АКБ ГУ / Активность функции");
    add("UPS battery on", UpsBatteryOn, 1, "Контроль АКБ ИБП / Активность функции");
    add("work/rest on", WorkRestOn, 1, generator + "Режим работа/отдых / Активность функции");
    add("weekly test on", WeeklyTestOn, 1, generator + "Еженедельный тестовый запуск / Активность функции");
    add("GPRS on", GprsOn, 1, gprs + "Активность функции");
    add("GSM modem on", GsmModemOn, 1, gsm + "Активность GSM модема");
    add("first phone", FirstPhone, PhoneDigits, gsm + "Телефонный номер 1 / Номер абонента");
    const int last = FirstPhone + (PhoneCount - 1) * PhoneSize;
    add("last phone", last, PhoneDigits, lastPhone + "Номер абонента");
    add("last phone's access", last + PhoneAccessLevel, 1, lastPhone + "Активность и уровень доступа");
    add("last phone's messages", last + PhoneMessageType, 1, lastPhone + "Тип отправляемых сообщений");
    add("successful sends", SuccessfulSends, 2, gprs + "Счетчик удачных отправок");
    add("failed sends", FailedSends, 2, gprs + "Счетчик неудачных отправок");
    add("serial number", SerialNumber, SerialNumberSize, "Серийный номер устройства");
    add("login", Login, 16, gprs + "Login");
    add("password", Password, 16, gprs + "Password");
    add("access point", AccessPoint, 32, gprs + "Точка доступа/APN");
}

void TestCatalogue::memoryMap_namesTheCataloguesOwnPlaces()
{
    QFETCH(int, address);
    QFETCH(int, size);
    QFETCH(QString, path);
    ParamModel tree;
    LoadVariantTree(DeviceVariant::Petrol, tree);
    int node = 0;
    while (node < tree.nodeCount() &&
           (tree.row(node).address != address || tree.row(node).kind == ParamKind::Group))
        ++node;
    QCOMPARE(tree.path(node), path);
    QCOMPARE(tree.row(node).size, size);
}

void TestCatalogue::signedLimits_parseAsNumbers_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<double>("value");
    QTest::newRow("+70, C") << "+70" << QLocale::c() << 70.0;
    QTest::newRow("-30, C") << "-30" << QLocale::c() << -30.0;
    QTest::newRow("+70, Russian") << "+70" << QLocale(QLocale::Russian) << 70.0;
    QTest::newRow("-30, Russian") << "-30" << QLocale(QLocale::Russian) << -30.0;
    QTest::newRow("-30, Swedish") << "-30" << QLocale(QLocale::Swedish) << -30.0;
    QTest::newRow("ten digits") << "9999999999" << QLocale::c() << 9999999999.0;
}

void TestCatalogue::signedLimits_parseAsNumbers()
{
    QFETCH(QString, text);
    QFETCH(QLocale, locale);
    QFETCH(double, value);
    double parsed = 0;
    QVERIFY2(ParseDecimal(text, locale, &parsed), qPrintable(text));
    QCOMPARE(parsed, value);
}

QTEST_GUILESS_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
