#include "config/UnitValues.h"

#include "config/CsvCells.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStringDecoder>

namespace gencfg {

namespace {

UnitValuesRead refused(const QString &error)
{
    return {std::nullopt, error};
}

} // namespace

const UnitRow *UnitValues::find(const QString &wanted) const
{
    for (const UnitRow &row : rows) {
        if (row.key == wanted)
            return &row;
    }
    return nullptr;
}

QString UnitValues::where(int line, int column, const QString &what) const
{
    return QStringLiteral("%1:%2:%3: %4").arg(fileName).arg(line).arg(column).arg(what);
}

UnitValuesRead ParseUnitValues(const QByteArray &content, const QString &fileName)
{
    UnitValues values;
    values.fileName = fileName;
    if (content.startsWith("\xFF\xFE") || content.startsWith("\xFE\xFF") || content.contains('\0'))
        return refused(QStringLiteral("%1: the file is UTF-16; save it as UTF-8").arg(fileName));
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder(content);
    if (decoder.hasError())
        return refused(QStringLiteral("%1: the file is not UTF-8 text").arg(fileName));
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.category() == QChar::Other_Control && c != QLatin1Char('\n') && c != QLatin1Char('\r') &&
            c != QLatin1Char('\t')) {
            const int line = int(text.left(i).count(QLatin1Char('\n'))) + 1;
            return refused(QStringLiteral("%1:%2: a control character in the text").arg(fileName).arg(line));
        }
    }

    const QString firstLine = text.section(QLatin1Char('\n'), 0, 0);
    const QChar separator = firstLine.contains(QLatin1Char(';')) && !firstLine.contains(QLatin1Char(','))
                                ? QLatin1Char(';')
                                : QLatin1Char(',');
    QVector<CsvRecord> records;
    int badLine = 0;
    if (!SplitCsvRecords(text, separator, records, badLine))
        return refused(QStringLiteral("%1:%2: a quoted cell is not closed where it should be")
                           .arg(fileName)
                           .arg(badLine));
    if (records.isEmpty())
        return refused(
            QStringLiteral("%1: the file is empty; its first line must be the header").arg(fileName));

    const CsvRecord &header = records.first();
    const QString keyHeading = header.cells.first().toLower();
    if (keyHeading == QLatin1String("serial"))
        values.key = UnitValues::Key::Serial;
    else if (keyHeading == QLatin1String("port"))
        values.key = UnitValues::Key::Port;
    else
        return refused(
            values.where(header.line, 1, QStringLiteral("the first heading must be \"serial\" or \"port\"")));
    if (header.cells.size() < 2)
        return refused(values.where(header.line, 2, QStringLiteral("no parameter column after the key")));
    QSet<QString> headings;
    for (qsizetype column = 1; column < header.cells.size(); ++column) {
        const QString &path = header.cells.at(column);
        if (path.isEmpty())
            return refused(values.where(header.line, int(column) + 1, QStringLiteral("an empty heading")));
        if (headings.contains(path))
            return refused(values.where(header.line, int(column) + 1,
                                        QStringLiteral("\"%1\" is a column already").arg(QuotedInput(path))));
        headings.insert(path);
        values.paths.append(path);
    }

    for (qsizetype r = 1; r < records.size(); ++r) {
        const CsvRecord &record = records.at(r);
        if (record.cells.size() != header.cells.size())
            return refused(values.where(record.line,
                                        int(std::min(record.cells.size(), header.cells.size())) + 1,
                                        QStringLiteral("%1 cells where the header has %2")
                                            .arg(record.cells.size())
                                            .arg(header.cells.size())));
        const QString &key = record.cells.first();
        if (key.isEmpty())
            return refused(values.where(record.line, 1, QStringLiteral("no %1 given").arg(keyHeading)));
        if (const UnitRow *earlier = values.find(key))
            return refused(values.where(record.line, 1,
                                        QStringLiteral("%1 %2 has a row already, on line %3")
                                            .arg(keyHeading, QuotedInput(key))
                                            .arg(earlier->line)));
        values.rows.append({record.line, key, record.cells.mid(1)});
    }
    return {values, {}};
}

UnitValuesRead ReadUnitValues(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return refused(QStringLiteral("%1: no such file").arg(path));
    if (!info.isFile())
        return refused(QStringLiteral("%1: not a regular file").arg(path));
    if (info.size() > MaxUnitValuesSize)
        return refused(QStringLiteral("%1: larger than %2 bytes, too large for per-unit values")
                           .arg(path)
                           .arg(MaxUnitValuesSize));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return refused(QStringLiteral("%1: %2").arg(path, file.errorString()));
    const QByteArray content = file.read(MaxUnitValuesSize + 1);
    if (file.error() != QFileDevice::NoError)
        return refused(QStringLiteral("%1: %2").arg(path, file.errorString()));
    if (content.size() > MaxUnitValuesSize)
        return refused(QStringLiteral("%1: larger than %2 bytes, too large for per-unit values")
                           .arg(path)
                           .arg(MaxUnitValuesSize));
    return ParseUnitValues(content, path);
}

} // namespace gencfg
