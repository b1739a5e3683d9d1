// The session recording: what the recorder takes from a link comes back from
// the file; a file cut anywhere reads up to the cut; malformed lines and files
// that are no recording are named; a full disk ends the recording but not the
// link; and a recording plays back through the link as a live port.

#include "ControllerFrames.h"
#include "MemLink.h"
#include "RecordingFiles.h"
#include "TestSupport.h"
#include "config/ConfigTransfer.h"
#include "monitor/StatusFeed.h"
#include "record/LongTimer.h"
#include "record/RecordingReader.h"
#include "record/RecordingTransport.h"
#include "record/SessionRecorder.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <cstring>

using namespace gencfg;
using namespace gencfg::test;

namespace {

struct ReadBack
{
    QString failure; // of opening
    RecordingHeader header;
    QList<RecordedChunk> chunks;
    QString error; // after the chunks
    bool endedInsideLine = false;
};

ReadBack readRecording(const QString &path)
{
    ReadBack back;
    RecordingReader reader;
    back.failure = reader.open(path);
    if (!back.failure.isEmpty())
        return back;
    back.header = reader.header();
    RecordedChunk chunk;
    while (reader.next(chunk))
        back.chunks << chunk;
    back.error = reader.error();
    back.endedInsideLine = reader.endedInsideLine();
    return back;
}

QByteArray joined(const QList<RecordedChunk> &chunks, ChunkDirection direction)
{
    QByteArray bytes;
    for (const RecordedChunk &chunk : chunks)
        if (chunk.direction == direction)
            bytes += chunk.bytes;
    return bytes;
}

} // namespace

class tst_Recording : public QObject
{
    Q_OBJECT
private slots:
    void recorder_keepsEveryByteAndRequest_readBackInOrder();
    void cutFile_readsUpToTheCut_data();
    void cutFile_readsUpToTheCut();
    void malformedLine_isNamedWithItsFileAndLine_data();
    void malformedLine_isNamedWithItsFileAndLine();
    void damagedGzip_keepsEveryWholeLineBeforeTheDamage_data();
    void damagedGzip_keepsEveryWholeLineBeforeTheDamage();
    void noRecording_isRefusedWithWhatItIs_data();
    void noRecording_isRefusedWithWhatItIs();
    void fullDisk_endsTheRecordingWithWholeLines_theLinkGoesOn();
    void playback_decodesAsLive_pausesSeeksAndRefusesWrites();
    void longTimer_waitsTheWholeTimeInStretches_evenPastWhatAQTimerHolds();

private:
    QTemporaryDir m_dir;
};

void tst_Recording::recorder_keepsEveryByteAndRequest_readBackInOrder()
{
    MemLink mem(30);
    QByteArray received;
    connect(&mem.link, &DeviceLink::bytesReceived, this, [&](const QByteArray &b) { received += b; });
    QByteArray requests;
    connect(mem.sim, &SimTransport::frameReceived, this,
            [&](const FrameLogEntry &entry) { requests += entry.text; });
    SessionRecorder recorder;
    recorder.setLink(&mem.link);
    RecordingHeader header = testRecordingHeader();
    // A port name with a blank, a percent sign and Cyrillic letters reads back as written.
    header.port = QStringLiteral("/dev/my port%20 порт");
    const QString path = m_dir.filePath(QStringLiteral("session.rec"));
    QCOMPARE(recorder.start(path, header), QString());
    const QDateTime started = QDateTime::currentDateTime();

    ConfigReadOperation read(filledImage(0));
    QCOMPARE(runToEnd(mem.link, read), std::optional(OperationStatus::Succeeded));
    QTRY_VERIFY(received.count('\r') >= 8);
    recorder.stop();
    mem.link.receive(statusFrame()); // after the stop: not recorded
    QVERIFY(!recorder.isRecording());

    const ReadBack back = readRecording(path);
    QCOMPARE(back.failure, QString());
    QCOMPARE(back.error, QString());
    QVERIFY(!back.endedInsideLine);
    QCOMPARE(back.header.port, header.port);
    QCOMPARE(back.header.variant, header.variant);
    QCOMPARE(back.header.programVersion, header.programVersion);
    QVERIFY(qAbs(back.header.start.msecsTo(started)) < 1000);
    QCOMPARE(joined(back.chunks, ChunkDirection::Received) + statusFrame(), received);
    QCOMPARE(joined(back.chunks, ChunkDirection::Sent), requests);
    QVERIFY(requests.count('\r') >= 4);
    // Each reply comes after its request.
    const auto firstSent = std::find_if(back.chunks.cbegin(), back.chunks.cend(), [](const RecordedChunk &c) {
        return c.direction == ChunkDirection::Sent;
    });
    QVERIFY(firstSent != back.chunks.cend() && firstSent + 1 != back.chunks.cend());
    QVERIFY(firstSent[1].ms >= firstSent->ms);

    // The same file gzip-compressed reads the same, whatever its name.
    const QString packed = m_dir.filePath(QStringLiteral("session.txt"));
    QVERIFY(writeAll(packed, gzipped(readAll(path))));
    const ReadBack unpacked = readRecording(packed);
    QCOMPARE(unpacked.error, QString());
    QCOMPARE(unpacked.chunks, back.chunks);
}

void tst_Recording::cutFile_readsUpToTheCut_data()
{
    QTest::addColumn<bool>("compressed");
    QTest::addColumn<int>("cutFromEnd");
    const QByteArray text = recordingText(testChunks(40));
    const int lastLine = int(text.size() - text.lastIndexOf('\n', text.size() - 2) - 1);
    QTest::newRow("whole") << false << 0;
    QTest::newRow("inside the hex of the last line") << false << 3;
    QTest::newRow("inside a hex pair") << false << 2;
    QTest::newRow("after the time of the last line") << false << lastLine - 3;
    QTest::newRow("last line without its line feed") << false << 1;
    QTest::newRow("in the middle") << false << int(text.size() / 2);
    QTest::newRow("gzip without its trailer") << true << 8;
    QTest::newRow("gzip cut in its middle") << true << -2;
    QTest::newRow("gzip cut early") << true << -3;
}

void tst_Recording::cutFile_readsUpToTheCut()
{
    QFETCH(bool, compressed);
    QFETCH(int, cutFromEnd);
    const QList<RecordedChunk> chunks = testChunks(40);
    const QByteArray text = recordingText(chunks);
    QByteArray content = compressed ? gzipped(text) : text;
    // Negative: a fraction of the file kept.
    const int keep = cutFromEnd >= 0 ? int(content.size()) - cutFromEnd : int(content.size()) / -cutFromEnd;
    content = content.left(keep);
    const QString path = m_dir.filePath(QStringLiteral("cut.rec"));
    QVERIFY(writeAll(path, content));

    const ReadBack back = readRecording(path);
    QCOMPARE(back.failure, QString());
    QCOMPARE(back.error, QString());
    QVERIFY(back.chunks.size() <= chunks.size());
    QCOMPARE(back.chunks, chunks.mid(0, back.chunks.size()));
    if (!compressed) {
        // Every whole line before the cut, and nothing of the cut one.
        const int wholeLines = int(content.count('\n')) - 1;
        QCOMPARE(back.chunks.size(), wholeLines);
        QCOMPARE(back.endedInsideLine, !content.endsWith('\n'));
    } else if (cutFromEnd == 8) {
        QCOMPARE(back.chunks.size(), chunks.size());
    } else {
        QVERIFY(!back.chunks.isEmpty() || cutFromEnd == -3);
    }
}

void tst_Recording::malformedLine_isNamedWithItsFileAndLine_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("error");
    QTest::addColumn<QString>("start"); // of the recording, when not the usual one
    const QString bad = QStringLiteral("Файл %1, строка 5: неверная строка записи сеанса");
    const auto row = [](const char *name, const QByteArray &line, const QString &error,
                        const QString &start = QString()) { QTest::newRow(name) << line << error << start; };
    row("not hex", "300 < 02G1", bad);
    row("half a byte", "300 < 021", bad);
    row("no bytes", "300 <", bad);
    row("unknown direction", "300 = 0201", bad);
    row("negative time", "-300 < 0201", bad);
    row("no time", "< 0201", bad);
    row("two blanks", "300  < 0201", bad);
    row("a second header", "1 gencfg-recording 1", bad);
    row("time going back", "50 < 0201",
        QStringLiteral("Файл %1, строка 5: время меньше, чем в предыдущей строке"));
    row("endless line", QByteArray(RecordingReader::MaxLineLength + 10, '0'),
        QStringLiteral("Файл %1, строка 5: строка слишком длинная"));
    row("fifteen-digit time", "999999999999999 < 0201", bad);
    row("time past year 9999", "172800000 < 0201", QStringLiteral("Файл %1, строка 5: время позже 9999 года"),
        QStringLiteral("9999-12-30T12:00:00.000+00:00"));
}

void tst_Recording::malformedLine_isNamedWithItsFileAndLine()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, error);
    QFETCH(QString, start);
    const QList<RecordedChunk> chunks = testChunks(6);
    RecordingHeader header = testRecordingHeader();
    if (!start.isEmpty())
        header.start = QDateTime::fromString(start, Qt::ISODateWithMs);
    // Line 4 is blank, which is allowed; line 5 is the bad one.
    const QByteArray text = recordingText(chunks.mid(0, 2), header) + "\r\n" + line + "\n" +
                            FormatChunkLine(5000, ChunkDirection::Received, "\x02");
    const QString path = m_dir.filePath(QStringLiteral("bad.rec"));
    QVERIFY(writeAll(path, text));
    const ReadBack back = readRecording(path);
    QCOMPARE(back.failure, QString());
    QCOMPARE(back.chunks, chunks.mid(0, 2));
    QCOMPARE(back.error, error.arg(QDir::toNativeSeparators(path)));
}

void tst_Recording::damagedGzip_keepsEveryWholeLineBeforeTheDamage_data()
{
    QTest::addColumn<int>("chunkCount");
    QTest::addColumn<int>("damageFromEnd"); // the byte changed, counted from the end
    QTest::newRow("checksum of a small file") << 30 << 8;
    QTest::newRow("length of a small file") << 30 << 2;
    QTest::newRow("checksum of a file of many blocks") << 30000 << 6;
}

void tst_Recording::damagedGzip_keepsEveryWholeLineBeforeTheDamage()
{
    QFETCH(int, chunkCount);
    QFETCH(int, damageFromEnd);
    const QList<RecordedChunk> chunks = testChunks(chunkCount);
    QByteArray content = gzipped(recordingText(chunks));
    const int at = int(content.size()) - damageFromEnd;
    content[at] = char(content.at(at) ^ 0x5A);
    const QString path = m_dir.filePath(QStringLiteral("damaged.rec.gz"));
    QVERIFY(writeAll(path, content));

    const ReadBack back = readRecording(path);
    QCOMPARE(back.failure, QString());
    QCOMPARE(back.chunks.size(), chunks.size());
    QCOMPARE(back.chunks, chunks);
    // The message names the last line played: the header is line 1.
    QCOMPARE(back.error, QStringLiteral("Файл %1: сжатые данные повреждены после строки %2")
                             .arg(QDir::toNativeSeparators(path))
                             .arg(chunkCount + 1));
}

void tst_Recording::noRecording_isRefusedWithWhatItIs_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("error");
    const QByteArray whole = recordingText(testChunks(3));
    QTest::newRow("missing") << "missing.rec" << QByteArray() << "Файл %1 не найден";
    QTest::newRow("folder") << "" << QByteArray() << "%1 — это папка, а не запись сеанса";
#ifdef Q_OS_UNIX
    QTest::newRow("device") << "/dev/zero" << QByteArray() << "%1 не является обычным файлом";
#endif
    QByteArray utf16 = "\xFF\xFE";
    for (const char c : whole)
        utf16 += QByteArray(1, c) + '\0';
    QTest::newRow("UTF-16") << "wide.rec" << utf16 << "Файл %1 записан в UTF-16 и не является записью сеанса";
    QTest::newRow("empty") << "empty.rec" << QByteArray("") << "Файл %1 не является записью сеанса";
    QTest::newRow("parameter file") << "params.txt" << QByteArray("12  34  56\r\n")
                                    << "Файл %1 не является записью сеанса";
    QTest::newRow("header cut") << "cut.rec" << whole.left(30) << "Файл %1 не является записью сеанса";
    QTest::newRow("newer format") << "new.rec" << QByteArray("# gencfg-recording 2 whatever\n0 < 02\n")
                                  << "Файл %1: запись сеанса версии 2 не поддерживается";
}

void tst_Recording::noRecording_isRefusedWithWhatItIs()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(QString, error);
    const QString path = name.startsWith(QLatin1Char('/')) ? name : m_dir.filePath(name);
    if (!content.isNull())
        QVERIFY(writeAll(path, content));
    RecordingReader reader;
    const QString failure = reader.open(path);
    QCOMPARE(failure, error.arg(QDir::toNativeSeparators(path)));
    RecordedChunk chunk;
    QVERIFY(!reader.next(chunk));
    // A recording played from it fails alike and gives nothing.
    RecordingTransport transport;
    QCOMPARE(transport.open(path), failure);
    QVERIFY(!transport.isOpen());
}

void tst_Recording::fullDisk_endsTheRecordingWithWholeLines_theLinkGoesOn()
{
#ifndef Q_OS_UNIX
    QSKIP("needs a limit on file sizes");
#endif
    MemLink mem(20);
    SessionRecorder recorder;
    recorder.setLink(&mem.link);
    QSignalSpy stopped(&recorder, &SessionRecorder::stopped);
    const QString path = m_dir.filePath(QStringLiteral("full.rec"));
    QCOMPARE(recorder.start(path, testRecordingHeader()), QString());
    QTRY_VERIFY(recorder.bytesWritten() > 300);
    int packetsAtFailure = 0;
    {
        // Room for 100 bytes more: a flush goes in only in part.
        FileSizeLimit full(recorder.bytesWritten() + 100);
        QVERIFY(full.isSet());
        QTRY_COMPARE(stopped.size(), 1);
        packetsAtFailure = mem.link.packetCount();
    }
    const QString failure = stopped.at(0).at(0).toString();
    QVERIFY2(failure.startsWith(QStringLiteral("Запись сеанса в файл %1 остановлена: ").arg(path)) &&
                 failure.contains(QString::fromLocal8Bit(std::strerror(EFBIG))),
             qPrintable(failure));
    QVERIFY(!recorder.isRecording());
    QTRY_VERIFY(mem.link.packetCount() > packetsAtFailure + 3);
    QVERIFY(mem.link.transport().isOpen());

    // Only whole lines are kept, every one of them readable.
    const ReadBack back = readRecording(path);
    QCOMPARE(back.error, QString());
    QVERIFY(!back.endedInsideLine);
    QVERIFY(!back.chunks.isEmpty());
    QCOMPARE(QFileInfo(path).size(), recorder.bytesWritten());
}

void tst_Recording::playback_decodesAsLive_pausesSeeksAndRefusesWrites()
{
    // Status frames 200 ms apart, a frame cut by noise, and a request between them.
    QByteArray text = FormatRecordingHeader(testRecordingHeader());
    const int frames = 30;
    for (int i = 0; i < frames; ++i) {
        const QByteArray frame = statusFrame(201);
        text += FormatChunkLine(200 * i, ChunkDirection::Received, frame.left(10));
        text += FormatChunkLine(200 * i + 5, ChunkDirection::Received, frame.mid(10));
    }
    QByteArray damaged = statusFrame(201);
    damaged[7] = damaged[7] == '0' ? '1' : '0';
    text += FormatChunkLine(6000, ChunkDirection::Sent,
                            "\x02"
                            "0000");
    text += FormatChunkLine(6010, ChunkDirection::Received, damaged);
    const QString path = m_dir.filePath(QStringLiteral("play.rec"));
    QVERIFY(writeAll(path, text));

    DeviceLink link;
    auto owned = std::make_unique<RecordingTransport>();
    RecordingTransport *playback = owned.get();
    link.setTransport(std::move(owned));
    StatusFeed feed(link);
    int records = 0;
    connect(&feed, &StatusFeed::recordDecoded, this, [&] { ++records; });
    QSignalSpy finished(playback, &RecordingTransport::finished);
    QSignalSpy requests(playback, &RecordingTransport::requestPlayed);
    playback->setSpeed(0);
    QCOMPARE(link.openPort(path), QString());
    QCOMPARE(playback->duration(), 6010);
    QCOMPARE(playback->header().variant, QStringLiteral("diesel"));
    QTRY_COMPARE(finished.size(), 1);
    QCOMPARE(records, frames);
    QCOMPARE(link.badFrameCount(), 1);
    QCOMPARE(requests.size(), 1);
    QCOMPARE(playback->position(), 6010);
    QCOMPARE(playback->write("\x02"
                             "0000"),
             qint64(-1));

    // Back to the middle, paused: nothing comes until resumed.
    playback->pause();
    playback->seek(3000);
    QCOMPARE(playback->position(), 3000);
    QTest::qWait(50);
    QCOMPARE(records, frames);
    playback->setSpeed(100);
    playback->resume();
    QTRY_COMPARE(finished.size(), 2);
    QCOMPARE(records, frames + frames / 2);
    QCOMPARE(link.badFrameCount(), 2);
}

void tst_Recording::longTimer_waitsTheWholeTimeInStretches_evenPastWhatAQTimerHolds()
{
    LongTimer timer;
    QSignalSpy shots(&timer, &LongTimer::timeout);
    // A recording of 30 days: longer than a QTimer's 2^31 ms, and still armed for all of it.
    const qint64 month = qint64(30) * 24 * 3600 * 1000;
    timer.start(month);
    QVERIFY(timer.isActive());
    QVERIFY2(timer.remainingMs() > month - 60000, qPrintable(QString::number(timer.remainingMs())));
    timer.stop();
    QVERIFY(!timer.isActive());

    // Short stretches stand for long ones: one shot, not before the whole time.
    timer.setLongestStretchMs(20);
    QElapsedTimer clock;
    clock.start();
    timer.start(150);
    QTRY_COMPARE(shots.size(), 1);
    QVERIFY2(clock.elapsed() >= 150, qPrintable(QString::number(clock.elapsed())));
    QTest::qWait(60);
    QCOMPARE(shots.size(), 1);
}

QTEST_GUILESS_MAIN(tst_Recording)
#include "tst_recording.moc"
