#pragma once

// Frames as the controller sends them, for tests.

#include "link/Commands.h"
#include "link/FrameCodec.h"

#include <QByteArray>

namespace gencfg::test {

inline QByteArray deviceFrame(quint8 command, const QByteArray &data, quint8 prefix = 1, quint16 address = 0)
{
    return FrameBytesToText(FrameBytes(prefix, command, address, data));
}

inline QByteArray statusData(quint8 variant = 200)
{
    QByteArray data(36, '\0');
    data[0] = char(variant);
    data[4] = 2; // automatic
    return data;
}

inline QByteArray statusFrame(quint8 variant = 200)
{
    return deviceFrame(CMD_STATUS, statusData(variant));
}

} // namespace gencfg::test
