#include "config/Catalogue.h"

namespace gencfg {

namespace {

ParamTable MakePetrolParams()
{
    // One row per line: level, name, value, units, min, max, size, address, kind.
    // clang-format off
    return {
        {1, QStringLiteral("Тип двигателя электрогенератора"), QStringLiteral("бензин"), QString(), QString(), QString(), 1, 72, 6},
        {1, QStringLiteral("Параметры сети"), QString(), QString(), QString(), QString(), 0, 0, 0},
        {2, QStringLiteral("Напряжение сети"), QString(), QString(), QString(), QString(), 0, 0, 0},
        {3, QStringLiteral("Нижний порог"), QStringLiteral("180"), QStringLiteral("Вольт"), QStringLiteral("160"), QStringLiteral("220"), 2, 36, 1},
        {3, QStringLiteral("Верхний порог"), QStringLiteral("260"), QStringLiteral("Вольт"), QStringLiteral("220"), QStringLiteral("280"), 2, 38, 1},
        {2, QStringLiteral("Временные константы"), QString(), QString(), QString(), QString(), 0, 0, 0},
        {3, QStringLiteral("Пропадание сети"), QStringLiteral("10"), QStringLiteral("Сек."), QStringLiteral("0"), QStringLiteral("28800"), 2, 46, 1},
        {3, QStringLiteral("Появление сети"), QStringLiteral("10"), QStringLiteral("Сек."), QStringLiteral("0"), QStringLiteral("28800"), 2, 48, 1},
        {1, QStringLiteral("Параметры электрогенератора"), QString(), QString(), QString(), QString(), 0, 0, 0},
        {2, QStringLiteral("Напряжение электрогенератора"), QString(), QString(), QString(), QString(), 0, 0, 0},
        {3, QStringLiteral("Активность функции"), QStringLiteral("вкл."), QString(), QString(), QString(), 1, 10, 2},
        {3, QStringLiteral("Нижний порог"), QStringLiteral("180"), QStringLiteral("Вольт"), QStringLiteral("160"), QStringLiteral("220"), 2, 32, 1},
        {3, QStringLiteral("Верхний порог"), QStringLiteral("260"), QStringLiteral("Вольт"), QStringLiteral("220"), QStringLiteral("280"), 2, 34, 1},
        {3, QStringLiteral("Таймаут низкого напряжения"), QStringLiteral("15"), QStringLiteral("Сек."), QStringLiteral("1"), QStringLiteral("255"), 1, 11, 1},
        {3, QStringLiteral("Таймаут высокого напряжения"), QStringLiteral("5"), QStringLiteral("Сек."), QStringLiteral("1"), QStringLiteral("255"), 1, 12, 1},
        {2, QStringLiteral("Временные константы"), QString(), QString(), QString(), QString(), 0, 0, 0},
        {3, QStringLiteral("Прогрев"), QStringLiteral("30"), QStringLiteral("Сек."), QStringLiteral("0"), QStringLiteral("3599"), 2, 50, 1},
        {3, QStringLiteral("Охлаждение"), QStringLiteral("30"), QStringLiteral("Сек."), QStringLiteral("0"), QStringLiteral("3599"), 2, 52, 1},
        {2, QStringLiteral("Запуск электрогенератора"), QString(), QString(), QString(), QString(), 0, 0, 0},
        {3, QStringLiteral("Мах время вращения статера"), QStringLiteral("5"), QStringLiteral("Сек."), QStringLiteral("1"), QStringLiteral("15"), 1, 20, 1},
        {3, QStringLiteral("Количество попыток запуска"), QStringLiteral("5"), QStringLiteral("к-во"), QStringLiteral("1"), QStringLiteral("15"), 1, 22, 1},
        {3, QStringLiteral("Маx время закрытой заслонки"), QStringLiteral("10"), QStringLiteral("Сек."), QStringLiteral("0"), QStringLiteral("240"), 1, 21, 1},
        {3, QStringLiteral("Число цилиндров двигателя"), QStringLiteral("1"), QStringLiteral("к-во"), QStringLiteral("1"), QStringLiteral("2"), 1, 13, 1},
        {2, QStringLiteral("Еженедельный тестовый запуск"), QString(), QString(), QString(), QString(), 0, 0, 0},
        {3, QStringLiteral("Активность функции"), QStringLiteral("выкл."), QString(), QString(), QString(), 1, 27, 8},
        {3, QStringLiteral("День недели"), QStringLiteral("7"), QStringLiteral("пн-вс"), QStringLiteral("1"), QStringLiteral("7"), 1, 24, 1},
        {3, QStringLiteral("Час"), QStringLiteral("12"), QStringLiteral("Час"), QStringLiteral("0"), QStringLiteral("23"), 1, 25, 1},
        {3, QStringLiteral("Минута"), QStringLiteral("30"), QStringLiteral("Минута"), QStringLiteral("0"), QStringLiteral("59"), 1, 26, 1},
        {3, QStringLiteral("Длительность запуска"), QStringLiteral("180"), QStringLiteral("Сек."), QStringLiteral("0"), QStringLiteral("43200"), 2, 58, 1},
        {2, QStringLiteral("Режим работа/отдых"), QString(), QString(), QString(), QString(), 0, 0, 0},
        {3, QStringLiteral("Активность функции"), QStringLiteral("выкл."), QString(), QString(), QString(), 1, 23, 2},
        {3, QStringLiteral("Длительность работы"), QStringLiteral("14400"), QStringLiteral("Сек."), QStringLiteral("0"), QStringLiteral("43200"), 2, 54, 1},
        {3, QStringLiteral("Длительность отдыха"), QStringLiteral("7200"), QStringLiteral("Сек."), QStringLiteral("0"), QStringLiteral("43200"), 2, 56, 1},
        {2, QStringLiteral("Проведение ТО"), QString(), QString(), QString(), QString(), 0, 0, 0},
        {3, QStringLiteral("Активность функции"), QStringLiteral("выкл."), QString(), QString(), QString(), 1, 9, 2},
        {3, QStringLiteral("Начальное значение счетчика"), QStringLiteral("0"), QStringLiteral("Минута"), QStringLiteral("0"), QStringLiteral("5999940"), 4, 4, 1},
        {3, QStringLiteral("Период проведения ТО"), QStringLiteral("100"), QStringLiteral("Час"), QStringLiteral("1"), QStringLiteral("250"), 1, 8, 1},
        {2, QStringLiteral("Контроль АКБ ГУ"), QString(), QString(), QString(), QString(), 0, 0, 0},
        {3, QStringLiteral("Активность функции"), QStringLiteral("выкл."), QString(), QString(), QString(), 1, 18, 2},
        {3, QStringLiteral("Нижний порог напряжения АКБ ГУ"), QStringLiteral("80"), QStringLiteral("мВ x 100"), QStringLiteral("6"), QStringLiteral("150"), 2, 40, 1},
        {1, QStringLiteral("Контроль АКБ ИБП"), QString(), QString(), QString(), QString(), 0, 0, 0},
        {2, QStringLiteral("Активность функции"), QStringLiteral("выкл."), QString(), QString(), QString(), 1, 19, 2},
        {2, QStringLiteral("Нижний порог напряжения АКБ ИБП"), QStringLiteral("80"), QStringLiteral("мВ x 100"), QStringLiteral("10"), QStringLiteral("1200"), 2, 42, 1},
        {2, QStringLiteral("Верхний порог напряжения АКБ ИБП"), QStringLiteral("150"), QStringLiteral("мВ x 100"), QStringLiteral("10"), QStringLiteral("1200"), 2, 44, 1},
        {2, QStringLiteral("Таймаут зарядки АКБ ИБП"), QStringLiteral("28800"), QStringLiteral("Сек."), QStringLiteral("0"), QStringLiteral("43200"), 2, 60, 1},
        {1, QStringLiteral("Параметры GSM модема"), QString(), QString(), QString(), QString(), 0, 0, 0},
        {2, QStringLiteral("Активность GSM модема"), QStringLiteral("выкл."), QString(), QString(), QString(), 1, 95, 2},
        {2, QStringLiteral("GPRS мониторинг"), QString(), QString(), QString(), QString(), 0, 0, 0},
        {3, QStringLiteral("Активность функции"), QStringLiteral("выкл."), QString(), QString(), QString(), 1, 94, 2},
        {3, QStringLiteral("Login"), QStringLiteral("vkmtr"), QString(), QString(), QString(), 16, 192, 1},
        {3, QStringLiteral("Password"), QStringLiteral("vkmtr"), QString(), QString(), QString(), 16, 208, 1},
        {3, QStringLiteral("Точка доступа/APN"), QStringLiteral("internet"), QString(), QString(), QString(), 32, 224, 1},
        {3, QStringLiteral("Счетчик удачных отправок"), QString(), QString(), QString(), QString(), 2, 180, 255},
        {3, QStringLiteral("Счетчик неудачных отправок"), QString(), QString(), QString(), QString(), 2, 182, 255},
        {2, QStringLiteral("Таймаут SMS-ответа"), QStringLiteral("3600"), QStringLiteral("Сек."), QStringLiteral("60"), QStringLiteral("65534"), 2, 70, 1},
        {2, QStringLiteral("Таймаут ответа сервера"), QStringLiteral("20"), QStringLiteral("Сек."), QStringLiteral("5"), QStringLiteral("120"), 1, 28, 1},
        {2, QStringLiteral("Телефонный номер 1"), QString(), QString(), QString(), QString(), 0, 0, 0},
        {3, QStringLiteral("Номер абонента"), QStringLiteral("0000000000"), QString(), QStringLiteral("0000000000"), QStringLiteral("9999999999"), 10, 80, 1},
        {3, QStringLiteral("Активность и уровень доступа"), QStringLiteral("выкл."), QString(), QString(), QString(), 1, 90, 7},
        {3, QStringLiteral("Тип отправляемых сообщений"), QStringLiteral("только аварии"), QString(), QString(), QString(), 1, 92, 4},
        {2, QStringLiteral("Телефонный номер 2"), QString(), QString(), QString(), QString(), 0, 0, 0},
        {3, QStringLiteral("Номер абонента"), QStringLiteral("0000000000"), QString(), QStringLiteral("0000000000"), QStringLiteral("9999999999"), 10, 96, 1},
        {3, QStringLiteral("Активность и уровень доступа"), QStringLiteral("выкл."), QString(), QString(), QString(), 1, 106, 7},
        {3, QStringLiteral("Тип отправляемых сообщений"), QStringLiteral("только аварии"), QString(), QString(), QString(), 1, 108, 4},
        {2, QStringLiteral("Телефонный номер 3"), QString(), QString(), QString(), QString(), 0, 0, 0},
        {3, QStringLiteral("Номер абонента"), QStringLiteral("0000000000"), QString(), QStringLiteral("0000000000"), QStringLiteral("9999999999"), 10, 112, 1},
        {3, QStringLiteral("Активность и уровень доступа"), QStringLiteral("выкл."), QString(), QString(), QString(), 1, 122, 7},
        {3, QStringLiteral("Тип отправляемых сообщений"), QStringLiteral("только аварии"), QString(), QString(), QString(), 1, 124, 4},
        {2, QStringLiteral("Телефонный номер 4"), QString(), QString(), QString(), QString(), 0, 0, 0},
        {3, QStringLiteral("Номер абонента"), QStringLiteral("0000000000"), QString(), QStringLiteral("0000000000"), QStringLiteral("9999999999"), 10, 128, 1},
        {3, QStringLiteral("Активность и уровень доступа"), QStringLiteral("выкл."), QString(), QString(), QString(), 1, 138, 7},
        {3, QStringLiteral("Тип отправляемых сообщений"), QStringLiteral("только аварии"), QString(), QString(), QString(), 1, 140, 4},
        {2, QStringLiteral("Телефонный номер 5"), QString(), QString(), QString(), QString(), 0, 0, 0},
        {3, QStringLiteral("Номер абонента"), QStringLiteral("0000000000"), QString(), QStringLiteral("0000000000"), QStringLiteral("9999999999"), 10, 144, 1},
        {3, QStringLiteral("Активность и уровень доступа"), QStringLiteral("выкл."), QString(), QString(), QString(), 1, 154, 7},
        {3, QStringLiteral("Тип отправляемых сообщений"), QStringLiteral("только аварии"), QString(), QString(), QString(), 1, 156, 4},
        {2, QStringLiteral("Телефонный номер 6"), QString(), QString(), QString(), QString(), 0, 0, 0},
        {3, QStringLiteral("Номер абонента"), QStringLiteral("0000000000"), QString(), QStringLiteral("0000000000"), QStringLiteral("9999999999"), 10, 160, 1},
        {3, QStringLiteral("Активность и уровень доступа"), QStringLiteral("выкл."), QString(), QString(), QString(), 1, 170, 7},
        {3, QStringLiteral("Тип отправляемых сообщений"), QStringLiteral("только аварии"), QString(), QString(), QString(), 1, 172, 4},
        {1, QStringLiteral("Термодатчик"), QString(), QString(), QString(), QString(), 0, 0, 0},
        {2, QStringLiteral("Активность датчика"), QStringLiteral("выкл."), QString(), QString(), QString(), 1, 14, 2},
        {2, QStringLiteral("Нижний порог температуры"), QStringLiteral("5"), QStringLiteral("градус"), QStringLiteral("-30"), QStringLiteral("+70"), 1, 15, 5},
        {1, QStringLiteral("Серийный номер устройства"), QStringLiteral("          "), QString(), QString(), QString(), 8, 184, 255},
    };
    // clang-format on
}

ParamTable MakeDieselParams()
{
    ParamTable table = PetrolParams();
    table[0].Value = QStringLiteral("дизель");
    // The glow plug takes the choke's address; the cylinder count goes.
    table.remove(21, 2);
    table.insert(21, TParam_record{3, QStringLiteral("Время прогрева свечи"), QStringLiteral("10"),
                                   QStringLiteral("Сек."), QStringLiteral("0"), QStringLiteral("240"), 1, 21,
                                   Number});
    return table;
}

ParamTable MakeDryContactParams()
{
    ParamTable table = PetrolParams();
    table[0].Value = QStringLiteral("сухой контакт");
    // A dry contact has no starter, choke or cylinders, only a start/stop timeout.
    table.remove(19, 4);
    table.insert(19, TParam_record{3, QStringLiteral("Таймаут запуска/останова ГУ"), QStringLiteral("300"),
                                   QStringLiteral("Сек."), QStringLiteral("1"), QStringLiteral("65535"), 2,
                                   68, Number});
    return table;
}

} // namespace

const ParamTable &PetrolParams()
{
    static const ParamTable table = MakePetrolParams();
    return table;
}

const ParamTable &DieselParams()
{
    static const ParamTable table = MakeDieselParams();
    return table;
}

const ParamTable &DryContactParams()
{
    static const ParamTable table = MakeDryContactParams();
    return table;
}

const ParamTable &CatalogueFor(DeviceVariant variant)
{
    switch (variant) {
    case DeviceVariant::Diesel:
        return DieselParams();
    case DeviceVariant::DryContact:
        return DryContactParams();
    case DeviceVariant::Petrol:
        break;
    }
    // An unknown code keeps the start-up variant.
    return PetrolParams();
}

int HighestIndexFor(DeviceVariant variant)
{
    return int(CatalogueFor(variant).size()) - 1;
}

QStringList OptionTexts(int kind)
{
    switch (kind) {
    case OnOff:
        return {QStringLiteral("выкл."), QStringLiteral("вкл.")};
    case Language:
        return {QStringLiteral("англ."), QStringLiteral("рус.")};
    case MessageType:
        return {QStringLiteral("только аварии"), QStringLiteral("основн. события"),
                QStringLiteral("все события")};
    case EngineType:
        return {QStringLiteral("бензин"), QStringLiteral("дизель"), QStringLiteral("сухой контакт")};
    case AccessLevel:
        return {QStringLiteral("выкл."), QStringLiteral("информир."), QStringLiteral("управление")};
    case TestStartMode:
        return {QStringLiteral("выкл."), QStringLiteral("без подключ. нагр."),
                QStringLiteral("с подключ. нагр.")};
    default:
        return {};
    }
}

std::optional<DeviceVariant> VariantFromName(const QString &name)
{
    if (name == QLatin1String("petrol"))
        return DeviceVariant::Petrol;
    if (name == QLatin1String("diesel"))
        return DeviceVariant::Diesel;
    if (name == QLatin1String("dry"))
        return DeviceVariant::DryContact;
    return std::nullopt;
}

std::optional<DeviceVariant> VariantFromCode(quint8 code)
{
    for (DeviceVariant variant : Variants) {
        if (quint8(variant) == code)
            return variant;
    }
    return std::nullopt;
}

QString VariantTitle(DeviceVariant variant)
{
    switch (variant) {
    case DeviceVariant::Petrol:
        return QStringLiteral("КУВ-бензин v2.0 ");
    case DeviceVariant::Diesel:
        return QStringLiteral("КУВ-дизель v2.0 ");
    case DeviceVariant::DryContact:
        return QStringLiteral("КУВ-сухой контакт v2.0 ");
    }
    return {};
}

} // namespace gencfg
