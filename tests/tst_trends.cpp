// The telemetry record, its CSV form and recording, the reduction of a series
// to the plot's pixel columns, the stretch the plots show and their scales.

#include "ControllerFrames.h"
#include "TestSupport.h"
#include "monitor/TelemetryCsv.h"
#include "monitor/TelemetryJson.h"
#include "monitor/TelemetryLog.h"
#include "monitor/TelemetryRecording.h"
#include "monitor/TrendColumns.h"
#include "monitor/TrendScales.h"
#include "monitor/TrendTimeline.h"

#include <QDateTime>
#include <QFileInfo>
#include <QJsonDocument>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <cstring>
#include <ctime>

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
    void csvWriter_writesEachTimeAsCsvTimeDoes_acrossOffsetChanges();
    void writers_inARunOfRecords_writeWhatEachRecordAloneGives();
    void continuousFile_addsTheHeaderOnceAndALinePerFrame();
    void continuousFile_onAFullDisk_keepsOnlyWholeLinesAndSaysWhy();
    void columns_keepEveryMinimumAndMaximum();
    void timeline_framesGiveWhatARebuildGivesAndSettleSeldom_data();
    void timeline_framesGiveWhatARebuildGivesAndSettleSeldom();
    void valueAxis_holdsTheReadingsInWholeRoundSteps_data();
    void valueAxis_holdsTheReadingsInWholeRoundSteps();
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

void tst_Trends::csvWriter_writesEachTimeAsCsvTimeDoes_acrossOffsetChanges()
{
    // A zone with summer time, whatever this machine's is; CsvTime follows it as well.
    const QByteArray zone = qgetenv("TZ");
    qputenv("TZ", "Europe/Berlin");
    tzset();
    TelemetryCsvWriter writer;
    QByteArray row;
    int compared = 0;
    const qint64 summer = QDateTime(QDate(2026, 3, 29), QTime(1, 0), Qt::UTC).toMSecsSinceEpoch();
    const qint64 winter = QDateTime(QDate(2026, 10, 25), QTime(1, 0), Qt::UTC).toMSecsSinceEpoch();
    for (const qint64 around : {summer, winter, qint64(0)}) {
        for (qint64 t = around - 70000; t < around + 70000; t += 97, ++compared) {
            row.clear();
            writer.appendRow(row, t, recordWith(220));
            const QByteArray cell = row.left(row.indexOf(','));
            if (cell != CsvTime(t).toUtf8())
                QFAIL(qPrintable(QStringLiteral("%1: %2, expected %3").arg(t).arg(cell, CsvTime(t))));
        }
    }
    QCOMPARE(compared, 3 * 1444);
    if (zone.isNull())
        qunsetenv("TZ");
    else
        qputenv("TZ", zone);
    tzset();
}

void tst_Trends::writers_inARunOfRecords_writeWhatEachRecordAloneGives()
{
    QList<TelemetryRecord> run;
    // A generator running, its timer shown in the status text, then stopping.
    for (const quint16 timer : {90, 90, 91, 91, 92}) {
        TelemetryRecord running = recordWith(231, 5);
        running.Mode = 2;
        running.StageTimer = timer;
        run << running;
    }
    run << recordWith(0, 0) << recordWith(180, 3);
    TelemetryRecord edges = recordWith(65535);
    edges.VariantCode = 203;
    edges.AccVoltage = 136;
    edges.UpsVoltage = 65535;
    edges.MotoclockMinutes = 0xFFFFFFFF;
    edges.SignalQuality = SignalQualityUnknown;
    edges.Registration = 200;
    edges.Temperature1 = -128;
    edges.Temperature4 = 127;
    edges.ClockHours = 0x25; // no valid hour
    edges.Flags1 = 0xFF;
    edges.Flags2 = 0xFF;
    edges.Mode = 1;
    run << edges << recordWith(220);

    TelemetryCsvWriter csv;
    StatusJsonWriter json;
    for (int i = 0; i < run.size(); ++i) {
        QByteArray row;
        csv.appendRow(row, 1000 * i, run.at(i));
        QCOMPARE(QString::fromUtf8(row), TelemetryCsvRow(1000 * i, run.at(i)));
        QByteArray line;
        json.appendLine(line, run.at(i));
        QByteArray alone;
        StatusJsonWriter().appendLine(alone, run.at(i));
        QCOMPARE(line, alone);
        // Keys, numbers and texts exactly as QJsonDocument writes them.
        QCOMPARE(line, QJsonDocument(StatusJson(run.at(i))).toJson(QJsonDocument::Compact));
    }
}

void tst_Trends::continuousFile_addsTheHeaderOnceAndALinePerFrame()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("watch.csv"));
    {
        TelemetryRecording recording;
        QCOMPARE(recording.start(path), QString());
        for (int i = 0; i < 3; ++i)
            recording.append({1000 * i, recordWith(220)});
        QVERIFY(recording.isRecording());
        // Each line is in the file at once, before any close.
        QFile reader(path);
        QVERIFY(reader.open(QIODevice::ReadOnly));
        QCOMPARE(reader.readAll().count('\n'), 4);
    }
    TelemetryRecording again;
    QCOMPARE(again.start(path), QString());
    again.append({5000, recordWith(220)});
    again.stop();
    QFile reader(path);
    QVERIFY(reader.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(reader.readAll());
    QCOMPARE(text.count(TelemetryCsvHeader()), 1);
    QCOMPARE(readCsv(text).size(), 5);

    TelemetryRecording nowhere;
    QVERIFY(!nowhere.start(dir.filePath(QStringLiteral("no/such/folder.csv"))).isEmpty());
    QVERIFY(!nowhere.isRecording());
}

void tst_Trends::continuousFile_onAFullDisk_keepsOnlyWholeLinesAndSaysWhy()
{
#ifndef Q_OS_UNIX
    QSKIP("needs a limit on file sizes");
#endif
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("watch.csv"));
    TelemetryRecording recording;
    QSignalSpy stopped(&recording, &TelemetryRecording::stopped);
    QCOMPARE(recording.start(path), QString());
    recording.append({0, recordWith(220)});
    QVERIFY(recording.isRecording());
    const QByteArray whole = readAll(path);
    {
        // Room for 40 more bytes: the next row goes in only in part.
        FileSizeLimit full(whole.size() + 40);
        QVERIFY(full.isSet());
        recording.append({1000, recordWith(221)});
    }
    QCOMPARE(stopped.size(), 1);
    const QString failure = stopped.at(0).at(0).toString();
    QVERIFY2(failure.contains(path) && failure.contains(QString::fromLocal8Bit(std::strerror(EFBIG))),
             qPrintable(failure));
    QVERIFY(!recording.isRecording());
    // Stopped, it writes nothing more.
    recording.append({1500, recordWith(221)});
    QCOMPARE(readAll(path), whole);

    // A line cut short by an earlier run is ended before the next row, not joined by it.
    QFile earlier(path);
    QVERIFY(earlier.open(QIODevice::Append));
    earlier.write(TelemetryCsvRow(2000, recordWith(222)).left(40).toUtf8());
    earlier.close();
    QCOMPARE(recording.start(path), QString());
    recording.append({3000, recordWith(223)});
    recording.stop();
    QCOMPARE(stopped.size(), 2);
    QCOMPARE(stopped.at(1).at(0).toString(), QString());
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
    QList<QPointF> points;
    for (size_t i = 0; i < columns.size(); ++i)
        AppendColumnPoints(columns[i], i + 1 == columns.size(), points);
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

void tst_Trends::timeline_framesGiveWhatARebuildGivesAndSettleSeldom_data()
{
    QTest::addColumn<int>("span");
    QTest::addColumn<int>("periodMs");
    QTest::newRow("1 min, 250 ms") << int(TrendTimeline::OneMinute) << 250;
    QTest::newRow("10 min, 100 ms") << int(TrendTimeline::TenMinutes) << 100;
    QTest::newRow("all, 1 s") << int(TrendTimeline::Everything) << 1000;
}

void tst_Trends::timeline_framesGiveWhatARebuildGivesAndSettleSeldom()
{
    QFETCH(int, span);
    QFETCH(int, periodMs);
    constexpr int Pixels = 700;
    TelemetryLog log;
    TrendTimeline timeline(log);
    timeline.addLine([](const TelemetryRecord &r) -> double { return r.VoltageA; });
    timeline.setSpan(TrendTimeline::Span(span));
    QRandomGenerator random(span);
    // Off the whole second: a frame exactly at a step's end is kept in the range frame by frame, but starts
    // the next step when the lines are built again.
    qint64 now = QDateTime(QDate(2026, 12, 7), QTime(14, 0, 0, 7)).toMSecsSinceEpoch();
    const auto arrive = [&] {
        now += periodMs;
        log.append(now, recordWith(quint16(180 + random.bounded(80)), quint8(now / 20000 % 3)));
    };
    for (int i = 0; i < 600; ++i)
        arrive();
    timeline.rebuild(Pixels);
    // The line as drawn: each part starts at the last point of the one before.
    const auto drawn = [&timeline] {
        const TrendLine &line = timeline.line(0);
        QList<QPointF> points = line.settledPart();
        for (const QList<QPointF> &part : {line.bridgePart(), line.recentPart()})
            points << (!points.isEmpty() && !part.isEmpty() && part.first() == points.last() ? part.sliced(1)
                                                                                             : part);
        return points;
    };
    const auto joined = [&timeline] {
        const TrendLine &line = timeline.line(0);
        const QList<QPointF> parts[] = {line.settledPart(), line.bridgePart(), line.recentPart()};
        return (parts[0].isEmpty() || parts[1].first() == parts[0].last()) &&
               parts[2].first() == parts[1].last();
    };
    const int frames = 3000;
    int settledChanges = 0;
    for (int i = 0; i < frames; ++i) {
        timeline.applied();
        arrive();
        QVERIFY(timeline.sampleAdded(Pixels));
        settledChanges += timeline.line(0).partsChanged ? 1 : 0;
        QVERIFY(joined());
        // What a frame hands the chart again: a few columns, whatever the line holds.
        QVERIFY(timeline.line(0).recentPart().size() <= 40);
        // Live: the newest frame is within the last step of the range, which keeps the span.
        QVERIFY(timeline.to() >= now &&
                timeline.to() - now <= qMax<qint64>(1000, (timeline.to() - timeline.from()) / 30));
        if (span != TrendTimeline::Everything)
            QCOMPARE(timeline.to() - timeline.from(), span == TrendTimeline::OneMinute ? 60000 : 600000);
        else
            QVERIFY(timeline.from() <= log.at(0).msecs);
    }
    // The settled part, handed to the chart whole, changes only when columns settle or the time axis moves.
    QVERIFY2(settledChanges * 4 < frames, qPrintable(QString::number(settledChanges)));
    QCOMPARE(drawn().last(), QPointF(double(now), log.newest().record.VoltageA));
    QVERIFY(timeline.line(0).points.size() <= 2 * (Pixels + 2) + 1);

    // Beyond the leftmost columns, what frame after frame built is what the record gives at once.
    const double from = double(timeline.from() + (timeline.to() - timeline.from()) / 100);
    const auto shown = [from](const QList<QPointF> &points) {
        QList<QPointF> kept;
        std::copy_if(points.begin(), points.end(), std::back_inserter(kept),
                     [from](const QPointF &point) { return point.x() >= from; });
        return kept;
    };
    // The mode and stage changes the marks show, as times.
    const auto changes = [&timeline, from] {
        QList<qint64> times;
        for (const TelemetrySample &change : timeline.changes()) {
            if (change.msecs >= from)
                times << change.msecs;
        }
        return times;
    };
    const QList<QPointF> incremental = shown(drawn());
    const QList<qint64> changed = changes();
    QVERIFY(changed.size() > 1);
    timeline.invalidate();
    timeline.rebuild(Pixels);
    QCOMPARE(shown(drawn()), incremental);
    QCOMPARE(changes(), changed);
    for (qint64 msecs : changed) {
        const int i = log.firstAtOrAfter(msecs);
        QVERIFY(i == 0 || log.at(i).record.Stage != log.at(i - 1).record.Stage);
    }

    // Zoomed in, frames leave the lines alone until it follows the newest frame again.
    const qint64 zoomFrom = log.at(log.size() - 50).msecs;
    QVERIFY(!timeline.showRange(zoomFrom, zoomFrom));
    QVERIFY(timeline.isLive());
    QVERIFY(timeline.showRange(zoomFrom, now));
    timeline.rebuild(Pixels);
    arrive();
    QVERIFY(!timeline.sampleAdded(Pixels));
    QVERIFY(!timeline.isLive() && timeline.isStale());
    timeline.rebuild(Pixels);
    QCOMPARE(timeline.from(), zoomFrom);
    QCOMPARE(timeline.to(), now - periodMs);
    for (const QPointF &point : drawn())
        QVERIFY(point.x() >= zoomFrom - periodMs && point.x() <= now);
    timeline.goLive();
    QVERIFY(timeline.sampleAdded(Pixels));
    QCOMPARE(drawn().last().x(), double(now));
}

void tst_Trends::valueAxis_holdsTheReadingsInWholeRoundSteps_data()
{
    QTest::addColumn<double>("low");
    QTest::addColumn<double>("high");
    QTest::addColumn<double>("shownLow");
    QTest::addColumn<double>("shownHigh");
    QTest::addColumn<double>("newLow"); // NaN: the axis keeps its range
    QTest::addColumn<double>("newHigh");
    const double keep = qQNaN();
    QTest::newRow("nothing yet") << qInf() << -qInf() << 0.0 << 4.0 << keep << keep;
    QTest::newRow("every phase at 220 V") << 220.0 << 220.0 << 0.0 << 4.0 << 219.0 << 223.0;
    QTest::newRow("batteries at 13.6 V") << 13.6 << 13.6 << 0.0 << 4.0 << 12.0 << 16.0;
    QTest::newRow("sensors at 0 °C") << 0.0 << 0.0 << 0.0 << 4.0 << 0.0 << 4.0;
    QTest::newRow("frost") << -25.0 << 5.0 << 0.0 << 4.0 << -30.0 << 10.0;
    QTest::newRow("mains and thresholds") << 0.0 << 253.0 << 0.0 << 4.0 << 0.0 << 400.0;
    QTest::newRow("within the range") << 215.0 << 235.0 << 200.0 << 240.0 << keep << keep;
    QTest::newRow("shrunk well within") << 220.0 << 222.0 << 0.0 << 400.0 << 219.0 << 223.0;
    QTest::newRow("above the range") << 220.0 << 241.0 << 200.0 << 240.0 << 210.0 << 250.0;
}

void tst_Trends::valueAxis_holdsTheReadingsInWholeRoundSteps()
{
    QFETCH(double, low);
    QFETCH(double, high);
    QFETCH(double, shownLow);
    QFETCH(double, shownHigh);
    QFETCH(double, newLow);
    QFETCH(double, newHigh);
    const auto range = ValueAxisRange(low, high, shownLow, shownHigh);
    QCOMPARE(range.has_value(), !qIsNaN(newLow));
    if (!range)
        return;
    QCOMPARE(range->first, newLow);
    QCOMPARE(range->second, newHigh);
    // The labels "%d" prints are whole, distinct and one round step apart, and hold what is drawn.
    const double step = (range->second - range->first) / (ValueTicks - 1);
    const double power = std::pow(10.0, std::floor(std::log10(step)));
    QVERIFY2(step >= 1 && QList<double>({1, 2, 5}).contains(step / power), qPrintable(QString::number(step)));
    QCOMPARE(std::floor(range->first / step) * step, range->first);
    if (low <= high)
        QVERIFY(range->first <= low && range->second >= high);
}

QTEST_GUILESS_MAIN(tst_Trends)
#include "tst_trends.moc"
