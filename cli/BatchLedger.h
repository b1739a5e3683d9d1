#pragma once

// The bench's ledger: a CSV file that gains one line for every unit a batch
// finishes, each on disk before the next unit starts, so a run cut short
// still leaves the record of every unit it finished.

#include "monitor/LineAppendFile.h"

#include <QHash>
#include <QString>
#include <QStringList>

namespace gencfg::cli {

// A unit's result as the ledger and the table name it.
QString ProvenText();            // "записан и проверен"
QString AlreadyConfiguredText(); // "уже настроен"
QString FailedText();            // "ошибка"

struct LedgerLine
{
    QString time; // ISO 8601 with the UTC offset
    QString port;
    QString serial;
    QString variant;
    QString result;
    QStringList changed; // "tree path=value written"
    QString failure;
    QString note; // a unit without a row of its own, a unit the ledger had proven before
};

class BatchLedger
{
public:
    // Reads the units proven so far, then opens for appending; a new or empty
    // file gets the header first. Returns the failure text, or an empty one.
    QString open(const QString &path);
    bool isOpen() const { return m_file.isOpen(); }
    // Appends the line; a failure text, or an empty one.
    QString append(const LedgerLine &line);
    // When the ledger last has the serial number proven; empty when never, or
    // when a later line has it failed.
    QString provenAt(const QString &serial) const { return m_proven.value(serial); }

    static QString headerLine();
    static QString lineText(const LedgerLine &line);

private:
    void notePast(const QString &serial, const QString &result, const QString &time);

    LineAppendFile m_file;
    QHash<QString, QString> m_proven; // serial number: time
};

// The current local time as a ledger writes it.
QString LedgerTime();

} // namespace gencfg::cli
