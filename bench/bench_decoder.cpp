// Throughput of the receive path: status frames, replies and noise pushed
// through the dispatcher in line-sized chunks, as a multiple of what a
// 9600-baud line can deliver (960 bytes a second).

#include "BenchSupport.h"
#include "link/Commands.h"
#include "link/DeviceLink.h"
#include "link/FrameCodec.h"
#include "monitor/StatusFrameMap.h"

#include <QCoreApplication>
#include <cstdio>

using namespace gencfg;

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int megabytes = argc > 1 ? QByteArray(argv[1]).toInt() : 20;
    QByteArray status(StatusFrameMap::Size, '\0');
    status[StatusFrameMap::VariantCode] = char(200);
    status[StatusFrameMap::Mode] = char(StatusFrameMap::AutomaticMode);
    const QByteArray stream = DeviceFrameText(CMD_STATUS, status) +
                              DeviceFrameText(CMD_READ_MEMORY, QByteArray(64, 'x')) + QByteArray("noise\r") +
                              DeviceFrameText(CMD_JOURNAL_RECORD, QByteArray(5, '\x11'));
    DeviceLink link;
    qint64 bytes = 0;
    const qint64 total = qint64(megabytes) * 1024 * 1024;
    QElapsedTimer timer;
    timer.start();
    while (bytes < total) {
        // Arrivals of 8 to 64 bytes, as a serial driver hands them over.
        for (int offset = 0; offset < stream.size();) {
            const int length = qMin(8 + (offset % 57), int(stream.size()) - offset);
            link.receive(stream.mid(offset, length));
            offset += length;
        }
        bytes += stream.size();
    }
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    const double rate = double(bytes) / seconds;
    std::printf("decoded %.1f MB in %.2f s: %.1f MB/s, %.0f times the 9600-baud line rate (960 B/s); "
                "%d frames, %d bad\n",
                double(bytes) / 1048576.0, seconds, rate / 1048576.0, rate / 960.0, link.packetCount(),
                link.badFrameCount());
    return 0;
}
