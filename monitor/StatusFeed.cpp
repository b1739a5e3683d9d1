#include "monitor/StatusFeed.h"

namespace gencfg {

StatusFeed::StatusFeed(DeviceLink &link, QObject *parent) : QObject(parent)
{
    connect(&link, &DeviceLink::statusFrameReceived, this, &StatusFeed::take);
}

void StatusFeed::forget()
{
    m_latest = {};
    m_seen = false;
}

void StatusFeed::take(const RxBuffer &rxBytes)
{
    m_latest = DecodeStatusFrame(rxBytes);
    m_seen = true;
    Q_EMIT recordDecoded(m_latest, m_clock());
}

} // namespace gencfg
