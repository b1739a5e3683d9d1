#pragma once

// The whole window on a simulated controller over a pseudo-terminal and a
// real serial port, for the end-to-end cases.

#include "FormSim.h"
#include "sim/PtySimulator.h"

namespace gencfg::test {

struct PtyFormSim : FormSimBase
{
    // With a link path the window opens the device through that link, as a
    // technician opens gensim's --link.
    explicit PtyFormSim(int periodMs = 50, quint8 variant = 201, const QString &linkPath = {})
        : sim(variant, 7)
    {
        sim.model().setStatic(true);
        sim.setPeriodMs(periodMs);
        started = sim.start(linkPath);
        if (started) {
            const QString port = linkPath.isEmpty() ? sim.devicePath() : linkPath;
            form.addExtraPort(port);
            form.pickPort(port);
        }
    }
    bool ready() { return started && FormSimBase::ready(); }
    QList<QByteArray> received() const { return receivedBytes(sim.model()); }

    PtySimulator sim;
    bool started = false;
};

} // namespace gencfg::test
