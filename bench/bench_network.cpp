// A read, a proven write and a journal reading through gencfg-cli over raw TCP
// to gensim --tcp, through a relay adding a round trip of 0, 100, 300 and
// 1000 ms, each against the least time the device and the line allow: one
// status period per request and one round trip per request.
//
// Usage: bench_network [period-ms] [round-trip-ms ...]   (defaults: 1000, 0 100 300 1000)

#include "CliSupport.h"
#include "DelayRelay.h"
#include "link/FrameCodec.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>

using namespace gencfg;
using namespace gencfg::test;

namespace {

constexpr double Target = 1.2;

// gensim serving one controller on a free TCP port.
class NetworkGensim
{
public:
    bool start(int periodMs)
    {
        m_process.start(buildDir() + QStringLiteral("/gensim"),
                        {QStringLiteral("--tcp"), QStringLiteral("0"), QStringLiteral("--period"),
                         QString::number(periodMs), QStringLiteral("--static")});
        if (!m_process.waitForStarted(5000))
            return false;
        // The pseudo-terminal's path, then the address served.
        while (m_process.canReadLine() || m_process.waitForReadyRead(5000)) {
            const QByteArray line = m_process.readLine().trimmed();
            if (line.startsWith("tcp://")) {
                m_port = quint16(line.mid(line.lastIndexOf(':') + 1).toUInt());
                return true;
            }
        }
        return false;
    }
    ~NetworkGensim()
    {
        m_process.kill();
        m_process.waitForFinished(2000);
    }
    quint16 port() const { return m_port; }

private:
    QProcess m_process;
    quint16 m_port = 0;
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int periodMs = argc > 1 ? QByteArray(argv[1]).toInt() : 1000;
    QList<int> roundTrips;
    for (int i = 2; i < argc; ++i)
        roundTrips << QByteArray(argv[i]).toInt();
    if (roundTrips.isEmpty())
        roundTrips = {0, 100, 300, 1000};

    NetworkGensim gensim;
    QTemporaryDir dir;
    if (!gensim.start(periodMs) || !dir.isValid()) {
        std::fprintf(stderr, "gensim --tcp did not start\n");
        return 1;
    }
    const QString image = dir.filePath(QStringLiteral("config.txt"));
    bool allMet = true;
    std::printf("status period %d ms, raw TCP; ratio = wall time / (requests x (period + round trip))\n",
                periodMs);
    for (const int rtt : roundTrips) {
        DelayRelay relay(gensim.port(), rtt);
        const QString port = QStringLiteral("tcp://127.0.0.1:%1").arg(relay.port());
        const QList<std::pair<const char *, QStringList>> runs{
            {"read", {QStringLiteral("read-config"), QStringLiteral("--raw"), image}},
            {"proven write", {QStringLiteral("write-config"), image}},
            {"journal", {QStringLiteral("read-journal")}},
        };
        for (const auto &[what, command] : runs) {
            relay.toServer.clear();
            QElapsedTimer wall;
            wall.start();
            const CliResult result =
                runCli(command + QStringList{QStringLiteral("--port"), port}, 10 * 60 * 1000);
            const double seconds = double(wall.elapsed()) / 1000.0;
            const int requests = int(relay.toServer.count(FrameStart));
            const double minimum = requests * (periodMs + rtt) / 1000.0;
            const double ratio = seconds / minimum;
            allMet = allMet && result.exitCode == 0 && ratio <= Target;
            std::printf(
                "round trip %4d ms  %-12s exit %d  %3d requests  %6.2f s  minimum %6.2f s  ratio %.2f%s\n",
                rtt, what, result.exitCode, requests, seconds, minimum, ratio,
                result.exitCode == 0 && ratio <= Target ? "" : "  OVER");
            std::fflush(stdout);
        }
    }
    return allMet ? 0 : 2;
}
