#pragma once

// Shared pieces of the benchmarks: a gensim process, CPU time, percentiles.

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>

#include <algorithm>
#include <ctime>
#include <vector>

namespace gencfg::bench {

inline double processCpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

// Resident set size of this process, from /proc.
inline double residentMegabytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    return 0;
}

inline double percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t index = std::min(values.size() - 1, size_t(p / 100.0 * double(values.size() - 1) + 0.5));
    return values[index];
}

// gensim next to this benchmark in the build directory, started with args; its
// first line on stdout is the device path.
class GensimProcess
{
public:
    bool start(const QStringList &args)
    {
        const QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/gensim");
        m_process.start(program, args);
        if (!m_process.waitForStarted(5000) || !m_process.waitForReadyRead(5000))
            return false;
        m_devicePath = QString::fromLocal8Bit(m_process.readLine()).trimmed();
        return !m_devicePath.isEmpty();
    }
    QString devicePath() const { return m_devicePath; }
    // Stops gensim and returns what it printed on stderr.
    QByteArray stop()
    {
        m_process.terminate();
        m_process.waitForFinished(5000);
        return m_process.readAllStandardError();
    }
    ~GensimProcess()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(2000);
        }
    }

private:
    QProcess m_process;
    QString m_devicePath;
};

struct LoggedFrame
{
    bool received = false; // by the simulated controller
    QByteArray text;
    qint64 startUs = 0;
    qint64 endUs = 0;
};

// Parses gensim --log lines: "HH:MM:SS.zzz RX|TX <text>  [startUs endUs]".
inline std::vector<LoggedFrame> parseGensimLog(const QByteArray &log)
{
    static const QRegularExpression line(QStringLiteral("^\\S+ (RX|TX) (\\S+).*\\[(\\d+) (\\d+)\\]$"));
    std::vector<LoggedFrame> frames;
    for (const QByteArray &raw : log.split('\n')) {
        const QRegularExpressionMatch m = line.match(QString::fromLatin1(raw));
        if (!m.hasMatch())
            continue;
        frames.push_back({m.captured(1) == QLatin1String("RX"), m.captured(2).toLatin1(),
                          m.captured(3).toLongLong(), m.captured(4).toLongLong()});
    }
    return frames;
}

// For each request the controller received, the time from the end of the
// controller's last frame before it to the request's first byte, in ms.
inline std::vector<double> requestDelaysMs(const std::vector<LoggedFrame> &frames)
{
    std::vector<double> delays;
    qint64 lastSentEnd = -1;
    for (const LoggedFrame &f : frames) {
        if (!f.received) {
            lastSentEnd = std::max(lastSentEnd, f.endUs);
            continue;
        }
        if (lastSentEnd >= 0 && f.startUs >= lastSentEnd)
            delays.push_back(double(f.startUs - lastSentEnd) / 1000.0);
    }
    return delays;
}

} // namespace gencfg::bench
