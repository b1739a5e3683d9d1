#pragma once

// Cells of comma-separated text, as spreadsheets write them: a cell in double
// quotes may hold the separator and line breaks, and "" stands for one quote.

#include <QString>
#include <QStringList>
#include <QVector>

namespace gencfg {

struct CsvRecord
{
    int line = 0; // where the record starts, from 1
    QStringList cells;
};

// Records of text; unquoted cells are trimmed and blank lines skipped. False,
// with badLine set, when a quoted cell is not closed or text follows its closing quote.
bool SplitCsvRecords(const QString &text, QChar separator, QVector<CsvRecord> &records, int &badLine);

// A cell as written: quoted when it holds a comma, a quote, a line break or edge blanks.
QString CsvCell(const QString &text);

// Input quoted in a message, cut to a length a terminal line can show.
QString QuotedInput(const QString &text);

} // namespace gencfg
