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

ParamValue number(qint64 n)
{
    return ParamValue::ofNumber(n);
}

ParamValue option(int code)
{
    return ParamValue::ofOption(code);
}

ParamValue text(const char *latin1)
{
    return ParamValue::ofText(QString::fromLatin1(latin1));
}

std::optional<ValueLimits> within(double min, double max)
{
    return ValueLimits{min, max};
}

ParamTable MakePetrolParams()
{
    // One row per line: level, name, value, units, limits, size, address, kind.
    // Names and units are marked for translation; ShownParam translates them for the tree.
    // clang-format off
    return {
        {1, QT_TRANSLATE_NOOP("Catalogue", "Тип двигателя электрогенератора"), option(0), {}, {}, 1, 72, ParamKind::EngineType},
        {1, QT_TRANSLATE_NOOP("Catalogue", "Параметры сети"), {}, {}, {}, 0, 0, ParamKind::Group},
        {2, QT_TRANSLATE_NOOP("Catalogue", "Напряжение сети"), {}, {}, {}, 0, 0, ParamKind::Group},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Нижний порог"), number(180), QT_TRANSLATE_NOOP("Catalogue", "Вольт"), within(160, 220), 2, 36, ParamKind::Number},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Верхний порог"), number(260), QT_TRANSLATE_NOOP("Catalogue", "Вольт"), within(220, 280), 2, 38, ParamKind::Number},
        {2, QT_TRANSLATE_NOOP("Catalogue", "Временные константы"), {}, {}, {}, 0, 0, ParamKind::Group},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Пропадание сети"), number(10), QT_TRANSLATE_NOOP("Catalogue", "Сек."), within(0, 28800), 2, 46, ParamKind::Number},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Появление сети"), number(10), QT_TRANSLATE_NOOP("Catalogue", "Сек."), within(0, 28800), 2, 48, ParamKind::Number},
        {1, QT_TRANSLATE_NOOP("Catalogue", "Параметры электрогенератора"), {}, {}, {}, 0, 0, ParamKind::Group},
        {2, QT_TRANSLATE_NOOP("Catalogue", "Напряжение электрогенератора"), {}, {}, {}, 0, 0, ParamKind::Group},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Активность функции"), option(1), {}, {}, 1, 10, ParamKind::OnOff},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Нижний порог"), number(180), QT_TRANSLATE_NOOP("Catalogue", "Вольт"), within(160, 220), 2, 32, ParamKind::Number},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Верхний порог"), number(260), QT_TRANSLATE_NOOP("Catalogue", "Вольт"), within(220, 280), 2, 34, ParamKind::Number},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Таймаут низкого напряжения"), number(15), QT_TRANSLATE_NOOP("Catalogue", "Сек."), within(1, 255), 1, 11, ParamKind::Number},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Таймаут высокого напряжения"), number(5), QT_TRANSLATE_NOOP("Catalogue", "Сек."), within(1, 255), 1, 12, ParamKind::Number},
        {2, QT_TRANSLATE_NOOP("Catalogue", "Временные константы"), {}, {}, {}, 0, 0, ParamKind::Group},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Прогрев"), number(30), QT_TRANSLATE_NOOP("Catalogue", "Сек."), within(0, 3599), 2, 50, ParamKind::Number},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Охлаждение"), number(30), QT_TRANSLATE_NOOP("Catalogue", "Сек."), within(0, 3599), 2, 52, ParamKind::Number},
        {2, QT_TRANSLATE_NOOP("Catalogue", "Запуск электрогенератора"), {}, {}, {}, 0, 0, ParamKind::Group},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Мах время вращения статера"), number(5), QT_TRANSLATE_NOOP("Catalogue", "Сек."), within(1, 15), 1, 20, ParamKind::Number},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Количество попыток запуска"), number(5), QT_TRANSLATE_NOOP("Catalogue", "к-во"), within(1, 15), 1, 22, ParamKind::Number},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Маx время закрытой заслонки"), number(10), QT_TRANSLATE_NOOP("Catalogue", "Сек."), within(0, 240), 1, 21, ParamKind::Number},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Число цилиндров двигателя"), number(1), QT_TRANSLATE_NOOP("Catalogue", "к-во"), within(1, 2), 1, 13, ParamKind::Number},
        {2, QT_TRANSLATE_NOOP("Catalogue", "Еженедельный тестовый запуск"), {}, {}, {}, 0, 0, ParamKind::Group},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Активность функции"), option(0), {}, {}, 1, 27, ParamKind::TestStartMode},
        {3, QT_TRANSLATE_NOOP("Catalogue", "День недели"), number(7), QT_TRANSLATE_NOOP("Catalogue", "пн-вс"), within(1, 7), 1, 24, ParamKind::Number},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Час"), number(12), QT_TRANSLATE_NOOP("Catalogue", "Час"), within(0, 23), 1, 25, ParamKind::Number},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Минута"), number(30), QT_TRANSLATE_NOOP("Catalogue", "Минута"), within(0, 59), 1, 26, ParamKind::Number},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Длительность запуска"), number(180), QT_TRANSLATE_NOOP("Catalogue", "Сек."), within(0, 43200), 2, 58, ParamKind::Number},
        {2, QT_TRANSLATE_NOOP("Catalogue", "Режим работа/отдых"), {}, {}, {}, 0, 0, ParamKind::Group},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Активность функции"), option(0), {}, {}, 1, 23, ParamKind::OnOff},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Длительность работы"), number(14400), QT_TRANSLATE_NOOP("Catalogue", "Сек."), within(0, 43200), 2, 54, ParamKind::Number},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Длительность отдыха"), number(7200), QT_TRANSLATE_NOOP("Catalogue", "Сек."), within(0, 43200), 2, 56, ParamKind::Number},
        {2, QT_TRANSLATE_NOOP("Catalogue", "Проведение ТО"), {}, {}, {}, 0, 0, ParamKind::Group},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Активность функции"), option(0), {}, {}, 1, 9, ParamKind::OnOff},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Начальное значение счетчика"), number(0), QT_TRANSLATE_NOOP("Catalogue", "Минута"), within(0, 5999940), 4, 4, ParamKind::Number},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Период проведения ТО"), number(100), QT_TRANSLATE_NOOP("Catalogue", "Час"), within(1, 250), 1, 8, ParamKind::Number},
        {2, QT_TRANSLATE_NOOP("Catalogue", "Контроль АКБ ГУ"), {}, {}, {}, 0, 0, ParamKind::Group},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Активность функции"), option(0), {}, {}, 1, 18, ParamKind::OnOff},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Нижний порог напряжения АКБ ГУ"), number(80), QT_TRANSLATE_NOOP("Catalogue", "мВ x 100"), within(6, 150), 2, 40, ParamKind::Number},
        {1, QT_TRANSLATE_NOOP("Catalogue", "Контроль АКБ ИБП"), {}, {}, {}, 0, 0, ParamKind::Group},
        {2, QT_TRANSLATE_NOOP("Catalogue", "Активность функции"), option(0), {}, {}, 1, 19, ParamKind::OnOff},
        {2, QT_TRANSLATE_NOOP("Catalogue", "Нижний порог напряжения АКБ ИБП"), number(80), QT_TRANSLATE_NOOP("Catalogue", "мВ x 100"), within(10, 1200), 2, 42, ParamKind::Number},
        {2, QT_TRANSLATE_NOOP("Catalogue", "Верхний порог напряжения АКБ ИБП"), number(150), QT_TRANSLATE_NOOP("Catalogue", "мВ x 100"), within(10, 1200), 2, 44, ParamKind::Number},
        {2, QT_TRANSLATE_NOOP("Catalogue", "Таймаут зарядки АКБ ИБП"), number(28800), QT_TRANSLATE_NOOP("Catalogue", "Сек."), within(0, 43200), 2, 60, ParamKind::Number},
        {1, QT_TRANSLATE_NOOP("Catalogue", "Параметры GSM модема"), {}, {}, {}, 0, 0, ParamKind::Group},
        {2, QT_TRANSLATE_NOOP("Catalogue", "Активность GSM модема"), option(0), {}, {}, 1, 95, ParamKind::OnOff},
        {2, QT_TRANSLATE_NOOP("Catalogue", "GPRS мониторинг"), {}, {}, {}, 0, 0, ParamKind::Group},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Активность функции"), option(0), {}, {}, 1, 94, ParamKind::OnOff},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Login"), text("vkmtr"), {}, {}, 16, 192, ParamKind::Number},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Password"), text("vkmtr"), {}, {}, 16, 208, ParamKind::Number},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Точка доступа/APN"), text("internet"), {}, {}, 32, 224, ParamKind::Number},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Счетчик удачных отправок"), {}, {}, {}, 2, 180, ParamKind::ReadOnly},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Счетчик неудачных отправок"), {}, {}, {}, 2, 182, ParamKind::ReadOnly},
        {2, QT_TRANSLATE_NOOP("Catalogue", "Таймаут SMS-ответа"), number(3600), QT_TRANSLATE_NOOP("Catalogue", "Сек."), within(60, 65534), 2, 70, ParamKind::Number},
        {2, QT_TRANSLATE_NOOP("Catalogue", "Таймаут ответа сервера"), number(20), QT_TRANSLATE_NOOP("Catalogue", "Сек."), within(5, 120), 1, 28, ParamKind::Number},
        {2, QT_TRANSLATE_NOOP("Catalogue", "Телефонный номер 1"), {}, {}, {}, 0, 0, ParamKind::Group},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Номер абонента"), text("0000000000"), {}, within(0, 9999999999), 10, 80, ParamKind::Number},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Активность и уровень доступа"), option(0), {}, {}, 1, 90, ParamKind::AccessLevel},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Тип отправляемых сообщений"), option(0), {}, {}, 1, 92, ParamKind::MessageType},
        {2, QT_TRANSLATE_NOOP("Catalogue", "Телефонный номер 2"), {}, {}, {}, 0, 0, ParamKind::Group},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Номер абонента"), text("0000000000"), {}, within(0, 9999999999), 10, 96, ParamKind::Number},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Активность и уровень доступа"), option(0), {}, {}, 1, 106, ParamKind::AccessLevel},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Тип отправляемых сообщений"), option(0), {}, {}, 1, 108, ParamKind::MessageType},
        {2, QT_TRANSLATE_NOOP("Catalogue", "Телефонный номер 3"), {}, {}, {}, 0, 0, ParamKind::Group},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Номер абонента"), text("0000000000"), {}, within(0, 9999999999), 10, 112, ParamKind::Number},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Активность и уровень доступа"), option(0), {}, {}, 1, 122, ParamKind::AccessLevel},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Тип отправляемых сообщений"), option(0), {}, {}, 1, 124, ParamKind::MessageType},
        {2, QT_TRANSLATE_NOOP("Catalogue", "Телефонный номер 4"), {}, {}, {}, 0, 0, ParamKind::Group},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Номер абонента"), text("0000000000"), {}, within(0, 9999999999), 10, 128, ParamKind::Number},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Активность и уровень доступа"), option(0), {}, {}, 1, 138, ParamKind::AccessLevel},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Тип отправляемых сообщений"), option(0), {}, {}, 1, 140, ParamKind::MessageType},
        {2, QT_TRANSLATE_NOOP("Catalogue", "Телефонный номер 5"), {}, {}, {}, 0, 0, ParamKind::Group},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Номер абонента"), text("0000000000"), {}, within(0, 9999999999), 10, 144, ParamKind::Number},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Активность и уровень доступа"), option(0), {}, {}, 1, 154, ParamKind::AccessLevel},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Тип отправляемых сообщений"), option(0), {}, {}, 1, 156, ParamKind::MessageType},
        {2, QT_TRANSLATE_NOOP("Catalogue", "Телефонный номер 6"), {}, {}, {}, 0, 0, ParamKind::Group},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Номер абонента"), text("0000000000"), {}, within(0, 9999999999), 10, 160, ParamKind::Number},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Активность и уровень доступа"), option(0), {}, {}, 1, 170, ParamKind::AccessLevel},
        {3, QT_TRANSLATE_NOOP("Catalogue", "Тип отправляемых сообщений"), option(0), {}, {}, 1, 172, ParamKind::MessageType},
        {1, QT_TRANSLATE_NOOP("Catalogue", "Термодатчик"), {}, {}, {}, 0, 0, ParamKind::Group},
        {2, QT_TRANSLATE_NOOP("Catalogue", "Активность датчика"), option(0), {}, {}, 1, 14, ParamKind::OnOff},
        {2, QT_TRANSLATE_NOOP("Catalogue", "Нижний порог температуры"), number(5), QT_TRANSLATE_NOOP("Catalogue", "градус"), within(-30, 70), 1, 15, ParamKind::Temperature},
        {1, QT_TRANSLATE_NOOP("Catalogue", "Серийный номер устройства"), text("          "), {}, {}, 8, 184, ParamKind::ReadOnly},
    };
    // clang-format on
}

ParamTable MakeDieselParams()
{
    ParamTable table = PetrolParams();
    table[0].value = option(1);
    // The glow plug takes the choke's address; the cylinder count goes.
    table.remove(21, 2);
    table.insert(21, CatalogueRow{3, QT_TRANSLATE_NOOP("Catalogue", "Время прогрева свечи"), number(10),
                                  QT_TRANSLATE_NOOP("Catalogue", "Сек."), within(0, 240), 1, 21,
                                  ParamKind::Number});
    return table;
}

ParamTable MakeDryContactParams()
{
    ParamTable table = PetrolParams();
    table[0].value = option(2);
    // A dry contact has no starter, choke or cylinders, only a start/stop timeout.
    table.remove(19, 4);
    table.insert(19, CatalogueRow{3, QT_TRANSLATE_NOOP("Catalogue", "Таймаут запуска/останова ГУ"),
                                  number(300), QT_TRANSLATE_NOOP("Catalogue", "Сек."), within(1, 65535), 2,
                                  68, ParamKind::Number});
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
    return result;
}

bool operator==(const CatalogueRow &a, const CatalogueRow &b)
{
    const auto limits = [](const CatalogueRow &r) {
        return r.limits ? std::make_tuple(true, r.limits->min, r.limits->max)
                        : std::make_tuple(false, 0.0, 0.0);
    };
    return std::tie(a.level, a.name, a.value, a.units, a.size, a.address, a.kind) ==
               std::tie(b.level, b.name, b.value, b.units, b.size, b.address, b.kind) &&
           limits(a) == limits(b);
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
