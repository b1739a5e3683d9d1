#pragma once

// The exit statuses of gencfg-cli, which scripts and test rigs rely on.

#include <QString>

namespace gencfg::cli {

enum ExitStatus : int {
    Done = 0,
    NoAnswer = 1,        // the controller did not answer
    InputError = 2,      // a usage error or an input that cannot be used
    PortUnavailable = 3, // the port cannot be opened
    VerifyMismatch = 4,  // --verify read back something else than was written
};

// What the window says when a transfer finds no controller.
inline QString NoAnswerText()
{
    return QStringLiteral("Нет связи. Устройство занято или не подключено. Попробуйте еще раз.");
}

} // namespace gencfg::cli
