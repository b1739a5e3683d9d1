#include "monitor/Telemetry.h"

#include "link/FrameCodec.h"

#include <QCoreApplication>

namespace gencfg {

namespace {

struct StageText
{
    const char *text;
    bool withTimer;
};

// Indexed by stage; stage 3 is built separately from its start step.
constexpr StageText StageTexts[] = {
    {QT_TRANSLATE_NOOP("Telemetry", "Питание от сети"), false},
    {QT_TRANSLATE_NOOP("Telemetry", "Пропадание сети\n\r"), true},
    {QT_TRANSLATE_NOOP("Telemetry", "Появление сети\n\r"), true},
    {QT_TRANSLATE_NOOP("Telemetry", "Запуск ГУ\n\r"), false},
    {QT_TRANSLATE_NOOP("Telemetry", "Прогрев ГУ\n\r"), true},
    {QT_TRANSLATE_NOOP("Telemetry", "Работа ГУ\n\r"), true},
    {QT_TRANSLATE_NOOP("Telemetry", "Отдых ГУ\n\r"), true},
    {QT_TRANSLATE_NOOP("Telemetry", "Появление сети\n\r"), true},
    {QT_TRANSLATE_NOOP("Telemetry", "Охлаждение ГУ\n\r"), true},
    {QT_TRANSLATE_NOOP("Telemetry", "Останов ГУ"), false},
    {QT_TRANSLATE_NOOP("Telemetry", "Работа ИБП\n\r"), true},
    {QT_TRANSLATE_NOOP("Telemetry", "Охлаждение ГУ nl\n\r"), true},
    {QT_TRANSLATE_NOOP("Telemetry", "Останов ГУ nl"), false},
    {QT_TRANSLATE_NOOP("Telemetry", "Короткое замыкание"), false},
    {QT_TRANSLATE_NOOP("Telemetry", "Авария:\n\rнет запуска ГУ"), false},
    {QT_TRANSLATE_NOOP("Telemetry", "Авария:\n\rразряд АКБ ГУ"), false},
    {QT_TRANSLATE_NOOP("Telemetry", "Авария:\n\rпроизвольный останов ГУ"), false},
    {QT_TRANSLATE_NOOP("Telemetry", "Авария:\n\rнет останова ГУ"), false},
    {QT_TRANSLATE_NOOP("Telemetry", "Авария:\n\rнет импульсов магнето"), false},
    {QT_TRANSLATE_NOOP("Telemetry", "Авария:\n\rнет напряжения альтернатора"), false},
    {QT_TRANSLATE_NOOP("Telemetry", "Авария:\n\rчастота ГУ вне диапазона"), false},
    {QT_TRANSLATE_NOOP("Telemetry", "Авария:\n\rкороткое замыкание"), false},
    {QT_TRANSLATE_NOOP("Telemetry", "Uгу ниже нормы\n\r"), true},
    {QT_TRANSLATE_NOOP("Telemetry", "Uгу выше нормы\n\r"), true},
    {QT_TRANSLATE_NOOP("Telemetry", "Авария:\n\rUгу ниже нормы"), false},
    {QT_TRANSLATE_NOOP("Telemetry", "Авария:\n\rUгу выше нормы"), false},
    {QT_TRANSLATE_NOOP("Telemetry", "Режим ожидания\n\r"), true},
};
constexpr int StageCount = int(sizeof(StageTexts) / sizeof(StageTexts[0]));

// Each nine characters long so the attempt number lines up.
constexpr const char *StartStepTexts[] = {
    QT_TRANSLATE_NOOP("Telemetry", "останов  "), QT_TRANSLATE_NOOP("Telemetry", "клапан   "),
    QT_TRANSLATE_NOOP("Telemetry", "заслонка "), QT_TRANSLATE_NOOP("Telemetry", "заслонка "),
    QT_TRANSLATE_NOOP("Telemetry", "стартер  "), QT_TRANSLATE_NOOP("Telemetry", "заслонка "),
    QT_TRANSLATE_NOOP("Telemetry", "заслонка "),
};
constexpr int StartStepCount = int(sizeof(StartStepTexts) / sizeof(StartStepTexts[0]));

constexpr const char *RegistrationTexts[] = {
    QT_TRANSLATE_NOOP("Telemetry", "Не зарегистрирован.\n\rПоиск сети не ведется"),
    QT_TRANSLATE_NOOP("Telemetry", "Зарегистрирован\n\rв домашней сети"),
    QT_TRANSLATE_NOOP("Telemetry", "Не зарегистрирован\n\rПоиск сети"),
    QT_TRANSLATE_NOOP("Telemetry", "Регистрация отклонена"),
    QT_TRANSLATE_NOOP("Telemetry", "Хер значет че происходит"),
    QT_TRANSLATE_NOOP("Telemetry", "Зарегистрирован\n\rв роуминге"),
};
constexpr int RegistrationCount = int(sizeof(RegistrationTexts) / sizeof(RegistrationTexts[0]));

QString generatorStartCaption(quint16 stageTimer, TextUse use)
{
    const int step = stageTimer & 0xFF;
    const int attempt = (stageTimer >> 8) + 1;
    QString caption = TextFor("Telemetry", StageTexts[StageCode::Starting].text, use);
    if (step < StartStepCount)
        caption += TextFor("Telemetry", StartStepTexts[step], use);
    return caption + QStringLiteral("N:") + QString::number(attempt);
}

} // namespace

quint16 VoltageCode(quint8 b)
{
    return b < 50 ? 0 : quint16(b + 50);
}

TelemetryRecord DecodeStatusFrame(const quint8 *data, int available)
{
    auto u8 = [&](int i) -> quint8 { return i < available ? data[i] : 0; };
    auto u16 = [&](int i) -> quint16 { return quint16((u8(i) << 8) | u8(i + 1)); };

    using namespace StatusFrameMap;
    TelemetryRecord r;
    r.VariantCode = u8(VariantCode);
    r.Flags1 = u8(Flags1);
    r.Flags2 = u8(Flags2);
    r.Mode = u8(Mode);
    r.Stage = u8(Stage);
    r.StageTimer = u16(StageTimer);
    r.VoltageGU = VoltageCode(u8(GeneratorVoltage));
    r.VoltageA = VoltageCode(u8(PhaseA));
    r.VoltageB = VoltageCode(u8(PhaseB));
    r.VoltageC = VoltageCode(u8(PhaseC));
    r.AccVoltage = u16(StarterBattery);
    r.UpsVoltage = u16(UpsBattery);
    r.MotoclockMinutes = (quint32(u16(EngineMinutes)) << 16) | u16(EngineMinutes + 2);
    r.MaintenanceMinutes = u16(MaintenanceMinutes);
    r.ClockHours = u8(ClockHours);
    r.ClockMinutes = u8(ClockMinutes);
    r.ClockSeconds = u8(ClockSeconds);
    r.SignalQuality = u8(SignalQuality);
    r.Registration = u8(Registration);
    r.Temperature1 = qint8(u8(FirstTemperature));
    r.Temperature2 = qint8(u8(FirstTemperature + 1));
    r.Temperature3 = qint8(u8(FirstTemperature + 2));
    r.Temperature4 = qint8(u8(FirstTemperature + 3));
    return r;
}

TelemetryRecord DecodeStatusFrame(const QByteArray &rxBytes)
{
    const int available = qMax(0, int(rxBytes.size()) - FrameDataOffset);
    const auto *data = reinterpret_cast<const quint8 *>(rxBytes.constData());
    return DecodeStatusFrame(available > 0 ? data + FrameDataOffset : data, available);
}

QString FormatStageTimer(quint16 seconds)
{
    return ZeroPad(seconds / 3600, 2) + QLatin1Char(':') + ZeroPad(seconds % 3600 / 60, 2) +
           QLatin1Char(':') + ZeroPad(seconds % 60, 2);
}

std::optional<QString> StatusCaption(const TelemetryRecord &record, TextUse use)
{
    if (record.Mode == StatusFrameMap::ManualMode)
        return TextFor("Telemetry", QT_TRANSLATE_NOOP("Telemetry", "Ручной режим"), use);
    if (record.Mode != StatusFrameMap::AutomaticMode || record.Stage >= StageCount)
        return std::nullopt;
    if (record.Stage == StageCode::Starting)
        return generatorStartCaption(record.StageTimer, use);
    const StageText &stage = StageTexts[record.Stage];
    QString caption = TextFor("Telemetry", stage.text, use);
    if (stage.withTimer)
        caption += FormatStageTimer(record.StageTimer);
    return caption;
}

std::optional<QString> RegistrationCaption(quint8 registration)
{
    if (registration >= RegistrationCount)
        return std::nullopt;
    return QCoreApplication::translate("Telemetry", RegistrationTexts[registration]);
}

QString ClockText(const TelemetryRecord &record)
{
    return BcdFieldText(record.ClockHours, BcdField::Hour) + QLatin1Char(':') +
           BcdFieldText(record.ClockMinutes, BcdField::Minute) + QLatin1Char(':') +
           BcdFieldText(record.ClockSeconds, BcdField::Second);
}

bool IsClockValid(const TelemetryRecord &record)
{
    return BcdFieldValue(record.ClockHours, BcdField::Hour) &&
           BcdFieldValue(record.ClockMinutes, BcdField::Minute) &&
           BcdFieldValue(record.ClockSeconds, BcdField::Second);
}

QString HoursMinutesText(qint64 minutes)
{
    // Truncating division: a negative count shows both parts negative.
    return QCoreApplication::translate("Telemetry", "%1ч %2м").arg(minutes / 60).arg(minutes % 60);
}

quint8 UsableSignalQuality(quint8 quality)
{
    return quality > 31 ? 0 : quality;
}

int SignalDbm(quint8 quality)
{
    return 2 * UsableSignalQuality(quality) - 113;
}

std::optional<int> ShownSignalDbm(quint8 quality)
{
    if (quality == SignalQualityUnknown)
        return std::nullopt;
    return SignalDbm(quality);
}

double TenthsToVolts(quint16 tenths)
{
    return tenths / 10.0;
}

const RecordValue GaugedValues[10] = {
    [](const TelemetryRecord &r) -> double { return r.VoltageA; },
    [](const TelemetryRecord &r) -> double { return r.VoltageB; },
    [](const TelemetryRecord &r) -> double { return r.VoltageC; },
    [](const TelemetryRecord &r) -> double { return r.VoltageGU; },
    [](const TelemetryRecord &r) { return TenthsToVolts(r.AccVoltage); },
    [](const TelemetryRecord &r) { return TenthsToVolts(r.UpsVoltage); },
    [](const TelemetryRecord &r) -> double { return r.Temperature1; },
    [](const TelemetryRecord &r) -> double { return r.Temperature2; },
    [](const TelemetryRecord &r) -> double { return r.Temperature3; },
    [](const TelemetryRecord &r) -> double { return r.Temperature4; },
};

ModeDisplay ModeDisplayFor(const TelemetryRecord &record)
{
    switch (record.Mode) {
    case StatusFrameMap::ManualMode:
        return ModeDisplay::Manual;
    case StatusFrameMap::AutomaticMode:
        return IsFlagSet(record, StatusFrameMap::Flag::SemiAuto) ? ModeDisplay::Semiauto : ModeDisplay::Auto;
    default:
        return ModeDisplay::Unchanged;
    }
}

QString ModeDisplayCaption(ModeDisplay mode)
{
    switch (mode) {
    case ModeDisplay::Manual:
        return QCoreApplication::translate("Telemetry", "Ручной");
    case ModeDisplay::Auto:
        return QCoreApplication::translate("Telemetry", "Авто");
    case ModeDisplay::Semiauto:
        return QCoreApplication::translate("Telemetry", "Полуавто");
    case ModeDisplay::Unchanged:
        break;
    }
    return {};
}

GeneratorBlinkEffect GeneratorBlinkEffectFor(const TelemetryRecord &record)
{
    if (record.Mode != StatusFrameMap::AutomaticMode)
        return GeneratorBlinkEffect::None;
    if (record.Stage == StageCode::LowVoltage || record.Stage == StageCode::HighVoltage)
        return GeneratorBlinkEffect::Start;
    if (record.Stage == StageCode::Running)
        return GeneratorBlinkEffect::Stop;
    return GeneratorBlinkEffect::None;
}

const QList<StatusFlag> &StatusFlags()
{
    using StatusFrameMap::Flag;
    const auto flag = [](Flag bit, const char *key, const char *caption) {
        return StatusFlag{bit, QLatin1String(key), QString::fromUtf8(caption)};
    };
    static const QList<StatusFlag> flags = {
        flag(Flag::ThreePhase, "three_line", QT_TRANSLATE_NOOP("Telemetry", "3ф сеть")),
        flag(Flag::RemoteStart, "direct_start", QT_TRANSLATE_NOOP("Telemetry", "дистанц. запуск")),
        flag(Flag::TestStart, "smart_start", QT_TRANSLATE_NOOP("Telemetry", "тестовый запуск")),
        flag(Flag::GeneratorFrequency, "gu_freq", QT_TRANSLATE_NOOP("Telemetry", "частота ГУ")),
        flag(Flag::Gprs, "gprs", QT_TRANSLATE_NOOP("Telemetry", "GPRS")),
        flag(Flag::Maintenance, "to", QT_TRANSLATE_NOOP("Telemetry", "Период ТО")),
        flag(Flag::StarterBattery, "acc_voltage_control", QT_TRANSLATE_NOOP("Telemetry", "АКБ ГУ")),
        flag(Flag::UpsBattery, "ups_voltage_control", QT_TRANSLATE_NOOP("Telemetry", "АКБ ИБП")),
        flag(Flag::WorkRest, "work_sleep", QT_TRANSLATE_NOOP("Telemetry", "Работа/отдых")),
        flag(Flag::WeeklyTest, "test_start", QT_TRANSLATE_NOOP("Telemetry", "Еженедельный")),
        flag(Flag::ShortCircuitControl, "short", QT_TRANSLATE_NOOP("Telemetry", "Контроль КЗ")),
        flag(Flag::GsmModem, "gsm_activity", QT_TRANSLATE_NOOP("Telemetry", "GSM модем")),
        flag(Flag::ThermoSensor, "thermo", QT_TRANSLATE_NOOP("Telemetry", "Термодатчик")),
    };
    return flags;
}

QString FlagCaption(const StatusFlag &flag)
{
    return QCoreApplication::translate("Telemetry", flag.caption.toUtf8().constData());
}

bool IsFlagSet(const TelemetryRecord &record, StatusFrameMap::Flag flag)
{
    const quint8 bits =
        StatusFrameMap::FlagByte(flag) == StatusFrameMap::Flags1 ? record.Flags1 : record.Flags2;
    return bits & StatusFrameMap::FlagMask(flag);
}

QString OneLineCaption(const QString &stored)
{
    QString text = stored;
    text.replace(QLatin1String("\n\r"), QLatin1String(" "));
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    text.remove(QLatin1Char('\r'));
    return text;
}

} // namespace gencfg
