#pragma once

// Frames as the controller sends them, for tests.

#include "link/Commands.h"
#include "link/FrameCodec.h"
#include "monitor/Telemetry.h"

#include <QByteArray>

namespace gencfg::test {

inline QByteArray deviceFrame(quint8 command, const QByteArray &data, quint8 prefix = 1, quint16 address = 0)
{
    return FrameBytesToText(FrameBytes(prefix, command, address, data));
}

inline QByteArray statusData(quint8 variant = 200)
{
    QByteArray data(StatusFrameMap::Size, '\0');
    data[StatusFrameMap::VariantCode] = char(variant);
    data[StatusFrameMap::Mode] = char(StatusFrameMap::AutomaticMode);
    return data;
}

inline QByteArray statusFrame(quint8 variant = 200)
{
    return deviceFrame(CMD_STATUS, statusData(variant));
}

// The data bytes of one status frame: petrol, automatic mode, everything else zero.
class Status
{
public:
    explicit Status(quint8 variant = 200) : m_data(statusData(variant)) {}

    Status &at(int index, quint8 value)
    {
        m_data[index] = char(value);
        return *this;
    }
    Status &word(int index, quint16 value)
    {
        return at(index, quint8(value >> 8)).at(index + 1, quint8(value));
    }
    Status &mode(quint8 mode, quint8 stage = 0, quint16 timer = 0, quint8 flags1 = 0)
    {
        using namespace StatusFrameMap;
        return at(Mode, mode).at(Stage, stage).word(StageTimer, timer).at(Flags1, flags1);
    }

    const QByteArray &data() const { return m_data; }

    QByteArray frame() const { return deviceFrame(CMD_STATUS, m_data); }
    TelemetryRecord record() const { return DecodeStatusFrame(QByteArray(FrameDataOffset, '\0') + m_data); }

private:
    QByteArray m_data;
};

} // namespace gencfg::test
