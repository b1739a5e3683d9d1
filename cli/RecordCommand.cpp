#include "cli/CommandRunners.h"
#include "cli/Console.h"
#include "cli/DeviceSession.h"

#include "link/LinkTexts.h"
#include "record/LongTimer.h"
#include "record/SessionRecorder.h"

#include <cmath>

namespace gencfg::cli {

int RunRecord(const Invocation &invocation)
{
    const QString path = invocation.argument(0);
    double seconds = 0;
    if (invocation.has(QStringLiteral("duration"))) {
        bool ok = false;
        seconds = invocation.value(QStringLiteral("duration")).toDouble(&ok);
        // Written so that NaN fails too; a year is more than any visit.
        if (!ok || !(seconds > 0 && seconds <= 366.0 * 24 * 3600))
            return Fail(InputError,
                        QStringLiteral("gencfg-cli record: --duration wants a number of seconds above 0"));
    }
    if (const int checked = CheckOutputFile(path); checked != Done)
        return checked;
    DeviceSession session;
    const QString port = invocation.value(QStringLiteral("port"));
    if (const int opened = session.open(port); opened != Done)
        return opened;

    SessionRecorder recorder;
    recorder.setLink(&session.link());
    RecordingHeader header;
    header.programVersion = QStringLiteral(GENCFG_VERSION);
    header.port = port;
    if (const QString failure = recorder.start(path, header); !failure.isEmpty())
        return Fail(OutputFailed, failure);
    QString failure;
    QObject::connect(&recorder, &SessionRecorder::stopped, &session, [&](const QString &text) {
        failure = text;
        session.quit();
    });
    bool timeUp = false;
    LongTimer duration;
    QObject::connect(&duration, &LongTimer::timeout, &session, [&] {
        timeUp = true;
        session.quit();
    });
    if (seconds > 0)
        duration.start(std::llround(seconds * 1000));

    const auto ended = [&] {
        return timeUp || session.interrupted() || session.portLost() || !failure.isEmpty();
    };
    // Wait in long stretches: only the end matters, not the frames.
    while (!ended() && session.link().transport().isOpen())
        session.waitFor(ended, 1000000);
    if (!failure.isEmpty())
        return Fail(OutputFailed, failure);
    recorder.stop();
    if (!failure.isEmpty())
        return Fail(OutputFailed, failure);
    if (!timeUp && !session.interrupted())
        return Fail(NoAnswer, PortLostText());
    return Done;
}

} // namespace gencfg::cli
