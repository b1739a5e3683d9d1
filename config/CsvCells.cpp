#include "config/CsvCells.h"

namespace gencfg {

bool SplitCsvRecords(const QString &text, QChar separator, QVector<CsvRecord> &records, int &badLine)
{
    int line = 1;
    CsvRecord record{line, {}};
    QString cell;
    bool quoted = false;
    bool wasQuoted = false;
    bool blank = true;
    const auto endCell = [&] {
        record.cells.append(wasQuoted ? cell : cell.trimmed());
        cell.clear();
        wasQuoted = false;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('"')) {
                    cell += c;
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                if (c == QLatin1Char('\n'))
                    ++line;
                cell += c;
            }
            continue;
        }
        if (c == QLatin1Char('"') && cell.trimmed().isEmpty() && !wasQuoted) {
            quoted = true;
            wasQuoted = true;
            blank = false;
            cell.clear();
        } else if (c == separator) {
            endCell();
            blank = false;
        } else if (c == QLatin1Char('\n')) {
            endCell();
            if (!blank)
                records.append(record);
            record = CsvRecord{++line, {}};
            blank = true;
        } else if (c != QLatin1Char('\r')) {
            if (wasQuoted) {
                if (!c.isSpace()) {
                    badLine = line;
                    return false;
                }
                continue;
            }
            cell += c;
            if (!c.isSpace())
                blank = false;
        }
    }
    if (quoted) {
        badLine = record.line;
        return false;
    }
    endCell();
    if (!blank)
        records.append(record);
    return true;
}

QString CsvCell(const QString &text)
{
    const bool quoted = text.contains(QLatin1Char(',')) || text.contains(QLatin1Char('"')) ||
                        text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r')) ||
                        text.contains(QLatin1Char(';')) || text != text.trimmed();
    if (!quoted)
        return text;
    QString cell = text;
    cell.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + cell + QLatin1Char('"');
}

QString QuotedInput(const QString &text)
{
    constexpr qsizetype Shown = 80;
    if (text.size() <= Shown)
        return text;
    return text.left(Shown) + QStringLiteral("… (%1 characters)").arg(text.size());
}

} // namespace gencfg
