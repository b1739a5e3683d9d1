#pragma once

// gencfg-cli as a process: run to its end, or followed until a signal, against
// simulated controllers on pseudo-terminals that the test's event loop serves.

#include "sim/PtySimulator.h"

#include <QCoreApplication>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

#include <csignal>
#include <functional>

namespace gencfg::test {

struct CliResult
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;

    QString outText() const { return QString::fromUtf8(out); }
    QString errText() const { return QString::fromUtf8(err); }
    QByteArray describe() const
    {
        return "exit " + QByteArray::number(exitCode) + "\nstdout: " + out.left(600) + "\nstderr: " + err;
    }
};

inline QString buildDir()
{
    const QString dir = qEnvironmentVariable("GENCFG_BUILD_DIR");
    return dir.isEmpty() ? QCoreApplication::applicationDirPath() : dir;
}

inline QString cliPath()
{
    return buildDir() + QStringLiteral("/gencfg-cli");
}

// The test's event loop keeps serving the in-process controller while the CLI runs.
// With outputFile, stdout goes there instead of being gathered.
inline CliResult runCli(const QStringList &arguments, int timeoutMs = 90000, const QString &outputFile = {})
{
    QProcess process;
    process.setProgram(cliPath());
    process.setArguments(arguments);
    // As on a server: no display, and no platform named.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QLatin1String(name));
    process.setProcessEnvironment(environment);
    if (!outputFile.isEmpty())
        process.setStandardOutputFile(outputFile);
    QSignalSpy finished(&process, &QProcess::finished);
    process.start();
    CliResult result;
    if (finished.isEmpty() && !finished.wait(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        result.err = "gencfg-cli did not finish: " + process.readAllStandardError();
        return result;
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}

// A static controller sending its status frame every 50 ms, behind a symbolic link when one is named.
struct Controller
{
    explicit Controller(quint8 variant = 200, const QString &link = {}) : sim(variant, 11)
    {
        sim.model().setStatic(true);
        sim.setPeriodMs(50);
        started = sim.start(link);
    }
    ControllerModel &model() { return sim.model(); }
    QString port() const { return sim.devicePath(); }
    QVector<FrameLogEntry> received() const { return sim.model().receivedFrames(); }

    PtySimulator sim;
    bool started = false;
};

// gensim itself on a pseudo-terminal, stopped when the test ends.
struct Gensim
{
    explicit Gensim(const QStringList &arguments)
    {
        process.start(buildDir() + QStringLiteral("/gensim"), arguments);
        if (QTest::qWaitFor([this] { return process.canReadLine(); }, 10000))
            port = QString::fromLocal8Bit(process.readLine().trimmed());
    }
    ~Gensim()
    {
        process.terminate();
        process.waitForFinished(5000);
    }
    QProcess process;
    QString port;
};

// gencfg-cli following the controller, its output gathered as it comes, until a signal ends it.
struct Following
{
    // childSetup runs in the child before gencfg-cli starts (a resource limit, say).
    explicit Following(const QStringList &arguments, const std::function<void()> &childSetup = {})
    {
        QObject::connect(&process, &QProcess::readyReadStandardOutput, &process,
                         [this] { out += process.readAllStandardOutput(); });
        if (childSetup)
            process.setChildProcessModifier(childSetup);
        process.start(cliPath(), arguments);
    }
    bool waitForLines(int lines)
    {
        return QTest::qWaitFor([&] { return out.count('\n') >= lines; }, 20000);
    }
    // True when the program ended on the signal within the bound.
    bool stop(int signal)
    {
        QSignalSpy finished(&process, &QProcess::finished);
        ::kill(pid_t(process.processId()), signal);
        const bool ended = finished.wait(20000);
        out += process.readAllStandardOutput();
        return ended;
    }

    QProcess process;
    QByteArray out;
};

} // namespace gencfg::test
