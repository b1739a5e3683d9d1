#pragma once

// The whole window on a simulated controller over a pseudo-terminal and a
// real serial port, for the end-to-end cases.

#include "FormSim.h"
#include "sim/PtySimulator.h"

namespace gencfg::test {

struct PtyFormSim : FormSimBase
{
    explicit PtyFormSim(int periodMs = 50, quint8 variant = 201) : sim(variant, 7)
    {
        sim.model().setStatic(true);
        sim.setPeriodMs(periodMs);
        started = sim.start();
        if (started) {
            form.addExtraPort(sim.devicePath());
            form.pickPort(sim.devicePath());
        }
    }
    bool ready() { return started && FormSimBase::ready(); }
    QList<QByteArray> received() const { return receivedBytes(sim.model()); }

    PtySimulator sim;
    bool started = false;
};

} // namespace gencfg::test
