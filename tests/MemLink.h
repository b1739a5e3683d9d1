#pragma once

// A link on a simulated controller in memory, in one process and one event loop.

#include "LinkWait.h"
#include "link/DeviceLink.h"
#include "sim/SimTransport.h"

namespace gencfg::test {

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
