#include "cli/BatchLedger.h"

#include "config/CsvCells.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace gencfg::cli {

namespace {

enum Column { Time, Port, Serial, Variant, Result, Changed, Failure, Note, ColumnCount };

// A ledger of a long-running bench stays far below this; the proven units are read from its end.
constexpr qint64 ReadAtMost = 64 * 1024 * 1024;

} // namespace

QString ProvenText()
{
    return QStringLiteral("записан и проверен");
}

QString AlreadyConfiguredText()
{
    return QStringLiteral("уже настроен");
}

QString FailedText()
{
    return QStringLiteral("ошибка");
}

QString LedgerTime()
{
    QDateTime now = QDateTime::currentDateTime();
    now.setOffsetFromUtc(now.offsetFromUtc());
    return now.toString(Qt::ISODate);
}

QString BatchLedger::headerLine()
{
    return QStringLiteral("time,port,serial,variant,result,changed,failure,note");
}

QString BatchLedger::lineText(const LedgerLine &line)
{
    const QStringList cells = {line.time,    line.port,   line.serial,
                               line.variant, line.result, line.changed.join(QStringLiteral("; ")),
                               line.failure, line.note};
    QStringList written;
    for (const QString &cell : cells)
        written.append(CsvCell(cell));
    return written.join(QLatin1Char(','));
}

QString BatchLedger::open(const QString &path)
{
    m_proven.clear();
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        return QStringLiteral("%1: not a regular file").arg(path);
    if (info.exists()) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return QStringLiteral("%1: %2").arg(path, file.errorString());
        if (file.size() > ReadAtMost)
            file.seek(file.size() - ReadAtMost);
        const QString text = QStringDecoder(QStringDecoder::Utf8)(file.readAll());
        QVector<CsvRecord> records;
        int badLine = 0;
        // A line broken by a crash spoils only itself: the records before it still count.
        SplitCsvRecords(text, QLatin1Char(','), records, badLine);
        for (const CsvRecord &record : std::as_const(records)) {
            if (record.cells.size() == ColumnCount && record.cells.at(Result) == ProvenText())
                m_proven.insert(record.cells.at(Serial), record.cells.at(Time));
        }
    }
    if (!m_file.open(path))
        return QStringLiteral("%1: %2").arg(path, m_file.errorString());
    if (m_file.size() == 0 && !m_file.append(headerLine().toUtf8() + "\r\n"))
        return QStringLiteral("%1: %2").arg(path, m_file.errorString());
    return {};
}

QString BatchLedger::append(const LedgerLine &line)
{
    if (!m_file.isOpen())
        return QStringLiteral("the ledger is closed after an earlier failure");
    if (!m_file.append(lineText(line).toUtf8() + "\r\n"))
        return QStringLiteral("%1: %2").arg(m_file.fileName(), m_file.errorString());
    if (line.result == ProvenText())
        m_proven.insert(line.serial, line.time);
    return {};
}

} // namespace gencfg::cli
