// The telemetry record, its CSV form and the reduction of a series to the
// plot's pixel columns.

#include "ControllerFrames.h"
#include "TestSupport.h"
#include "monitor/TelemetryCsv.h"
#include "monitor/TelemetryLog.h"
#include "monitor/TrendColumns.h"

#include <QDateTime>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <cstring>

using namespace gencfg;
using namespace gencfg::test;

namespace {

TelemetryRecord recordWith(quint16 phaseA, quint8 stage = 0)
{
    QByteArray data = statusData(201);
    data[9] = char(phaseA == 0 ? 0 : phaseA - 50);
    data[5] = char(stage);
    const QByteArray frame = QByteArray(FrameDataOffset, '\0') + data;
    return DecodeStatusFrame(frame);
}

// A plain CSV reader: quoted fields with doubled quotes, rows ended by CR LF.
QList<QStringList> readCsv(const QString &text)
{
    QList<QStringList> rows;
    QStringList row;
    QString cell;
    bool quoted = false;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == QLatin1Char('"') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('"')) {
                cell += c;
                ++i;
            } else if (c == QLatin1Char('"')) {
                quoted = false;
            } else {
                cell += c;
            }
        } else if (c == QLatin1Char('"')) {
            quoted = true;
        } else if (c == QLatin1Char(',')) {
            row << cell;
            cell.clear();
        } else if (c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n')) {
            rows << (row << cell);
            row.clear();
            cell.clear();
            ++i;
        } else {
            cell += c;
        }
    }
    return rows;
}

} // namespace

class tst_Trends : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void record_keepsTheNewestInOrderUpToItsBound();
    void csv_ofKnownFrames_isExactAndReadsBack();
    void continuousFile_addsTheHeaderOnceAndALinePerFrame();
    void continuousFile_onAFullDisk_keepsOnlyWholeLinesAndSaysWhy();
    void columns_keepEveryMinimumAndMaximum();
};

void tst_Trends::record_keepsTheNewestInOrderUpToItsBound()
{
    TelemetryLog log(5);
    for (int i = 0; i < 12; ++i)
        log.append(1000 * i, recordWith(quint16(200 + i)));
    QCOMPARE(log.size(), 5);
    for (int i = 0; i < 5; ++i) {
        QCOMPARE(log.at(i).msecs, qint64(1000 * (7 + i)));
        QCOMPARE(log.at(i).record.VoltageA, quint16(207 + i));
    }
    QCOMPARE(log.firstAtOrAfter(0), 0);
    QCOMPARE(log.firstAtOrAfter(9000), 2);
    QCOMPARE(log.firstAtOrAfter(9001), 3);
    QCOMPARE(log.firstAtOrAfter(100000), 5);
    // A full day at one frame a second stays far below 30 MB.
    QVERIFY2(TelemetryLog::DayAtOneFramePerSecond * TelemetryLog::BytesPerSample < 30u * 1024 * 1024,
             qPrintable(QString::number(TelemetryLog::BytesPerSample)));
}

void tst_Trends::csv_ofKnownFrames_isExactAndReadsBack()
{
    TelemetryLog log;
    const qint64 t0 = QDateTime(QDate(2026, 12, 7), QTime(14, 5, 9, 123)).toMSecsSinceEpoch();
    log.append(t0, recordWith(231));
    log.append(t0 + 1000, recordWith(0, 3));
    const QString csv = QString::fromUtf8(TelemetryCsv(log, 0, log.size()));
    const QList<QStringList> rows = readCsv(csv);
    QCOMPARE(rows.size(), 3);
    QCOMPARE(rows.at(0).mid(0, 8),
             (QStringList{"Время", "Фаза А (В)", "Фаза B (В)", "Фаза С (В)", "Фаза ГУ (В)",
                          "Напряжение АКБ (В)", "Напряжение ИБП (В)", "Температура 1 (°C)"}));
    QCOMPARE(rows.at(0).size(), 16 + 13);
    for (const QStringList &row : rows)
        QCOMPARE(row.size(), rows.at(0).size());
    // ISO 8601 local time with milliseconds and the offset, a dot as decimal separator.
    const QDateTime back = QDateTime::fromString(rows.at(1).at(0), Qt::ISODateWithMs);
    QCOMPARE(back.toMSecsSinceEpoch(), t0);
    QVERIFY2(rows.at(1).at(0).startsWith(QLatin1String("2026-12-07T14:05:09.123")),
             qPrintable(rows.at(1).at(0)));
    QCOMPARE(rows.at(1).at(1), QStringLiteral("231"));
    QCOMPARE(rows.at(1).at(5), QStringLiteral("0.0"));
    QCOMPARE(rows.at(2).at(1), QStringLiteral("0"));
    QCOMPARE(rows.at(2).at(14), QStringLiteral("3"));
    // Nothing for the status text when the frame would leave the label as it was.
    QVERIFY(rows.at(1).at(15).isEmpty() || !rows.at(1).at(15).contains(QLatin1Char('\n')));
    QVERIFY(!csv.contains(QLatin1Char(';')));
}

void tst_Trends::continuousFile_addsTheHeaderOnceAndALinePerFrame()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("watch.csv"));
    {
        TelemetryCsvFile file;
        QCOMPARE(file.open(path), QString());
        for (int i = 0; i < 3; ++i)
            QCOMPARE(file.append(1000 * i, recordWith(220)), QString());
        // Each line is in the file at once, before any close.
        QFile reader(path);
        QVERIFY(reader.open(QIODevice::ReadOnly));
        QCOMPARE(reader.readAll().count('\n'), 4);
    }
    TelemetryCsvFile again;
    QCOMPARE(again.open(path), QString());
    QCOMPARE(again.append(5000, recordWith(220)), QString());
    again.close();
    QFile reader(path);
    QVERIFY(reader.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(reader.readAll());
    QCOMPARE(text.count(TelemetryCsvHeader()), 1);
    QCOMPARE(readCsv(text).size(), 5);

    TelemetryCsvFile nowhere;
    QVERIFY(!nowhere.open(dir.filePath(QStringLiteral("no/such/folder.csv"))).isEmpty());
}

void tst_Trends::continuousFile_onAFullDisk_keepsOnlyWholeLinesAndSaysWhy()
{
#ifndef Q_OS_UNIX
    QSKIP("needs a limit on file sizes");
#endif
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("watch.csv"));
    TelemetryCsvFile file;
    QCOMPARE(file.open(path), QString());
    QCOMPARE(file.append(0, recordWith(220)), QString());
    const QByteArray whole = readAll(path);
    QString failure;
    {
        // Room for 40 more bytes: the next row goes in only in part.
        FileSizeLimit full(whole.size() + 40);
        QVERIFY(full.isSet());
        failure = file.append(1000, recordWith(221));
    }
    QVERIFY2(failure.contains(path) && failure.contains(QString::fromLocal8Bit(std::strerror(EFBIG))),
             qPrintable(failure));
    QVERIFY(!file.isOpen());
    QCOMPARE(readAll(path), whole);

    // A line cut short by an earlier run is ended before the next row, not joined by it.
    QFile earlier(path);
    QVERIFY(earlier.open(QIODevice::Append));
    earlier.write(TelemetryCsvRow(2000, recordWith(222)).left(40).toUtf8());
    earlier.close();
    QCOMPARE(file.open(path), QString());
    QCOMPARE(file.append(3000, recordWith(223)), QString());
    file.close();
    const QList<QStringList> rows = readCsv(QString::fromUtf8(readAll(path)));
    QCOMPARE(rows.size(), 4);
    QCOMPARE(rows.last().size(), rows.first().size());
    QCOMPARE(rows.last().at(1), QStringLiteral("223"));
}

void tst_Trends::columns_keepEveryMinimumAndMaximum()
{
    QRandomGenerator random(7);
    const qint64 columnMs = 64;
    std::vector<MinMaxColumn> columns;
    QMap<qint64, QPair<double, double>> expected;
    for (qint64 t = 0; t < 20000; t += 1 + random.bounded(40)) {
        const double value = random.bounded(1000) - 500;
        AddToColumns(columns, columnMs, t, value);
        const qint64 column = t / columnMs;
        if (!expected.contains(column)) {
            expected.insert(column, {value, value});
        } else {
            QPair<double, double> &range = expected[column];
            range = {qMin(range.first, value), qMax(range.second, value)};
        }
    }
    const QList<QPointF> points = ColumnPoints(columns);
    QVERIFY(points.size() <= 2 * int(columns.size()) + 1);
    QMap<qint64, QPair<double, double>> drawn;
    double lastX = -1;
    for (const QPointF &point : points) {
        QVERIFY2(point.x() >= lastX, "points go in time order");
        lastX = point.x();
        const qint64 column = qint64(point.x()) / columnMs;
        auto it = drawn.find(column);
        if (it == drawn.end())
            drawn.insert(column, {point.y(), point.y()});
        else
            *it = {qMin(it->first, point.y()), qMax(it->second, point.y())};
    }
    QCOMPARE(drawn, expected);

    DropColumnsBefore(columns, columnMs, 10000);
    QCOMPARE(columns.front().index, 10000 / columnMs);
}

QTEST_GUILESS_MAIN(tst_Trends)
#include "tst_trends.moc"
