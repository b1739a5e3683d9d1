#include "monitor/Journal.h"

#include "link/FrameCodec.h"

namespace gencfg {

namespace {

constexpr quint8 JournalEndCode = 20;
// The alarm journal only names the alarms.
constexpr quint8 FirstAlarmCode = 11;
constexpr quint8 LastAlarmCode = 17;

constexpr const char *EventTexts[] = {
    "пропадание сети",
    "запуск ГУ",
    "работа ГУ",
    "появление сети",
    "включение БУЭ",
    "ручной режим",
    "автоматический режим",
    "тестовый запуск",
    "отдых ГУ",
    "останов ГУ",
    "работа ИБП",
    "авария: разряд АКБ ГУ",
    "авария: напряжение ГУ вне дипазона",
    "авария: нет запуска ГУ",
    "авария: нет останова ГУ",
    "авария: нет импульсов с магнето",
    "авария: нет напряжения с альтернатора",
    "авария: частота ГУ вне диапазона",
};
constexpr int EventTextCount = int(sizeof(EventTexts) / sizeof(EventTexts[0]));

QString bcdText(quint8 b)
{
    return ZeroPad(BcdToByte(b), 2);
}

} // namespace

JournalRecord JournalRecordFromData(const QByteArray &data)
{
    JournalRecord record;
    for (int i = 0; i < 5 && i < data.size(); ++i)
        record.bytes[i] = quint8(data.at(i));
    return record;
}

QByteArray JournalRequestData(JournalSelector journal, quint8 index)
{
    QByteArray data;
    data.append(char(journal));
    data.append(char(index));
    return data;
}

int JournalEntryCount(JournalSelector journal)
{
    return journal == AlarmJournal ? AlarmJournalEntries : EventJournalEntries;
}

bool IsJournalEnd(quint8 code)
{
    return code >= JournalEndCode;
}

QString JournalText(JournalSelector journal, quint8 code)
{
    if (code >= EventTextCount)
        return {};
    if (journal == AlarmJournal && (code < FirstAlarmCode || code > LastAlarmCode))
        return {};
    return QString::fromUtf8(EventTexts[code]);
}

QString JournalLine(JournalSelector journal, const JournalRecord &record)
{
    const quint8 *b = record.bytes;
    return bcdText(b[0]) + QLatin1Char(':') + bcdText(b[1]) + QLatin1Char(' ') + bcdText(b[2]) +
           QLatin1Char('/') + bcdText(b[3]) + QLatin1Char(' ') + JournalText(journal, record.code());
}

QString JournalCaption(JournalSelector journal)
{
    return journal == AlarmJournal ? QStringLiteral("Журнал аварий") : QStringLiteral("Журнал событий");
}

} // namespace gencfg
