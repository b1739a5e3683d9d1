#include "monitor/Journal.h"

#include "link/FrameCodec.h"

namespace gencfg {

namespace {

constexpr quint8 JournalEndCode = 20;
// The alarm journal only names the alarms.
constexpr quint8 FirstAlarmCode = 11;
constexpr quint8 LastAlarmCode = 17;
constexpr quint8 UpsWorkCode = 10;

constexpr const char *EventTexts[] = {
    QT_TRANSLATE_NOOP("Journal", "пропадание сети"),
    QT_TRANSLATE_NOOP("Journal", "запуск ГУ"),
    QT_TRANSLATE_NOOP("Journal", "работа ГУ"),
    QT_TRANSLATE_NOOP("Journal", "появление сети"),
    QT_TRANSLATE_NOOP("Journal", "включение БУЭ"),
    QT_TRANSLATE_NOOP("Journal", "ручной режим"),
    QT_TRANSLATE_NOOP("Journal", "автоматический режим"),
    QT_TRANSLATE_NOOP("Journal", "тестовый запуск"),
    QT_TRANSLATE_NOOP("Journal", "отдых ГУ"),
    QT_TRANSLATE_NOOP("Journal", "останов ГУ"),
    QT_TRANSLATE_NOOP("Journal", "работа ИБП"),
    QT_TRANSLATE_NOOP("Journal", "авария: разряд АКБ ГУ"),
    QT_TRANSLATE_NOOP("Journal", "авария: напряжение ГУ вне дипазона"),
    QT_TRANSLATE_NOOP("Journal", "авария: нет запуска ГУ"),
    QT_TRANSLATE_NOOP("Journal", "авария: нет останова ГУ"),
    QT_TRANSLATE_NOOP("Journal", "авария: нет импульсов с магнето"),
    QT_TRANSLATE_NOOP("Journal", "авария: нет напряжения с альтернатора"),
    QT_TRANSLATE_NOOP("Journal", "авария: частота ГУ вне диапазона"),
};
constexpr int EventTextCount = int(sizeof(EventTexts) / sizeof(EventTexts[0]));

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

QString JournalText(JournalSelector journal, quint8 code, TextUse use)
{
    if (IsJournalEnd(code))
        return {};
    // Codes the controller writes without a text of their own are named by number, not left blank.
    if (code >= EventTextCount || (journal == AlarmJournal && code == UpsWorkCode))
        return TextFor("Journal", QT_TRANSLATE_NOOP("Journal", "код %1"), use).arg(code);
    if (journal == AlarmJournal && (code < FirstAlarmCode || code > LastAlarmCode))
        return {};
    return TextFor("Journal", EventTexts[code], use);
}

QString JournalLine(JournalSelector journal, const JournalRecord &record)
{
    const quint8 *b = record.bytes;
    return BcdFieldText(b[0], BcdField::Hour) + QLatin1Char(':') + BcdFieldText(b[1], BcdField::Minute) +
           QLatin1Char(' ') + BcdFieldText(b[2], BcdField::Day) + QLatin1Char('/') +
           BcdFieldText(b[3], BcdField::Month) + QLatin1Char(' ') + JournalText(journal, record.code());
}

QString JournalCaption(JournalSelector journal, TextUse use)
{
    return journal == AlarmJournal ? TextFor("Journal", QT_TRANSLATE_NOOP("Journal", "Журнал аварий"), use)
                                   : TextFor("Journal", QT_TRANSLATE_NOOP("Journal", "Журнал событий"), use);
}

} // namespace gencfg
