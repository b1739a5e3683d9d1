#pragma once

// The whole window on a simulated controller over a pseudo-terminal, with its
// message boxes recorded.

#include "LinkWait.h"
#include "app/TForm1.h"
#include "sim/PtySimulator.h"
#include "widgets/Messages.h"

#include <QTest>

namespace gencfg::test {

struct FormSim
{
    explicit FormSim(int periodMs = 50, quint8 variant = 201) : sim(variant, 7)
    {
        sim.model().setStatic(true);
        sim.setPeriodMs(periodMs);
        started = sim.start();
        if (started) {
            form.addExtraPort(sim.devicePath());
            form.pickPort(sim.devicePath());
        }
    }
    bool ready() { return started && form.link().AfComPort1().isOpen(); }
    // Lets status frames arrive.
    bool settle(int frames = 2)
    {
        const int target = form.link().packetCount() + frames;
        return QTest::qWaitFor([&] { return form.link().packetCount() >= target; }, 5000);
    }
    // Lets the running operation end; false when it did not end in time.
    bool finish(int timeoutMs = 30000) { return waitUntilIdle(form.link(), timeoutMs); }
    // The frames the controller received, as bytes, oldest first.
    QList<QByteArray> received() const
    {
        QList<QByteArray> frames;
        for (const FrameLogEntry &entry : sim.model().receivedFrames())
            frames << entry.bytes;
        return frames;
    }

    PtySimulator sim;
    TForm1 form;
    MessageRecorder boxes{form.messages()};
    bool started = false;
};

// "00 20 00 00 00 20" as bytes.
inline QByteArray hexBytes(const char *spaced)
{
    return QByteArray::fromHex(QByteArray(spaced).replace(' ', ""));
}

} // namespace gencfg::test
