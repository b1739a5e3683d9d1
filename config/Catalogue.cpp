#include "config/Catalogue.h"

#include <QCoreApplication>
#include <tuple>

namespace gencfg {

namespace {

// A catalogue text as the window shows it; without a translator, as written.
QString shown(const QString &source)
{
    return QCoreApplication::translate("Catalogue", source.toUtf8().constData());
}

ParamTable MakePetrolParams()
{
    // One row per line: level, name, value, units, min, max, size, address, kind.
    // Names, units and option values are marked for translation; ShownParam translates them for the tree.
    // clang-format off
    return {
        {1, QT_TRANSLATE_NOOP("Catalogue", "Тип двигателя электрогенератора"), QT_TRANSLATE_NOOP("Catalogue", "бензин"), QString(), QString(), QString(), 1, 72, ParamKind::EngineType},
        {1, QT_TRANSLATE_NOOP("Catalogue", "Параметры сети"), QString(), QString(), QString(), QString(), 0, 0, ParamKind::Group},
        {2, QT_TRANSLATE_NOOP("Catalogue", "Напряжение сети"), QString(), QString(), QString(), QString(), 0, 0, ParamKind::Group},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Нижний порог"), QStringLiteral("180"), QT_TRANSLATE_NOOP("Catalogue", "Вольт"), QStringLiteral("160"), QStringLiteral("220"), 2, 36, ParamKind::Number},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Верхний порог"), QStringLiteral("260"), QT_TRANSLATE_NOOP("Catalogue", "Вольт"), QStringLiteral("220"), QStringLiteral("280"), 2, 38, ParamKind::Number},
        {2, QT_TRANSLATE_NOOP("Catalogue", "Временные константы"), QString(), QString(), QString(), QString(), 0, 0, ParamKind::Group},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Пропадание сети"), QStringLiteral("10"), QT_TRANSLATE_NOOP("Catalogue", "Сек."), QStringLiteral("0"), QStringLiteral("28800"), 2, 46, ParamKind::Number},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Появление сети"), QStringLiteral("10"), QT_TRANSLATE_NOOP("Catalogue", "Сек."), QStringLiteral("0"), QStringLiteral("28800"), 2, 48, ParamKind::Number},
        {1, QT_TRANSLATE_NOOP("Catalogue", "Параметры электрогенератора"), QString(), QString(), QString(), QString(), 0, 0, ParamKind::Group},
        {2, QT_TRANSLATE_NOOP("Catalogue", "Напряжение электрогенератора"), QString(), QString(), QString(), QString(), 0, 0, ParamKind::Group},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Активность функции"), QT_TRANSLATE_NOOP("Catalogue", "вкл."), QString(), QString(), QString(), 1, 10, ParamKind::OnOff},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Нижний порог"), QStringLiteral("180"), QT_TRANSLATE_NOOP("Catalogue", "Вольт"), QStringLiteral("160"), QStringLiteral("220"), 2, 32, ParamKind::Number},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Верхний порог"), QStringLiteral("260"), QT_TRANSLATE_NOOP("Catalogue", "Вольт"), QStringLiteral("220"), QStringLiteral("280"), 2, 34, ParamKind::Number},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Таймаут низкого напряжения"), QStringLiteral("15"), QT_TRANSLATE_NOOP("Catalogue", "Сек."), QStringLiteral("1"), QStringLiteral("255"), 1, 11, ParamKind::Number},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Таймаут высокого напряжения"), QStringLiteral("5"), QT_TRANSLATE_NOOP("Catalogue", "Сек."), QStringLiteral("1"), QStringLiteral("255"), 1, 12, ParamKind::Number},
        {2, QT_TRANSLATE_NOOP("Catalogue", "Временные константы"), QString(), QString(), QString(), QString(), 0, 0, ParamKind::Group},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Прогрев"), QStringLiteral("30"), QT_TRANSLATE_NOOP("Catalogue", "Сек."), QStringLiteral("0"), QStringLiteral("3599"), 2, 50, ParamKind::Number},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Охлаждение"), QStringLiteral("30"), QT_TRANSLATE_NOOP("Catalogue", "Сек."), QStringLiteral("0"), QStringLiteral("3599"), 2, 52, ParamKind::Number},
        {2, QT_TRANSLATE_NOOP("Catalogue", "Запуск электрогенератора"), QString(), QString(), QString(), QString(), 0, 0, ParamKind::Group},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Мах время вращения статера"), QStringLiteral("5"), QT_TRANSLATE_NOOP("Catalogue", "Сек."), QStringLiteral("1"), QStringLiteral("15"), 1, 20, ParamKind::Number},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Количество попыток запуска"), QStringLiteral("5"), QT_TRANSLATE_NOOP("Catalogue", "к-во"), QStringLiteral("1"), QStringLiteral("15"), 1, 22, ParamKind::Number},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Маx время закрытой заслонки"), QStringLiteral("10"), QT_TRANSLATE_NOOP("Catalogue", "Сек."), QStringLiteral("0"), QStringLiteral("240"), 1, 21, ParamKind::Number},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Число цилиндров двигателя"), QStringLiteral("1"), QT_TRANSLATE_NOOP("Catalogue", "к-во"), QStringLiteral("1"), QStringLiteral("2"), 1, 13, ParamKind::Number},
        {2, QT_TRANSLATE_NOOP("Catalogue", "Еженедельный тестовый запуск"), QString(), QString(), QString(), QString(), 0, 0, ParamKind::Group},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Активность функции"), QT_TRANSLATE_NOOP("Catalogue", "выкл."), QString(), QString(), QString(), 1, 27, ParamKind::TestStartMode},
        {3, QT_TRANSLATE_NOOP("Catalogue", "День недели"), QStringLiteral("7"), QT_TRANSLATE_NOOP("Catalogue", "пн-вс"), QStringLiteral("1"), QStringLiteral("7"), 1, 24, ParamKind::Number},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Час"), QStringLiteral("12"), QT_TRANSLATE_NOOP("Catalogue", "Час"), QStringLiteral("0"), QStringLiteral("23"), 1, 25, ParamKind::Number},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Минута"), QStringLiteral("30"), QT_TRANSLATE_NOOP("Catalogue", "Минута"), QStringLiteral("0"), QStringLiteral("59"), 1, 26, ParamKind::Number},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Длительность запуска"), QStringLiteral("180"), QT_TRANSLATE_NOOP("Catalogue", "Сек."), QStringLiteral("0"), QStringLiteral("43200"), 2, 58, ParamKind::Number},
        {2, QT_TRANSLATE_NOOP("Catalogue", "Режим работа/отдых"), QString(), QString(), QString(), QString(), 0, 0, ParamKind::Group},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Активность функции"), QT_TRANSLATE_NOOP("Catalogue", "выкл."), QString(), QString(), QString(), 1, 23, ParamKind::OnOff},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Длительность работы"), QStringLiteral("14400"), QT_TRANSLATE_NOOP("Catalogue", "Сек."), QStringLiteral("0"), QStringLiteral("43200"), 2, 54, ParamKind::Number},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Длительность отдыха"), QStringLiteral("7200"), QT_TRANSLATE_NOOP("Catalogue", "Сек."), QStringLiteral("0"), QStringLiteral("43200"), 2, 56, ParamKind::Number},
        {2, QT_TRANSLATE_NOOP("Catalogue", "Проведение ТО"), QString(), QString(), QString(), QString(), 0, 0, ParamKind::Group},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Активность функции"), QT_TRANSLATE_NOOP("Catalogue", "выкл."), QString(), QString(), QString(), 1, 9, ParamKind::OnOff},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Начальное значение счетчика"), QStringLiteral("0"), QT_TRANSLATE_NOOP("Catalogue", "Минута"), QStringLiteral("0"), QStringLiteral("5999940"), 4, 4, ParamKind::Number},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Период проведения ТО"), QStringLiteral("100"), QT_TRANSLATE_NOOP("Catalogue", "Час"), QStringLiteral("1"), QStringLiteral("250"), 1, 8, ParamKind::Number},
        {2, QT_TRANSLATE_NOOP("Catalogue", "Контроль АКБ ГУ"), QString(), QString(), QString(), QString(), 0, 0, ParamKind::Group},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Активность функции"), QT_TRANSLATE_NOOP("Catalogue", "выкл."), QString(), QString(), QString(), 1, 18, ParamKind::OnOff},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Нижний порог напряжения АКБ ГУ"), QStringLiteral("80"), QT_TRANSLATE_NOOP("Catalogue", "мВ x 100"), QStringLiteral("6"), QStringLiteral("150"), 2, 40, ParamKind::Number},
        {1, QT_TRANSLATE_NOOP("Catalogue", "Контроль АКБ ИБП"), QString(), QString(), QString(), QString(), 0, 0, ParamKind::Group},
        {2, QT_TRANSLATE_NOOP("Catalogue", "Активность функции"), QT_TRANSLATE_NOOP("Catalogue", "выкл."), QString(), QString(), QString(), 1, 19, ParamKind::OnOff},
        {2, QT_TRANSLATE_NOOP("Catalogue", "Нижний порог напряжения АКБ ИБП"), QStringLiteral("80"), QT_TRANSLATE_NOOP("Catalogue", "мВ x 100"), QStringLiteral("10"), QStringLiteral("1200"), 2, 42, ParamKind::Number},
        {2, QT_TRANSLATE_NOOP("Catalogue", "Верхний порог напряжения АКБ ИБП"), QStringLiteral("150"), QT_TRANSLATE_NOOP("Catalogue", "мВ x 100"), QStringLiteral("10"), QStringLiteral("1200"), 2, 44, ParamKind::Number},
        {2, QT_TRANSLATE_NOOP("Catalogue", "Таймаут зарядки АКБ ИБП"), QStringLiteral("28800"), QT_TRANSLATE_NOOP("Catalogue", "Сек."), QStringLiteral("0"), QStringLiteral("43200"), 2, 60, ParamKind::Number},
        {1, QT_TRANSLATE_NOOP("Catalogue", "Параметры GSM модема"), QString(), QString(), QString(), QString(), 0, 0, ParamKind::Group},
        {2, QT_TRANSLATE_NOOP("Catalogue", "Активность GSM модема"), QT_TRANSLATE_NOOP("Catalogue", "выкл."), QString(), QString(), QString(), 1, 95, ParamKind::OnOff},
        {2, QT_TRANSLATE_NOOP("Catalogue", "GPRS мониторинг"), QString(), QString(), QString(), QString(), 0, 0, ParamKind::Group},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Активность функции"), QT_TRANSLATE_NOOP("Catalogue", "выкл."), QString(), QString(), QString(), 1, 94, ParamKind::OnOff},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Login"), QStringLiteral("vkmtr"), QString(), QString(), QString(), 16, 192, ParamKind::Number},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Password"), QStringLiteral("vkmtr"), QString(), QString(), QString(), 16, 208, ParamKind::Number},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Точка доступа/APN"), QStringLiteral("internet"), QString(), QString(), QString(), 32, 224, ParamKind::Number},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Счетчик удачных отправок"), QString(), QString(), QString(), QString(), 2, 180, ParamKind::ReadOnly},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Счетчик неудачных отправок"), QString(), QString(), QString(), QString(), 2, 182, ParamKind::ReadOnly},
        {2, QT_TRANSLATE_NOOP("Catalogue", "Таймаут SMS-ответа"), QStringLiteral("3600"), QT_TRANSLATE_NOOP("Catalogue", "Сек."), QStringLiteral("60"), QStringLiteral("65534"), 2, 70, ParamKind::Number},
        {2, QT_TRANSLATE_NOOP("Catalogue", "Таймаут ответа сервера"), QStringLiteral("20"), QT_TRANSLATE_NOOP("Catalogue", "Сек."), QStringLiteral("5"), QStringLiteral("120"), 1, 28, ParamKind::Number},
        {2, QT_TRANSLATE_NOOP("Catalogue", "Телефонный номер 1"), QString(), QString(), QString(), QString(), 0, 0, ParamKind::Group},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Номер абонента"), QStringLiteral("0000000000"), QString(), QStringLiteral("0000000000"), QStringLiteral("9999999999"), 10, 80, ParamKind::Number},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Активность и уровень доступа"), QT_TRANSLATE_NOOP("Catalogue", "выкл."), QString(), QString(), QString(), 1, 90, ParamKind::AccessLevel},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Тип отправляемых сообщений"), QT_TRANSLATE_NOOP("Catalogue", "только аварии"), QString(), QString(), QString(), 1, 92, ParamKind::MessageType},
        {2, QT_TRANSLATE_NOOP("Catalogue", "Телефонный номер 2"), QString(), QString(), QString(), QString(), 0, 0, ParamKind::Group},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Номер абонента"), QStringLiteral("0000000000"), QString(), QStringLiteral("0000000000"), QStringLiteral("9999999999"), 10, 96, ParamKind::Number},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Активность и уровень доступа"), QT_TRANSLATE_NOOP("Catalogue", "выкл."), QString(), QString(), QString(), 1, 106, ParamKind::AccessLevel},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Тип отправляемых сообщений"), QT_TRANSLATE_NOOP("Catalogue", "только аварии"), QString(), QString(), QString(), 1, 108, ParamKind::MessageType},
        {2, QT_TRANSLATE_NOOP("Catalogue", "Телефонный номер 3"), QString(), QString(), QString(), QString(), 0, 0, ParamKind::Group},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Номер абонента"), QStringLiteral("0000000000"), QString(), QStringLiteral("0000000000"), QStringLiteral("9999999999"), 10, 112, ParamKind::Number},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Активность и уровень доступа"), QT_TRANSLATE_NOOP("Catalogue", "выкл."), QString(), QString(), QString(), 1, 122, ParamKind::AccessLevel},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Тип отправляемых сообщений"), QT_TRANSLATE_NOOP("Catalogue", "только аварии"), QString(), QString(), QString(), 1, 124, ParamKind::MessageType},
        {2, QT_TRANSLATE_NOOP("Catalogue", "Телефонный номер 4"), QString(), QString(), QString(), QString(), 0, 0, ParamKind::Group},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Номер абонента"), QStringLiteral("0000000000"), QString(), QStringLiteral("0000000000"), QStringLiteral("9999999999"), 10, 128, ParamKind::Number},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Активность и уровень доступа"), QT_TRANSLATE_NOOP("Catalogue", "выкл."), QString(), QString(), QString(), 1, 138, ParamKind::AccessLevel},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Тип отправляемых сообщений"), QT_TRANSLATE_NOOP("Catalogue", "только аварии"), QString(), QString(), QString(), 1, 140, ParamKind::MessageType},
        {2, QT_TRANSLATE_NOOP("Catalogue", "Телефонный номер 5"), QString(), QString(), QString(), QString(), 0, 0, ParamKind::Group},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Номер абонента"), QStringLiteral("0000000000"), QString(), QStringLiteral("0000000000"), QStringLiteral("9999999999"), 10, 144, ParamKind::Number},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Активность и уровень доступа"), QT_TRANSLATE_NOOP("Catalogue", "выкл."), QString(), QString(), QString(), 1, 154, ParamKind::AccessLevel},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Тип отправляемых сообщений"), QT_TRANSLATE_NOOP("Catalogue", "только аварии"), QString(), QString(), QString(), 1, 156, ParamKind::MessageType},
        {2, QT_TRANSLATE_NOOP("Catalogue", "Телефонный номер 6"), QString(), QString(), QString(), QString(), 0, 0, ParamKind::Group},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Номер абонента"), QStringLiteral("0000000000"), QString(), QStringLiteral("0000000000"), QStringLiteral("9999999999"), 10, 160, ParamKind::Number},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Активность и уровень доступа"), QT_TRANSLATE_NOOP("Catalogue", "выкл."), QString(), QString(), QString(), 1, 170, ParamKind::AccessLevel},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Тип отправляемых сообщений"), QT_TRANSLATE_NOOP("Catalogue", "только аварии"), QString(), QString(), QString(), 1, 172, ParamKind::MessageType},
        {1, QT_TRANSLATE_NOOP("Catalogue", "Термодатчик"), QString(), QString(), QString(), QString(), 0, 0, ParamKind::Group},
        {2, QT_TRANSLATE_NOOP("Catalogue", "Активность датчика"), QT_TRANSLATE_NOOP("Catalogue", "выкл."), QString(), QString(), QString(), 1, 14, ParamKind::OnOff},
        {2, QT_TRANSLATE_NOOP("Catalogue", "Нижний порог температуры"), QStringLiteral("5"), QT_TRANSLATE_NOOP("Catalogue", "градус"), QStringLiteral("-30"), QStringLiteral("+70"), 1, 15, ParamKind::Temperature},
        {1, QT_TRANSLATE_NOOP("Catalogue", "Серийный номер устройства"), QStringLiteral("          "), QString(), QString(), QString(), 8, 184, ParamKind::ReadOnly},
    };
    // clang-format on
}

ParamTable MakeDieselParams()
{
    ParamTable table = PetrolParams();
    table[0].value = QT_TRANSLATE_NOOP("Catalogue", "дизель");
    // The glow plug takes the choke's address; the cylinder count goes.
    table.remove(21, 2);
    table.insert(21, CatalogueRow{3, QT_TRANSLATE_NOOP("Catalogue", "Время прогрева свечи"),
                                  QStringLiteral("10"), QT_TRANSLATE_NOOP("Catalogue", "Сек."),
                                  QStringLiteral("0"), QStringLiteral("240"), 1, 21, ParamKind::Number});
    return table;
}

ParamTable MakeDryContactParams()
{
    ParamTable table = PetrolParams();
    table[0].value = QT_TRANSLATE_NOOP("Catalogue", "сухой контакт");
    // A dry contact has no starter, choke or cylinders, only a start/stop timeout.
    table.remove(19, 4);
    table.insert(19, CatalogueRow{3, QT_TRANSLATE_NOOP("Catalogue", "Таймаут запуска/останова ГУ"),
                                  QStringLiteral("300"), QT_TRANSLATE_NOOP("Catalogue", "Сек."),
                                  QStringLiteral("1"), QStringLiteral("65535"), 2, 68, ParamKind::Number});
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

CatalogueRow ShownParam(const CatalogueRow &row)
{
    CatalogueRow result = row;
    result.name = shown(row.name);
    result.units = shown(row.units);
    if (!OptionTexts(row.kind).isEmpty())
        result.value = shown(row.value);
    return result;
}

bool operator==(const CatalogueRow &a, const CatalogueRow &b)
{
    return std::tie(a.level, a.name, a.value, a.units, a.min, a.max, a.size, a.address, a.kind) ==
           std::tie(b.level, b.name, b.value, b.units, b.min, b.max, b.size, b.address, b.kind);
}

QStringList OptionTexts(ParamKind kind)
{
    switch (kind) {
    case ParamKind::OnOff:
        return {QCoreApplication::translate("Catalogue", "выкл."),
                QCoreApplication::translate("Catalogue", "вкл.")};
    case ParamKind::Language:
        return {QCoreApplication::translate("Catalogue", "англ."),
                QCoreApplication::translate("Catalogue", "рус.")};
    case ParamKind::MessageType:
        return {QCoreApplication::translate("Catalogue", "только аварии"),
                QCoreApplication::translate("Catalogue", "основн. события"),
                QCoreApplication::translate("Catalogue", "все события")};
    case ParamKind::EngineType:
        return {QCoreApplication::translate("Catalogue", "бензин"),
                QCoreApplication::translate("Catalogue", "дизель"),
                QCoreApplication::translate("Catalogue", "сухой контакт")};
    case ParamKind::AccessLevel:
        return {QCoreApplication::translate("Catalogue", "выкл."),
                QCoreApplication::translate("Catalogue", "информир."),
                QCoreApplication::translate("Catalogue", "управление")};
    case ParamKind::TestStartMode:
        return {QCoreApplication::translate("Catalogue", "выкл."),
                QCoreApplication::translate("Catalogue", "без подключ. нагр."),
                QCoreApplication::translate("Catalogue", "с подключ. нагр.")};
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
        return QCoreApplication::translate("Catalogue", "КУВ-бензин v2.0 ");
    case DeviceVariant::Diesel:
        return QCoreApplication::translate("Catalogue", "КУВ-дизель v2.0 ");
    case DeviceVariant::DryContact:
        return QCoreApplication::translate("Catalogue", "КУВ-сухой контакт v2.0 ");
    }
    return {};
}

} // namespace gencfg
