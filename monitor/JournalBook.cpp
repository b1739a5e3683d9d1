#include "monitor/JournalBook.h"

#include "config/Catalogue.h"
#include "link/FrameCodec.h"
#include "monitor/JournalReading.h"

#include <algorithm>

namespace gencfg {

namespace {

// The CSV file is read by scripts and spreadsheets: its texts stay Russian whatever the window shows.
QString csvField(const QString &text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')))
        return text;
    return QLatin1Char('"') + QString(text).replace(QLatin1String("\""), QLatin1String("\"\"")) +
           QLatin1Char('"');
}

// A stamp field as a number, or an empty cell where the controller kept no valid time.
QString stampCell(quint8 byte, BcdField field)
{
    const std::optional<quint8> value = BcdFieldValue(byte, field);
    return value ? QString::number(*value) : QString();
}

} // namespace

int JournalBook::insert(JournalSelector journal, const Entry &entry)
{
    QList<Entry> &list = m_entries[journal == AlarmJournal];
    const auto place = std::upper_bound(list.begin(), list.end(), entry.index,
                                        [](int index, const Entry &e) { return index < e.index; });
    const int row = int(place - list.begin());
    list.insert(row, entry);
    return row;
}

int JournalBook::addRecord(JournalSelector journal, int index, const JournalRecord &record)
{
    return insert(journal, {index, false, record});
}

int JournalBook::addMissing(JournalSelector journal, int index)
{
    return insert(journal, {index, true, {}});
}

void JournalBook::clear()
{
    for (QList<Entry> &list : m_entries)
        list.clear();
    m_complete[0] = m_complete[1] = true;
    m_serial.reset();
    m_variantCode = 0;
}

void JournalBook::setController(const QString &serial, quint8 variantCode)
{
    m_serial = serial;
    m_variantCode = variantCode;
}

QList<int> JournalBook::missingIndices(JournalSelector journal) const
{
    QList<int> indices;
    for (const Entry &entry : entries(journal)) {
        if (entry.missing)
            indices.append(entry.index);
    }
    return indices;
}

QStringList JournalBook::lines(JournalSelector journal) const
{
    QStringList lines;
    for (const Entry &entry : entries(journal))
        lines.append(entry.missing ? MissingJournalLine(entry.index) : JournalLine(journal, entry.record));
    if (!isComplete(journal))
        lines.append(IncompleteJournalText(journal));
    return lines;
}

int JournalBook::recordCount() const
{
    int count = 0;
    for (const QList<Entry> &entries : m_entries)
        count +=
            int(std::count_if(entries.begin(), entries.end(), [](const Entry &e) { return !e.missing; }));
    return count;
}

QStringList JournalBook::shortfalls() const
{
    QStringList texts;
    const qsizetype missing = missingIndices(EventJournal).size() + missingIndices(AlarmJournal).size();
    if (missing > 0)
        texts.append(MissingEntriesText(int(missing)));
    for (JournalSelector journal : {EventJournal, AlarmJournal}) {
        if (!isComplete(journal))
            texts.append(IncompleteJournalText(journal));
    }
    return texts;
}

QString JournalBook::text() const
{
    QString text;
    for (JournalSelector journal : {EventJournal, AlarmJournal}) {
        if (journal == AlarmJournal)
            text += QLatin1Char('\n');
        text += JournalCaption(journal) + QLatin1Char('\n');
        for (const QString &line : lines(journal))
            text += line + QLatin1Char('\n');
    }
    return text;
}

QByteArray JournalBook::csv() const
{
    QString text = QStringLiteral("Журнал,Номер,День,Месяц,Час,Минута,Код,Событие");
    // Each row names its controller, so rows copied elsewhere still say whose they are.
    QString controller;
    if (m_serial) {
        const std::optional<DeviceVariant> variant = VariantFromCode(m_variantCode);
        text += QStringLiteral(",Серийный номер,Вариант");
        controller = QLatin1Char(',') + csvField(*m_serial) + QLatin1Char(',') +
                     csvField(variant ? VariantTitle(*variant).trimmed() : QString::number(m_variantCode));
    }
    text += QStringLiteral("\r\n");
    for (JournalSelector journal : {EventJournal, AlarmJournal}) {
        for (const Entry &entry : entries(journal)) {
            if (entry.missing)
                continue;
            const quint8 *b = entry.record.bytes;
            const QStringList cells{JournalCaption(journal, TextUse::Stored),
                                    QString::number(entry.index),
                                    stampCell(b[2], BcdField::Day),
                                    stampCell(b[3], BcdField::Month),
                                    stampCell(b[0], BcdField::Hour),
                                    stampCell(b[1], BcdField::Minute),
                                    QString::number(entry.record.code()),
                                    csvField(JournalText(journal, entry.record.code(), TextUse::Stored))};
            text += cells.join(QLatin1Char(',')) + controller + QStringLiteral("\r\n");
        }
    }
    return text.toUtf8();
}

} // namespace gencfg
