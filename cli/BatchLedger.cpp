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
        // Every line ends with CR LF and a cell breaks lines with LF alone, so a line
        // broken by a crash spoils only itself.
        for (const QString &lineText : text.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts)) {
            QVector<CsvRecord> records;
            int badLine = 0;
            if (!SplitCsvRecords(lineText, QLatin1Char(','), records, badLine) || records.size() != 1)
                continue;
            const QStringList &cells = records.first().cells;
            if (cells.size() != ColumnCount)
                continue;
            notePast(cells.at(Serial), cells.at(Result), cells.at(Time));
        }
    }
    // Created here with the header in one go; a batch that finds the file made by another adds none.
    QFile created(path);
    if (created.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        const QByteArray header = headerLine().toUtf8() + "\r\n";
        if (created.write(header) != header.size())
            return QStringLiteral("%1: %2").arg(path, created.errorString());
        created.close();
    }
    if (!m_file.open(path))
        return QStringLiteral("%1: %2").arg(path, m_file.errorString());
    if (m_file.size() == 0 && !m_file.append(headerLine().toUtf8() + "\r\n"))
        return QStringLiteral("%1: %2").arg(path, m_file.errorString());
    return {};
}

void BatchLedger::notePast(const QString &serial, const QString &result, const QString &time)
{
    // The latest line counts: a unit that failed since it was proven may hold anything.
    if (result == ProvenText())
        m_proven.insert(serial, time);
    else if (result == FailedText())
        m_proven.remove(serial);
}

QString BatchLedger::append(const LedgerLine &line)
{
    if (!m_file.isOpen())
        return QStringLiteral("the ledger is closed after an earlier failure");
    if (!m_file.append(lineText(line).toUtf8() + "\r\n"))
        return QStringLiteral("%1: %2").arg(m_file.fileName(), m_file.errorString());
    notePast(line.serial, line.result, line.time);
    return {};
}

} // namespace gencfg::cli
