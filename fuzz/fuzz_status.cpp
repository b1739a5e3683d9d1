// Status-frame decoding and every text the display builds from it.

#include "link/DeviceLink.h"
#include "monitor/Telemetry.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    gencfg::RxBuffer rx{};
    std::copy(data, data + std::min<size_t>(size, rx.size()), rx.begin());
    const gencfg::TelemetryRecord record = gencfg::DecodeStatusFrame(rx);
    const QString texts[] = {gencfg::StatusCaption(record).value_or(QString()),
                             gencfg::RegistrationCaption(record.Registration).value_or(QString()),
                             gencfg::ClockText(record),
                             gencfg::FormatStageTimer(record.StageTimer),
                             gencfg::HoursMinutesText(record.MotoclockMinutes),
                             gencfg::HoursMinutesText(record.MaintenanceMinutes)};
    if (gencfg::ClockText(record).size() != 8)
        std::abort();
    const int dbm = gencfg::SignalDbm(record.SignalQuality);
    if (dbm < -113 || dbm > -51)
        std::abort();
    for (const QString &text : texts)
        if (text.size() > 200)
            std::abort();
    return 0;
}
