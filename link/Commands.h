#pragma once

#include <QtGlobal>

namespace gencfg {

// Command codes of the controller's protocol.
enum : quint8 {
    CMD_WRITE_MEMORY = 4,
    CMD_READ_MEMORY = 5,
    CMD_STATUS = 21,
    CMD_TEST_SMS = 32,
    CMD_TEST_GPRS = 33,
    CMD_RESTART_MODEM = 34,
    CMD_SET_CLOCK = 38,
    CMD_JOURNAL_RECORD = 40,
    CMD_MODE_AUTO = 48,
    CMD_MODE_SEMIAUTO = 49,
    CMD_GENERATOR_START = 50,
    CMD_GENERATOR_STOP = 51,
};

// The commands whose frames from the controller answer a request.
constexpr bool IsReplyCommand(quint8 command)
{
    return command == CMD_READ_MEMORY || command == CMD_JOURNAL_RECORD;
}

// Device variants as the status frame reports them.
enum class DeviceVariant : quint8 { Petrol = 200, Diesel = 201, DryContact = 202 };

} // namespace gencfg
