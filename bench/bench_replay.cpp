// "As fast as possible" playback of a long session recording into the window: the wall time from
// opening it to its end, and the process's peak resident memory (getrusage's ru_maxrss). The
// recording is made up first: status frames every 100 ms whose voltages and temperatures move.
//
// Usage: bench_replay [HOURS] [--trends] [--write FILE MINUTES]
//   HOURS     the recording's length (default 24)
//   --trends  the "Графики" page shown while it plays, over the whole recording
//   --write   only writes a recording of MINUTES to FILE, for a look at it in the window

#include "BenchSupport.h"
#include "ControllerFrames.h"
#include "WidgetSupport.h"
#include "app/MainWindow.h"
#include "record/RecordingFormat.h"
#include "record/RecordingTransport.h"

#include <QApplication>
#include <QTabWidget>
#include <QTemporaryDir>
#include <cstdio>
#include <sys/resource.h>

using namespace gencfg;
using namespace gencfg::test;
using namespace gencfg::bench;

namespace {

double peakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

// Writes minutes of a diesel controller's frames every 100 ms, one in a hundred damaged; returns the
// number of frames whole.
qint64 writeRecording(const QString &path, qint64 minutes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return -1;
    RecordingHeader header;
    header.programVersion = QStringLiteral(GENCFG_VERSION);
    header.port = QStringLiteral("/dev/ttyUSB0");
    header.start = QDateTime(QDate(2026, 12, 7), QTime(0, 0), Qt::OffsetFromUTC, 3 * 3600);
    header.variant = QStringLiteral("diesel");
    file.write(FormatRecordingHeader(header));
    const qint64 frames = minutes * 600;
    qint64 whole = 0;
    QByteArray block;
    for (qint64 i = 0; i < frames; ++i) {
        const Status status = Status(201)
                                  .at(9, quint8(180 + i / 600 % 60))
                                  .at(10, quint8(181 + i / 900 % 50))
                                  .at(11, quint8(182 + i / 300 % 40))
                                  .at(20, quint8(20 + i / 3000 % 30));
        QByteArray frame = status.frame();
        if (i % 100 == 99)
            frame[frame.size() - 2] = frame[frame.size() - 2] == '0' ? '1' : '0';
        else
            ++whole;
        block += FormatChunkLine(i * 100, ChunkDirection::Received, frame);
        if (block.size() > (1 << 20)) {
            file.write(block);
            block.clear();
        }
    }
    file.write(block);
    return whole;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (const qsizetype at = args.indexOf(QStringLiteral("--write")); at >= 0)
        return writeRecording(args.value(at + 1), args.value(at + 2).toLongLong()) > 0 ? 0 : 1;
    const bool trends = args.contains(QStringLiteral("--trends"));
    const int hours = args.value(0).toInt() > 0 ? args.value(0).toInt() : 24;

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("day.gcrec"));
    QElapsedTimer made;
    made.start();
    const qint64 frames = writeRecording(path, qint64(hours) * 60);
    if (frames < 0) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return 1;
    }
    std::printf("recording: %d h, %lld frames, %.0f MB, made in %.1f s\n", hours, frames,
                double(QFileInfo(path).size()) / 1e6, double(made.elapsed()) / 1000.0);

    MainWindow form;
    form.show();
    pickItem(named<QComboBox>(&form, "speedCombo"), 3);
    if (trends)
        showPage(&form, named<QWidget>(&form, "trendsPage"));
    const double before = peakMegabytes();
    QElapsedTimer played;
    played.start();
    form.openRecording(path);
    auto *playback = qobject_cast<RecordingTransport *>(&form.link().transport());
    if (!playback) {
        std::fprintf(stderr, "the recording did not open\n");
        return 1;
    }
    if (trends)
        named<QPushButton>(&form, "wholeRecordingButton")->click();
    bool ended = playback->atEnd();
    QObject::connect(playback, &RecordingTransport::finished, [&ended] { ended = true; });
    while (!ended)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 100);
    const double seconds = double(played.elapsed()) / 1000.0;
    std::printf(
        "replay as fast as possible%s: %.1f s (%.0f x the recorded pace), %d frames shown, %d errors\n",
        trends ? " with the trends page" : "", seconds, hours * 3600.0 / seconds, form.telemetryLog().size(),
        form.link().badFrameCount());
    std::printf("peak resident memory: %.0f MB (%.0f MB before playing)\n", peakMegabytes(), before);
    return form.link().packetCount() == frames ? 0 : 1;
}
