#pragma once

// The controller's status frames as decoded records: each accepted status
// frame of a link is decoded once here, stamped with the time it arrived, and
// told to whoever shows, plots or records it.

#include "link/DeviceLink.h"
#include "monitor/Telemetry.h"

#include <QDateTime>
#include <QObject>
#include <functional>

namespace gencfg {

class StatusFeed : public QObject
{
    Q_OBJECT
public:
    explicit StatusFeed(DeviceLink &link, QObject *parent = nullptr);

    // The clock each record is stamped with, in milliseconds since the epoch.
    void setClock(std::function<qint64()> clock) { m_clock = std::move(clock); }

    bool seen() const { return m_seen; }
    // Another source follows: what came before describes no controller now on the line.
    void forget();
    // The newest record; all zeros before the first frame.
    const TelemetryRecord &latest() const { return m_latest; }

Q_SIGNALS:
    void recordDecoded(const gencfg::TelemetryRecord &record, qint64 msecs);

private:
    void take(const RxBuffer &rxBytes);

    std::function<qint64()> m_clock = &QDateTime::currentMSecsSinceEpoch;
    TelemetryRecord m_latest;
    bool m_seen = false;
};

} // namespace gencfg
