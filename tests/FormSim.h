#pragma once

// The whole window on a simulated controller in memory, with its message
// boxes recorded.

#include "LinkWait.h"
#include "MessageRecorder.h"
#include "app/MainWindow.h"
#include "sim/SimTransport.h"

#include <QTest>

namespace gencfg::test {

struct FormSimBase
{
    bool ready() { return form.link().transport().isOpen(); }
    // Lets status frames arrive.
    bool settle(int frames = 2)
    {
        const int target = form.link().packetCount() + frames;
        return QTest::qWaitFor([&] { return form.link().packetCount() >= target; }, 5000);
    }
    // Lets the running operation end; false when it did not end in time.
    bool finish(int timeoutMs = 30000) { return waitUntilIdle(form.link(), timeoutMs); }

    MainWindow form;
    MessageRecorder boxes{form.messages()};
};

// The frames a controller model received, as bytes, oldest first.
inline QList<QByteArray> receivedBytes(const ControllerModel &model)
{
    QList<QByteArray> frames;
    for (const FrameLogEntry &entry : model.receivedFrames())
        frames << entry.bytes;
    return frames;
}

struct FormSim : FormSimBase
{
    explicit FormSim(int periodMs = 50, quint8 variant = 201) : sim(*new SimTransport(variant, 7))
    {
        sim.model().setStatic(true);
        sim.setPeriodMs(periodMs);
        form.link().setTransport(std::unique_ptr<SimTransport>(&sim));
        form.addExtraPort(QStringLiteral("sim"));
        form.pickPort(QStringLiteral("sim"));
    }
    QList<QByteArray> received() const { return receivedBytes(sim.model()); }

    SimTransport &sim; // owned by the window's link
};

// "00 20 00 00 00 20" as bytes.
inline QByteArray hexBytes(const char *spaced)
{
    return QByteArray::fromHex(QByteArray(spaced).replace(' ', ""));
}

} // namespace gencfg::test
