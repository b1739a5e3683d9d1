// gensim: a simulated generator auto-start controller on a pseudo-terminal.

#include "config/Catalogue.h"
#include "config/MemoryMap.h"
#include "link/Commands.h"
#include "sim/FactoryMemory.h"
#include "sim/NetworkServe.h"
#include "sim/PtySimulator.h"
#include "sim/RecordingReplay.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QRandomGenerator>
#include <QSet>
#include <QSocketNotifier>
#include <QTime>

#include <csignal>
#include <cstdio>
#include <memory>
#include <optional>
#include <sys/socket.h>
#include <unistd.h>
#include <utility>
#include <vector>

using namespace gencfg;

namespace {

// A workshop bench: more controllers than any bench holds, fewer than file descriptors run out at.
constexpr int MaxControllers = 64;

int signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &byte, 1);
}

// SIGINT and SIGTERM end the event loop, so the destructors remove the link.
bool quitOnSignals(QCoreApplication &app)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0)
        return false;
    auto *notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    return ::sigaction(SIGINT, &action, nullptr) == 0 && ::sigaction(SIGTERM, &action, nullptr) == 0;
}

// "[HOST:]PORT", the host an address (127.0.0.1 unless given).
std::optional<std::pair<QHostAddress, quint16>> parseServeAddress(const QString &text)
{
    const int colon = int(text.lastIndexOf(QLatin1Char(':')));
    QHostAddress host(QHostAddress::LocalHost);
    if (colon >= 0 && !host.setAddress(text.left(colon).remove(QLatin1Char('[')).remove(QLatin1Char(']'))))
        return std::nullopt;
    bool ok = false;
    const uint port = text.mid(colon + 1).toUInt(&ok);
    if (!ok || port > 65535)
        return std::nullopt;
    return std::pair{host, quint16(port)};
}

std::optional<quint8> parseVariant(const QString &text)
{
    if (const std::optional<DeviceVariant> variant = VariantFromName(text))
        return quint8(*variant);
    bool ok = false;
    const uint code = text.toUInt(&ok);
    if (!ok || code > 255)
        return std::nullopt;
    return quint8(code);
}

// "INDEX:MS": an event-journal index 0-255 and a delay in milliseconds.
std::optional<std::pair<quint8, int>> parseJournalDelay(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char(':'));
    if (parts.size() != 2)
        return std::nullopt;
    bool indexOk = false;
    bool msOk = false;
    const uint index = parts.at(0).toUInt(&indexOk);
    const int ms = parts.at(1).toInt(&msOk);
    if (!indexOk || !msOk || index > 255 || ms < 0)
        return std::nullopt;
    return std::pair{quint8(index), ms};
}

void printFrame(const char *direction, const FrameLogEntry &entry)
{
    QByteArray shown;
    for (char c : entry.text) {
        if (c >= 0x20 && c < 0x7F)
            shown.append(c);
        else
            shown.append('<')
                .append(QByteArray::number(quint8(c), 16).toUpper().rightJustified(2, '0'))
                .append('>');
    }
    const QByteArray time = QTime::currentTime().toString(QStringLiteral("HH:mm:ss.zzz")).toLatin1();
    // The monotonic times let a benchmark in another process line frames up exactly.
    std::fprintf(stderr, "%s %s %s%s  [%lld %lld]\n", time.constData(), direction, shown.constData(),
                 entry.valid ? "" : "  (invalid)", static_cast<long long>(entry.startUs),
                 static_cast<long long>(entry.endUs));
    std::fflush(stderr);
}

int fail(const QString &message)
{
    std::fprintf(stderr, "gensim: %s\n", qPrintable(message));
    return 2;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("gensim"));
    QCoreApplication::setApplicationVersion(QStringLiteral(GENCFG_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Simulated generator auto-start controller on a pseudo-terminal. Prints the device "
                       "path and serves until interrupted."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption linkOption(QStringLiteral("link"),
                                        QStringLiteral("Make a symbolic link PATH to the device."),
                                        QStringLiteral("PATH"));
    const QCommandLineOption variantOption(
        QStringLiteral("variant"),
        QStringLiteral("Device variant: petrol (default), diesel, dry or a code 0-255."),
        QStringLiteral("VARIANT"), QStringLiteral("petrol"));
    const QCommandLineOption periodOption(QStringLiteral("period"),
                                          QStringLiteral("Status frame interval in ms (default 1000)."),
                                          QStringLiteral("MS"), QStringLiteral("1000"));
    const QCommandLineOption paceOption(QStringLiteral("pace"),
                                        QStringLiteral("Send at the pace of a 9600-baud line."));
    const QCommandLineOption delayOption(QStringLiteral("reply-delay"),
                                         QStringLiteral("Delay before each reply in ms."),
                                         QStringLiteral("MS"), QStringLiteral("0"));
    const QCommandLineOption noiseOption(
        QStringLiteral("noise"), QStringLiteral("Line noise: garbage and flipped bits per byte, 0-1."),
        QStringLiteral("RATE"), QStringLiteral("0"));
    const QCommandLineOption silentOption(QStringLiteral("silent"), QStringLiteral("Send nothing at all."));
    const QCommandLineOption logOption(QStringLiteral("log"), QStringLiteral("Print every frame to stderr."));
    const QCommandLineOption fullOption(QStringLiteral("full-journals"),
                                        QStringLiteral("Fill both journals to their full length."));
    const QCommandLineOption staticOption(QStringLiteral("static"),
                                          QStringLiteral("Keep every value fixed."));
    const QCommandLineOption ignoreWritesOption(QStringLiteral("ignore-writes"),
                                                QStringLiteral("Accept memory writes but store nothing."));
    const QCommandLineOption delayJournalOption(
        QStringLiteral("delay-journal"),
        QStringLiteral("Answer every request for event-journal entry INDEX MS ms late, while status frames "
                       "go on."),
        QStringLiteral("INDEX:MS"));
    const QCommandLineOption flapOption(
        QStringLiteral("flap-variant"),
        QStringLiteral("Step the reported variant code through 202, 201, 200 every MS ms of device time, "
                       "which passes with the status frames; the memory stays."),
        QStringLiteral("MS"));
    const QCommandLineOption seedOption(QStringLiteral("seed"), QStringLiteral("Seed for a repeatable run."),
                                        QStringLiteral("N"));
    const QCommandLineOption countOption(
        QStringLiteral("count"),
        QStringLiteral("Serve N controllers, one device each, with serial numbers 21070415, 21070416, ...; "
                       "--link PATH makes PATH0 ... PATHN-1."),
        QStringLiteral("N"), QStringLiteral("1"));
    const QCommandLineOption silentUnitOption(QStringLiteral("silent-unit"),
                                              QStringLiteral("Controller K of --count sends nothing at all."),
                                              QStringLiteral("K"));
    const QCommandLineOption ignoringUnitOption(
        QStringLiteral("ignore-writes-unit"),
        QStringLiteral("Controller K of --count accepts memory writes but stores nothing."),
        QStringLiteral("K"));
    const QCommandLineOption replayOption(
        QStringLiteral("replay"),
        QStringLiteral("Play the controller of a session recording: its bytes at their recorded times, from "
                       "when a client first opens the device; a request is answered with the reply recorded "
                       "for it, else as the simulator answers."),
        QStringLiteral("FILE"));
    const QCommandLineOption speedOption(
        QStringLiteral("speed"),
        QStringLiteral("Play --replay X times as fast, X from 0.01 to 1000 (default 1)."),
        QStringLiteral("X"), QStringLiteral("1"));
    const QCommandLineOption loopOption(QStringLiteral("loop"),
                                        QStringLiteral("Play --replay again from its start after its end."));
    const QCommandLineOption tcpOption(
        QStringLiteral("tcp"),
        QStringLiteral("Serve the controller on a TCP socket as well, as a serial server does: HOST defaults "
                       "to 127.0.0.1, PORT 0 takes a free one; prints tcp://HOST:PORT."),
        QStringLiteral("[HOST:]PORT"));
    const QCommandLineOption rfc2217Option(
        QStringLiteral("rfc2217"),
        QStringLiteral(
            "Speak Telnet with the RFC 2217 com-port option on --tcp; prints rfc2217://HOST:PORT."));
    parser.addOptions({tcpOption, rfc2217Option});
    parser.addOptions({linkOption,       variantOption,      periodOption,       paceOption,  delayOption,
                       noiseOption,      silentOption,       logOption,          fullOption,  staticOption,
                       seedOption,       ignoreWritesOption, delayJournalOption, flapOption,  countOption,
                       silentUnitOption, ignoringUnitOption, replayOption,       speedOption, loopOption});
    // Usage errors exit with 2 as gencfg-cli's do; process() below only answers --help and --version.
    if (!parser.parse(app.arguments()))
        return fail(parser.errorText());
    parser.process(app);
    if (!parser.positionalArguments().isEmpty())
        return fail(
            QStringLiteral("unexpected argument '%1'").arg(parser.positionalArguments().constFirst()));

    const std::optional<quint8> variant = parseVariant(parser.value(variantOption));
    if (!variant)
        return fail(QStringLiteral("unknown variant %1").arg(parser.value(variantOption)));
    bool ok = false;
    const int period = parser.value(periodOption).toInt(&ok);
    if (!ok || period < 0)
        return fail(QStringLiteral("--period wants a number of milliseconds"));
    const int replyDelay = parser.value(delayOption).toInt(&ok);
    if (!ok || replyDelay < 0)
        return fail(QStringLiteral("--reply-delay wants a number of milliseconds"));
    const double noise = parser.value(noiseOption).toDouble(&ok);
    // Written so that NaN fails too.
    if (!ok || !(noise >= 0.0 && noise <= 1.0))
        return fail(QStringLiteral("--noise wants a rate from 0 to 1"));
    std::optional<std::pair<quint8, int>> journalDelay;
    if (parser.isSet(delayJournalOption)) {
        journalDelay = parseJournalDelay(parser.value(delayJournalOption));
        if (!journalDelay)
            return fail(QStringLiteral("--delay-journal wants INDEX:MS, an index 0-255 and milliseconds"));
    }
    int flapMs = 0;
    if (parser.isSet(flapOption)) {
        flapMs = parser.value(flapOption).toInt(&ok);
        if (!ok || flapMs <= 0)
            return fail(QStringLiteral("--flap-variant wants a number of milliseconds above 0"));
    }
    quint32 seed = QRandomGenerator::system()->generate();
    if (parser.isSet(seedOption)) {
        seed = parser.value(seedOption).toUInt(&ok);
        if (!ok)
            return fail(QStringLiteral("--seed wants a number"));
    }

    const int count = parser.value(countOption).toInt(&ok);
    if (!ok || count < 1 || count > MaxControllers)
        return fail(QStringLiteral("--count wants a number of controllers from 1 to %1").arg(MaxControllers));
    // Each unit named must be one of those served.
    const auto units = [&](const QCommandLineOption &option, QSet<int> &chosen) {
        for (const QString &value : parser.values(option)) {
            const int unit = value.toInt(&ok);
            if (!ok || unit < 0 || unit >= count)
                return false;
            chosen.insert(unit);
        }
        return true;
    };
    QSet<int> silentUnits;
    QSet<int> ignoringUnits;
    if (!units(silentUnitOption, silentUnits))
        return fail(QStringLiteral("--silent-unit wants a controller from 0 to %1").arg(count - 1));
    if (!units(ignoringUnitOption, ignoringUnits))
        return fail(QStringLiteral("--ignore-writes-unit wants a controller from 0 to %1").arg(count - 1));

    const QString replayPath = parser.value(replayOption);
    const double speed = parser.value(speedOption).toDouble(&ok);
    // Written so that NaN fails too; slower than a hundredth would stretch a day's recording past a year.
    if (!ok || !(speed >= MinReplaySpeed && speed <= MaxReplaySpeed))
        return fail(
            QStringLiteral("--speed wants a factor from %1 to %2").arg(MinReplaySpeed).arg(MaxReplaySpeed));
    if (replayPath.isEmpty() && (parser.isSet(speedOption) || parser.isSet(loopOption)))
        return fail(QStringLiteral("--speed and --loop go with --replay FILE"));
    if (!replayPath.isEmpty() && count > 1)
        return fail(QStringLiteral("--replay plays one controller, not --count %1").arg(count));
    quint8 modelVariant = *variant;
    if (!replayPath.isEmpty() && !parser.isSet(variantOption)) {
        // Requests the recording has no reply for are answered as the recorded variant would.
        RecordingReader header;
        if (header.open(replayPath).isEmpty()) {
            if (const std::optional<DeviceVariant> recorded = VariantFromName(header.header().variant))
                modelVariant = quint8(*recorded);
        }
    }

    std::optional<std::pair<QHostAddress, quint16>> serveAddress;
    if (parser.isSet(tcpOption)) {
        serveAddress = parseServeAddress(parser.value(tcpOption));
        if (!serveAddress)
            return fail(QStringLiteral("--tcp wants [HOST:]PORT, HOST an address, PORT 0-65535"));
        if (count > 1)
            return fail(QStringLiteral("--tcp serves one controller, not --count %1").arg(count));
    } else if (parser.isSet(rfc2217Option)) {
        return fail(QStringLiteral("--rfc2217 goes with --tcp [HOST:]PORT"));
    }

    if (!quitOnSignals(app))
        return fail(QStringLiteral("cannot watch for signals"));

    std::vector<std::unique_ptr<PtySimulator>> simulators;
    for (int unit = 0; unit < count; ++unit) {
        auto simulator = std::make_unique<PtySimulator>(modelVariant, seed + quint32(unit));
        ControllerModel &model = simulator->model();
        if (unit > 0)
            model.writeMemory(MemoryMap::SerialNumber, QByteArray::number(FactorySerialNumber + unit));
        model.setStatic(parser.isSet(staticOption));
        model.setSilent(parser.isSet(silentOption) || silentUnits.contains(unit));
        model.setIgnoreWrites(parser.isSet(ignoreWritesOption) || ignoringUnits.contains(unit));
        if (parser.isSet(fullOption))
            model.fillJournals();
        if (journalDelay)
            model.setJournalReplyDelay(journalDelay->first, journalDelay->second);
        model.setVariantFlapMs(flapMs);
        simulator->setPeriodMs(period);
        simulator->setPaced(parser.isSet(paceOption));
        simulator->setReplyDelayMs(replyDelay);
        simulator->setNoise(noise, seed + quint32(unit));
        if (parser.isSet(logOption)) {
            const QByteArray prefix = count > 1 ? QByteArray::number(unit) + ' ' : QByteArray();
            QObject::connect(
                simulator.get(), &PtySimulator::frameReceived,
                [prefix](const FrameLogEntry &entry) { printFrame((prefix + "RX").constData(), entry); });
            QObject::connect(simulator.get(), &PtySimulator::frameSent, [prefix](const FrameLogEntry &entry) {
                printFrame((prefix + "TX").constData(), entry);
            });
        }
        if (!replayPath.isEmpty()) {
            // The recorded controller sends its own frames, noise included.
            simulator->setPeriodMs(0);
            simulator->setNoise(0, seed);
            auto *replay = new RecordingReplay(*simulator, simulator.get());
            replay->setSpeed(speed);
            replay->setLoop(parser.isSet(loopOption));
            if (const QString failure = replay->open(replayPath); !failure.isEmpty())
                return fail(failure);
            QObject::connect(simulator.get(), &PtySimulator::clientChanged, replay, [replay](bool present) {
                if (present)
                    replay->start();
            });
            QObject::connect(replay, &RecordingReplay::failed, &app, [](const QString &text) {
                std::fprintf(stderr, "gensim: %s\n", qPrintable(text));
                std::fflush(stderr);
            });
            QObject::connect(replay, &RecordingReplay::finished, &app, [replayPath] {
                std::fprintf(stderr, "gensim: the replay of %s has ended\n", qPrintable(replayPath));
                std::fflush(stderr);
            });
        }
        const QString link = parser.value(linkOption);
        if (!simulator->start(count > 1 && !link.isEmpty() ? link + QString::number(unit) : link))
            return fail(simulator->errorString());
        std::printf("%s\n", qPrintable(simulator->devicePath()));
        if (serveAddress) {
            const bool telnet = parser.isSet(rfc2217Option);
            auto *serve = new NetworkServe(simulator->devicePath(), telnet, simulator.get());
            if (const QString failure = serve->listen(serveAddress->first, serveAddress->second);
                !failure.isEmpty())
                return fail(failure);
            std::printf("%s://%s:%u\n", telnet ? "rfc2217" : "tcp",
                        qPrintable(serveAddress->first.toString()), unsigned(serve->port()));
        }
        simulators.push_back(std::move(simulator));
    }
    std::fflush(stdout);
    return app.exec();
}
