#pragma once

// The exit statuses of gencfg-cli, which scripts and test rigs rely on.

#include "link/LinkTexts.h"

namespace gencfg::cli {

enum ExitStatus : int {
    Done = 0,
    NoAnswer = 1,        // the controller did not answer
    OutputFailed = 1,    // stdout did not take what was printed
    InputError = 2,      // a usage error or an input that cannot be used
    PortUnavailable = 3, // the port cannot be opened
    VerifyMismatch = 4,  // --verify read back something else than was written
    LedgerFailed = 5,    // batch: the ledger could not be written, so the record is incomplete
    Interrupted = 130,   // stopped with Ctrl+C or SIGTERM, as a shell reports a SIGINT
};

} // namespace gencfg::cli
