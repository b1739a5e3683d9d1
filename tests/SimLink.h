#pragma once

// A simulated controller and a link opened on it, in one process and one
// event loop: in memory (MemLink) or on a pseudo-terminal (SimLink).

#include "LinkWait.h"
#include "link/DeviceLink.h"
#include "sim/PtySimulator.h"
#include "sim/SimTransport.h"

#include <QTest>

namespace gencfg::test {

struct SimLink
{
    explicit SimLink(int periodMs = 60, quint8 variant = 200) : sim(variant, 7)
    {
        sim.model().setStatic(true);
        sim.setPeriodMs(periodMs);
        started = sim.start();
        if (started)
            openError = link.AfComPort1().open(sim.devicePath());
    }
    bool ready() const { return started && openError.isEmpty(); }
    // Lets the first status frames arrive.
    void settle(int frames = 1)
    {
        const int target = link.packetCount() + frames;
        QTRY_VERIFY_WITH_TIMEOUT(link.packetCount() >= target, 5000);
    }

    PtySimulator sim;
    DeviceLink link;
    bool started = false;
    QString openError;
};

struct MemLink
{
    explicit MemLink(int periodMs = 50, quint8 variant = 200)
    {
        auto transport = std::make_unique<SimTransport>(variant, 7);
        sim = transport.get();
        sim->model().setStatic(true);
        sim->setPeriodMs(periodMs);
        link.setTransport(std::move(transport));
        link.openPort(QStringLiteral("sim"));
    }
    ControllerModel &model() { return sim->model(); }

    DeviceLink link;
    SimTransport *sim = nullptr;
};

} // namespace gencfg::test
