#pragma once

// What a journal reading brought, kept by entry index: the records read and
// the entries that could not be read, for the page, the CSV file, the archive
// and gencfg-cli alike.

#include "monitor/Journal.h"

#include <QList>
#include <QStringList>
#include <optional>

namespace gencfg {

class JournalBook
{
public:
    struct Entry
    {
        int index = 0;
        bool missing = false;
        JournalRecord record;
    };

    // Each returns the entry's row among the journal's entries in index order.
    int addRecord(JournalSelector journal, int index, const JournalRecord &record);
    int addMissing(JournalSelector journal, int index);
    // Forgets the entries and the controller.
    void clear();
    // A journal whose end was never confirmed may hold more than was read.
    void setComplete(JournalSelector journal, bool complete)
    {
        m_complete[journal == AlarmJournal] = complete;
    }
    bool isComplete(JournalSelector journal) const { return m_complete[journal == AlarmJournal]; }

    // The controller the entries are read from, as known when the reading began:
    // its serial number (empty when unset or not yet known) and variant code.
    void setController(const QString &serial, quint8 variantCode);
    const std::optional<QString> &serial() const { return m_serial; }
    quint8 variantCode() const { return m_variantCode; }

    bool isEmpty() const { return m_entries[0].isEmpty() && m_entries[1].isEmpty(); }
    // In index order; entries asked once more take their own place.
    const QList<Entry> &entries(JournalSelector journal) const { return m_entries[journal == AlarmJournal]; }
    QList<int> missingIndices(JournalSelector journal) const;
    // The records read in both journals, the missing entries not counted.
    int recordCount() const;
    // "hh:mm dd/mm text" for each record, "-- запись N не прочитана --" for each missing entry,
    // and last "Журнал аварий может быть неполным" for a journal that is not complete.
    QStringList lines(JournalSelector journal) const;
    // What the reading left unread, as the user is told: "Не прочитано записей: 2", then
    // "Журнал аварий может быть неполным" for each journal that is not complete; empty when nothing.
    QStringList shortfalls() const;
    // Both journals: each caption, then its lines, a blank line between them.
    QString text() const;
    // Both journals as one UTF-8 CSV file, every record in its own row under a header row;
    // with the controller's serial number and variant in two more columns when it is named.
    QByteArray csv() const;

private:
    int insert(JournalSelector journal, const Entry &entry);

    QList<Entry> m_entries[2];
    bool m_complete[2] = {true, true};
    std::optional<QString> m_serial;
    quint8 m_variantCode = 0;
};

} // namespace gencfg
