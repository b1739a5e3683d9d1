#include "monitor/Telemetry.h"

#include <QSet>
#include <QTest>

using namespace gencfg;

namespace {

// A received frame buffer as the dispatcher keeps it: 256 bytes, data from offset 5.
QByteArray rxBuffer(const QList<QPair<int, quint8>> &dataBytes, char fill = '\0')
{
    QByteArray rx(256, fill);
    rx[0] = 1;
    rx[1] = 21;
    rx[4] = 36;
    for (const auto &[index, value] : dataBytes)
        rx[FrameDataOffset + index] = char(value);
    return rx;
}

TelemetryRecord modeStage(quint8 mode, quint8 stage, quint16 timer = 0, quint8 flags1 = 0)
{
    TelemetryRecord r;
    r.Mode = mode;
    r.Stage = stage;
    r.StageTimer = timer;
    r.Flags1 = flags1;
    return r;
}

QString shown(const std::optional<QString> &caption)
{
    return caption ? QStringLiteral("\"%1\"").arg(*caption) : QStringLiteral("<unchanged>");
}

} // namespace

class TestTelemetry : public QObject
{
    Q_OBJECT

private slots:
    void decode_takesEveryFieldFromItsOffset();
    void decode_signedFields_data();
    void decode_signedFields();
    void decode_voltageCodes_data();
    void decode_voltageCodes();
    void decode_neverReadsPastTheGivenBuffer();
    void decode_shortByteArrayReadsMissingBytesAsZero();
    void decode_fixedArrayStartsAtTheDataOffset();

    void stageTimer_data();
    void stageTimer();
    void statusCaption_data();
    void statusCaption();
    void registrationCaption_data();
    void registrationCaption();

    void modeDisplay_data();
    void modeDisplay();
    void blinkEffect_data();
    void blinkEffect();

    void signalDbm_data();
    void signalDbm();
    void shownSignal_data();
    void shownSignal();
    void hoursMinutes_data();
    void hoursMinutes();
    void clockText_data();
    void clockText();
    void batteryVolts();

    void flagTable_coversEveryBitOnce();
    void flagTable_readsTheRightByteAndBit();
};

void TestTelemetry::decode_takesEveryFieldFromItsOffset()
{
    const QByteArray rx =
        rxBuffer({{0, 201},   {1, 0xEE},  {2, 0x21},  {3, 0x84},  {4, 2},     {5, 22},    {6, 0x01},
                  {7, 0x2C},  {8, 170},   {9, 171},   {10, 172},  {11, 173},  {12, 0xEE}, {15, 0x00},
                  {16, 136},  {17, 0x00}, {18, 245},  {19, 0xEE}, {21, 0x00}, {22, 0x00}, {23, 0x02},
                  {24, 0xDD}, {25, 0x01}, {26, 0x02}, {27, 0x09}, {28, 0x05}, {29, 0x30}, {30, 17},
                  {31, 5},    {32, 23},   {33, 24},   {34, 25},   {35, 26}});
    const TelemetryRecord r = DecodeStatusFrame(rx);
    QCOMPARE(r.VariantCode, quint8(201));
    QCOMPARE(r.Flags1, quint8(0x21));
    QCOMPARE(r.Flags2, quint8(0x84));
    QCOMPARE(r.Mode, quint8(2));
    QCOMPARE(r.Stage, quint8(22));
    QCOMPARE(r.StageTimer, quint16(300));
    QCOMPARE(r.VoltageGU, quint16(220));
    QCOMPARE(r.VoltageA, quint16(221));
    QCOMPARE(r.VoltageB, quint16(222));
    QCOMPARE(r.VoltageC, quint16(223));
    QCOMPARE(r.AccVoltage, quint16(136));
    QCOMPARE(r.UpsVoltage, quint16(245));
    QCOMPARE(r.MotoclockMinutes, 733);
    QCOMPARE(r.MaintenanceMinutes, quint16(258));
    QCOMPARE(r.ClockHours, quint8(0x09));
    QCOMPARE(r.ClockMinutes, quint8(0x05));
    QCOMPARE(r.ClockSeconds, quint8(0x30));
    QCOMPARE(r.SignalQuality, quint8(17));
    QCOMPARE(r.Registration, quint8(5));
    QCOMPARE(r.Temperature1, qint8(23));
    QCOMPARE(r.Temperature2, qint8(24));
    QCOMPARE(r.Temperature3, qint8(25));
    QCOMPARE(r.Temperature4, qint8(26));
}

void TestTelemetry::decode_signedFields_data()
{
    QTest::addColumn<quint32>("motoclockBytes");
    QTest::addColumn<quint8>("temperatureByte");
    QTest::addColumn<quint32>("motoclock");
    QTest::addColumn<qint8>("temperature");

    // The engine-hour counter is unsigned: only the temperatures carry a sign.
    QTest::newRow("all bits set") << 0xFFFFFFFFu << quint8(0xFF) << 0xFFFFFFFFu << qint8(-1);
    QTest::newRow("minus ten degrees") << 0x00000000u << quint8(0xF6) << 0u << qint8(-10);
    QTest::newRow("top bit only") << 0x80000000u << quint8(0x80) << 0x80000000u << qint8(-128);
    QTest::newRow("below the top bit") << 0x7FFFFFFFu << quint8(0x7F) << 0x7FFFFFFFu << qint8(127);
}

void TestTelemetry::decode_signedFields()
{
    QFETCH(quint32, motoclockBytes);
    QFETCH(quint8, temperatureByte);
    QFETCH(quint32, motoclock);
    QFETCH(qint8, temperature);

    QList<QPair<int, quint8>> bytes;
    for (int i = 0; i < 4; ++i)
        bytes.append({21 + i, quint8(motoclockBytes >> (24 - 8 * i))});
    for (int sensor = 0; sensor < 4; ++sensor)
        bytes.append({32 + sensor, temperatureByte});
    const TelemetryRecord r = DecodeStatusFrame(rxBuffer(bytes));
    QCOMPARE(qint64(r.MotoclockMinutes), qint64(motoclock));
    QCOMPARE(r.Temperature1, temperature);
    QCOMPARE(r.Temperature2, temperature);
    QCOMPARE(r.Temperature3, temperature);
    QCOMPARE(r.Temperature4, temperature);
}

void TestTelemetry::decode_voltageCodes_data()
{
    QTest::addColumn<quint8>("code");
    QTest::addColumn<quint16>("volts");

    QTest::newRow("49 is no voltage") << quint8(49) << quint16(0);
    QTest::newRow("50 is 100 V") << quint8(50) << quint16(100);
    QTest::newRow("170 is 220 V") << quint8(170) << quint16(220);
    QTest::newRow("205 is 255 V") << quint8(205) << quint16(255);
    QTest::newRow("255 is 305 V") << quint8(255) << quint16(305);
}

void TestTelemetry::decode_voltageCodes()
{
    QFETCH(quint8, code);
    QFETCH(quint16, volts);

    const TelemetryRecord r = DecodeStatusFrame(rxBuffer({{8, code}, {9, code}, {10, code}, {11, code}}));
    QCOMPARE(r.VoltageGU, volts);
    QCOMPARE(r.VoltageA, volts);
    QCOMPARE(r.VoltageB, volts);
    QCOMPARE(r.VoltageC, volts);
}

void TestTelemetry::decode_neverReadsPastTheGivenBuffer()
{
    // Bytes beyond `available` are poisoned; none of them may show up in the record.
    QByteArray memory(64, char(0xAA));
    const auto *data = reinterpret_cast<const quint8 *>(memory.constData());

    const TelemetryRecord r = DecodeStatusFrame(data, 8);
    QCOMPARE(r.Stage, quint8(0xAA));
    QCOMPARE(r.StageTimer, quint16(0xAAAA));
    QCOMPARE(r.VoltageGU, quint16(0));
    QCOMPARE(r.MotoclockMinutes, 0);
    QCOMPARE(r.Temperature4, qint8(0));

    const TelemetryRecord split = DecodeStatusFrame(data, 7);
    QVERIFY2(split.StageTimer == 0xAA00, qPrintable(QStringLiteral("a two-byte field cut by the end reads "
                                                                   "0xAA00, got 0x%1")
                                                        .arg(split.StageTimer, 4, 16, QLatin1Char('0'))));

    const TelemetryRecord none = DecodeStatusFrame(data, 0);
    QCOMPARE(none.VariantCode, quint8(0));
}

void TestTelemetry::decode_shortByteArrayReadsMissingBytesAsZero()
{
    // A whole 256-byte buffer holds all 36 data bytes, so the last one is read from it.
    const QByteArray full = rxBuffer({{35, 0xF6}}, char(0x11));
    QCOMPARE(DecodeStatusFrame(full).Temperature4, qint8(-10));

    const QByteArray shortRx = full.left(FrameDataOffset + 10);
    const TelemetryRecord r = DecodeStatusFrame(shortRx);
    QCOMPARE(r.Flags1, quint8(0x11));
    QCOMPARE(r.VoltageC, quint16(0));
    QCOMPARE(r.Temperature4, qint8(0));

    const TelemetryRecord headerOnly = DecodeStatusFrame(full.left(3));
    QCOMPARE(headerOnly.VariantCode, quint8(0));
}

void TestTelemetry::decode_fixedArrayStartsAtTheDataOffset()
{
    std::array<quint8, 256> rx{};
    rx[FrameDataOffset] = 202;
    rx[FrameDataOffset + 35] = 0xF6;
    const TelemetryRecord r = DecodeStatusFrame(rx);
    QCOMPARE(r.VariantCode, quint8(202));
    QCOMPARE(r.Temperature4, qint8(-10));

    // Only 20 data bytes fit: the temperatures lie beyond the array.
    std::array<quint8, FrameDataOffset + 20> shortRx{};
    shortRx.fill(0x33);
    const TelemetryRecord cut = DecodeStatusFrame(shortRx);
    QCOMPARE(cut.UpsVoltage, quint16(0x3333));
    QCOMPARE(cut.Temperature1, qint8(0));
}

void TestTelemetry::stageTimer_data()
{
    QTest::addColumn<quint16>("seconds");
    QTest::addColumn<QString>("text");

    QTest::newRow("zero") << quint16(0) << "00:00:00";
    QTest::newRow("ninety seconds") << quint16(90) << "00:01:30";
    QTest::newRow("one hour less a second") << quint16(3599) << "00:59:59";
    QTest::newRow("one hour") << quint16(3600) << "01:00:00";
    QTest::newRow("largest timer") << quint16(65535) << "18:12:15";
}

void TestTelemetry::stageTimer()
{
    QFETCH(quint16, seconds);
    QFETCH(QString, text);
    QCOMPARE(FormatStageTimer(seconds), text);
}

void TestTelemetry::statusCaption_data()
{
    QTest::addColumn<quint8>("mode");
    QTest::addColumn<quint8>("stage");
    QTest::addColumn<quint16>("timer");
    QTest::addColumn<bool>("changes");
    QTest::addColumn<QString>("caption");

    const QString nl = QStringLiteral("\n\r");
    QTest::newRow("mains") << quint8(2) << quint8(0) << quint16(90) << true << "Питание от сети";
    QTest::newRow("mains lost with timer")
        << quint8(2) << quint8(1) << quint16(90) << true << "Пропадание сети" + nl + "00:01:30";
    QTest::newRow("mains lost, longest timer")
        << quint8(2) << quint8(1) << quint16(65535) << true << "Пропадание сети" + nl + "18:12:15";
    QTest::newRow("mains back again as stage 7")
        << quint8(2) << quint8(7) << quint16(5) << true << "Появление сети" + nl + "00:00:05";
    QTest::newRow("stop without timer") << quint8(2) << quint8(9) << quint16(90) << true << "Останов ГУ";
    QTest::newRow("cooling nl") << quint8(2) << quint8(11) << quint16(61) << true
                                << "Охлаждение ГУ nl" + nl + "00:01:01";
    QTest::newRow("alarm on two lines")
        << quint8(2) << quint8(14) << quint16(0) << true << "Авария:" + nl + "нет запуска ГУ";
    QTest::newRow("voltage low") << quint8(2) << quint8(22) << quint16(3600) << true
                                 << "Uгу ниже нормы" + nl + "01:00:00";
    QTest::newRow("standby, last stage")
        << quint8(2) << quint8(26) << quint16(1) << true << "Режим ожидания" + nl + "00:00:01";
    QTest::newRow("start: starter, attempt 2")
        << quint8(2) << quint8(3) << quint16(0x0104) << true << "Запуск ГУ" + nl + "стартер  N:2";
    QTest::newRow("start: stop step, attempt 1")
        << quint8(2) << quint8(3) << quint16(0x0000) << true << "Запуск ГУ" + nl + "останов  N:1";
    QTest::newRow("start: valve") << quint8(2) << quint8(3) << quint16(0x0201) << true
                                  << "Запуск ГУ" + nl + "клапан   N:3";
    QTest::newRow("start: last known step")
        << quint8(2) << quint8(3) << quint16(0x0006) << true << "Запуск ГУ" + nl + "заслонка N:1";
    QTest::newRow("start: unknown step 7")
        << quint8(2) << quint8(3) << quint16(0x0007) << true << "Запуск ГУ" + nl + "N:1";
    QTest::newRow("start: unknown step 9, attempt 5")
        << quint8(2) << quint8(3) << quint16(0x0409) << true << "Запуск ГУ" + nl + "N:5";
    QTest::newRow("start: attempt 256")
        << quint8(2) << quint8(3) << quint16(0xFF04) << true << "Запуск ГУ" + nl + "стартер  N:256";
    QTest::newRow("unknown stage 27") << quint8(2) << quint8(27) << quint16(0) << false << QString();
    QTest::newRow("unknown stage 255") << quint8(2) << quint8(255) << quint16(0) << false << QString();
    QTest::newRow("manual hides stage") << quint8(1) << quint8(5) << quint16(90) << true << "Ручной режим";
    QTest::newRow("manual with unknown stage")
        << quint8(1) << quint8(200) << quint16(0) << true << "Ручной режим";
    QTest::newRow("mode 0 keeps caption") << quint8(0) << quint8(5) << quint16(0) << false << QString();
    QTest::newRow("mode 3 keeps caption") << quint8(3) << quint8(0) << quint16(0) << false << QString();
}

void TestTelemetry::statusCaption()
{
    QFETCH(quint8, mode);
    QFETCH(quint8, stage);
    QFETCH(quint16, timer);
    QFETCH(bool, changes);
    QFETCH(QString, caption);

    const std::optional<QString> actual = StatusCaption(modeStage(mode, stage, timer));
    const std::optional<QString> expected = changes ? std::optional<QString>(caption) : std::nullopt;
    QVERIFY2(actual == expected,
             qPrintable(QStringLiteral("expected %1, got %2").arg(shown(expected), shown(actual))));
}

void TestTelemetry::registrationCaption_data()
{
    QTest::addColumn<quint8>("registration");
    QTest::addColumn<bool>("changes");
    QTest::addColumn<QString>("caption");

    QTest::newRow("0 not searching") << quint8(0) << true
                                     << QStringLiteral("Не зарегистрирован.\n\rПоиск сети не ведется");
    QTest::newRow("1 home") << quint8(1) << true << QStringLiteral("Зарегистрирован\n\rв домашней сети");
    QTest::newRow("2 searching") << quint8(2) << true << QStringLiteral("Не зарегистрирован\n\rПоиск сети");
    QTest::newRow("3 denied") << quint8(3) << true << QStringLiteral("Регистрация отклонена");
    QTest::newRow("4 unknown") << quint8(4) << true << QStringLiteral("Хер значет че происходит");
    QTest::newRow("5 roaming") << quint8(5) << true << QStringLiteral("Зарегистрирован\n\rв роуминге");
    QTest::newRow("6 keeps caption") << quint8(6) << false << QString();
    QTest::newRow("255 keeps caption") << quint8(255) << false << QString();
}

void TestTelemetry::registrationCaption()
{
    QFETCH(quint8, registration);
    QFETCH(bool, changes);
    QFETCH(QString, caption);

    const std::optional<QString> actual = RegistrationCaption(registration);
    const std::optional<QString> expected = changes ? std::optional<QString>(caption) : std::nullopt;
    QVERIFY2(actual == expected,
             qPrintable(QStringLiteral("expected %1, got %2").arg(shown(expected), shown(actual))));
}

void TestTelemetry::modeDisplay_data()
{
    QTest::addColumn<quint8>("mode");
    QTest::addColumn<quint8>("flags1");
    QTest::addColumn<int>("display");
    QTest::addColumn<QString>("caption");

    QTest::newRow("manual ignores semi flag")
        << quint8(1) << quint8(0x20) << int(ModeDisplay::Manual) << "Ручной";
    QTest::newRow("auto") << quint8(2) << quint8(0xDF) << int(ModeDisplay::Auto) << "Авто";
    QTest::newRow("semi-auto by bit 5")
        << quint8(2) << quint8(0x20) << int(ModeDisplay::Semiauto) << "Полуавто";
    QTest::newRow("mode 0 unchanged") << quint8(0) << quint8(0x20) << int(ModeDisplay::Unchanged) << "";
    QTest::newRow("mode 3 unchanged") << quint8(3) << quint8(0) << int(ModeDisplay::Unchanged) << "";
}

void TestTelemetry::modeDisplay()
{
    QFETCH(quint8, mode);
    QFETCH(quint8, flags1);
    QFETCH(int, display);
    QFETCH(QString, caption);

    const ModeDisplay actual = ModeDisplayFor(modeStage(mode, 0, 0, flags1));
    QCOMPARE(int(actual), display);
    QCOMPARE(ModeDisplayCaption(actual), caption);
}

void TestTelemetry::blinkEffect_data()
{
    QTest::addColumn<quint8>("mode");
    QTest::addColumn<quint8>("stage");
    QTest::addColumn<int>("effect");

    QTest::newRow("voltage low starts") << quint8(2) << quint8(22) << int(GeneratorBlinkEffect::Start);
    QTest::newRow("voltage high starts") << quint8(2) << quint8(23) << int(GeneratorBlinkEffect::Start);
    QTest::newRow("running stops") << quint8(2) << quint8(5) << int(GeneratorBlinkEffect::Stop);
    QTest::newRow("stage 9 keeps blinking") << quint8(2) << quint8(9) << int(GeneratorBlinkEffect::None);
    QTest::newRow("alarm 24 keeps blinking") << quint8(2) << quint8(24) << int(GeneratorBlinkEffect::None);
    QTest::newRow("manual stage 22 nothing") << quint8(1) << quint8(22) << int(GeneratorBlinkEffect::None);
    QTest::newRow("manual stage 5 nothing") << quint8(1) << quint8(5) << int(GeneratorBlinkEffect::None);
    QTest::newRow("mode 0 stage 5 nothing") << quint8(0) << quint8(5) << int(GeneratorBlinkEffect::None);
}

void TestTelemetry::blinkEffect()
{
    QFETCH(quint8, mode);
    QFETCH(quint8, stage);
    QFETCH(int, effect);
    QCOMPARE(int(GeneratorBlinkEffectFor(modeStage(mode, stage))), effect);
}

void TestTelemetry::signalDbm_data()
{
    QTest::addColumn<quint8>("quality");
    QTest::addColumn<int>("dbm");

    QTest::newRow("0 weakest") << quint8(0) << -113;
    QTest::newRow("15") << quint8(15) << -83;
    QTest::newRow("31 strongest") << quint8(31) << -51;
    QTest::newRow("32 out of range") << quint8(32) << -113;
    QTest::newRow("99 not measurable") << quint8(99) << -113;
    QTest::newRow("255") << quint8(255) << -113;
}

void TestTelemetry::signalDbm()
{
    QFETCH(quint8, quality);
    QFETCH(int, dbm);
    QCOMPARE(SignalDbm(quality), dbm);
}

void TestTelemetry::shownSignal_data()
{
    QTest::addColumn<quint8>("quality");
    QTest::addColumn<QVariant>("dbm"); // null: shown as no data

    QTest::newRow("0 weakest") << quint8(0) << QVariant(-113);
    QTest::newRow("31 strongest") << quint8(31) << QVariant(-51);
    QTest::newRow("32 out of range") << quint8(32) << QVariant(-113);
    QTest::newRow("98 out of range") << quint8(98) << QVariant(-113);
    QTest::newRow("99 unknown") << quint8(99) << QVariant();
    QTest::newRow("255") << quint8(255) << QVariant(-113);
}

void TestTelemetry::shownSignal()
{
    QFETCH(quint8, quality);
    QFETCH(QVariant, dbm);
    const std::optional<int> shown = ShownSignalDbm(quality);
    QCOMPARE(shown.has_value(), dbm.isValid());
    if (shown)
        QCOMPARE(*shown, dbm.toInt());
}

void TestTelemetry::hoursMinutes_data()
{
    QTest::addColumn<qint64>("minutes");
    QTest::addColumn<QString>("text");

    QTest::newRow("733 minutes") << qint64(733) << "12ч 13м";
    QTest::newRow("59 minutes") << qint64(59) << "0ч 59м";
    QTest::newRow("zero") << qint64(0) << "0ч 0м";
    QTest::newRow("whole hours") << qint64(120) << "2ч 0м";
    QTest::newRow("largest maintenance count") << qint64(65535) << "1092ч 15м";
    QTest::newRow("negative counter truncates") << qint64(-733) << "-12ч -13м";
    QTest::newRow("minus one minute") << qint64(-1) << "0ч -1м";
    QTest::newRow("most negative counter") << qint64(std::numeric_limits<qint32>::min()) << "-35791394ч -8м";
}

void TestTelemetry::hoursMinutes()
{
    QFETCH(qint64, minutes);
    QFETCH(QString, text);
    QCOMPARE(HoursMinutesText(minutes), text);
}

void TestTelemetry::clockText_data()
{
    QTest::addColumn<quint8>("hours");
    QTest::addColumn<quint8>("minutes");
    QTest::addColumn<quint8>("seconds");
    QTest::addColumn<QString>("text");

    QTest::newRow("leading zeros kept") << quint8(0x09) << quint8(0x05) << quint8(0x30) << "09:05:30";
    QTest::newRow("end of day") << quint8(0x23) << quint8(0x59) << quint8(0x59) << "23:59:59";
    QTest::newRow("digits above 9 show dashes") << quint8(0xFF) << quint8(0x0A) << quint8(0x00) << "--:--:00";
    QTest::newRow("every field impossible") << quint8(0xFF) << quint8(0x1A) << quint8(0x99) << "--:--:--";
    QTest::newRow("hour 24") << quint8(0x24) << quint8(0x00) << quint8(0x00) << "--:00:00";
    QTest::newRow("minute 60 and second 61") << quint8(0x23) << quint8(0x60) << quint8(0x61) << "23:--:--";
}

void TestTelemetry::clockText()
{
    QFETCH(quint8, hours);
    QFETCH(quint8, minutes);
    QFETCH(quint8, seconds);
    QFETCH(QString, text);

    const TelemetryRecord r = DecodeStatusFrame(rxBuffer({{27, hours}, {28, minutes}, {29, seconds}}));
    QCOMPARE(ClockText(r), text);
}

void TestTelemetry::batteryVolts()
{
    const TelemetryRecord r = DecodeStatusFrame(rxBuffer({{15, 0}, {16, 136}, {17, 0x01}, {18, 0x00}}));
    QCOMPARE(TenthsToVolts(r.AccVoltage), 13.6);
    QCOMPARE(TenthsToVolts(r.UpsVoltage), 25.6);
    QCOMPARE(TenthsToVolts(245), 24.5);
}

void TestTelemetry::flagTable_coversEveryBitOnce()
{
    const QList<StatusFlag> &flags = StatusFlags();
    QCOMPARE(flags.size(), 13);
    QSet<int> bits;
    QSet<QString> keys;
    for (const StatusFlag &flag : flags) {
        QVERIFY2(flag.byte() == 1 || flag.byte() == 2, qPrintable(flag.key));
        QVERIFY2(!(flag.byte() == 1 && flag.bit() >= int(StatusFrameMap::Flag::SemiAuto)),
                 qPrintable(flag.key + " uses a bit "
                                       "without a LED"));
        bits.insert(flag.byte() * 8 + flag.bit());
        keys.insert(flag.key);
        QVERIFY2(!flag.caption.isEmpty(), qPrintable(flag.key));
    }
    QCOMPARE(bits.size(), 13);
    QCOMPARE(keys.size(), 13);
}

void TestTelemetry::flagTable_readsTheRightByteAndBit()
{
    const QList<StatusFlag> &flags = StatusFlags();
    auto find = [&](const QString &key) {
        for (const StatusFlag &flag : flags)
            if (flag.key == key)
                return flag;
        return StatusFlag{};
    };

    TelemetryRecord r;
    r.Flags1 = 0x01;
    r.Flags2 = 0x80;
    const StatusFlag threeLine = find(QStringLiteral("three_line"));
    const StatusFlag thermo = find(QStringLiteral("thermo"));
    const StatusFlag to = find(QStringLiteral("to"));
    QCOMPARE(threeLine.caption, QStringLiteral("3ф сеть"));
    QCOMPARE(thermo.caption, QStringLiteral("Термодатчик"));
    QVERIFY(IsFlagSet(r, threeLine));
    QVERIFY(IsFlagSet(r, thermo));
    QVERIFY2(!IsFlagSet(r, to), "Flags1 bit 0 must not light the Flags2 bit 0 LED");

    int lit = 0;
    for (const StatusFlag &flag : flags)
        lit += IsFlagSet(r, flag) ? 1 : 0;
    QCOMPARE(lit, 2);

    r.Flags1 = 0xE0; // semi-automatic and the two uninterpreted bits
    r.Flags2 = 0;
    for (const StatusFlag &flag : flags)
        QVERIFY2(!IsFlagSet(r, flag), qPrintable(flag.key + " lit by a bit it does not own"));
}

QTEST_APPLESS_MAIN(TestTelemetry)
#include "tst_telemetry.moc"
