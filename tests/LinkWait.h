#pragma once

// Waiting for device operations in tests and benchmarks: the event loop runs
// until the link is idle, so arrivals are handled the moment they come.

#include "link/DeviceLink.h"

#include <QEventLoop>
#include <QTimer>
#include <optional>

namespace gencfg::test {

// Returns whether the link became idle within timeoutMs.
inline bool waitUntilIdle(DeviceLink &link, int timeoutMs = 30000)
{
    if (!link.busy())
        return true;
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(&link, &DeviceLink::busyChanged, &loop, [&loop](bool busy) {
        if (!busy)
            loop.quit();
    });
    deadline.start(timeoutMs);
    loop.exec();
    return !link.busy();
}

// Starts an operation and waits for its end; nothing when the link refused it or it did not end in time.
inline std::optional<OperationStatus> runToEnd(DeviceLink &link, DeviceOperation &operation,
                                               int timeoutMs = 30000)
{
    if (!link.start(operation) || !waitUntilIdle(link, timeoutMs))
        return std::nullopt;
    return operation.status();
}

} // namespace gencfg::test
