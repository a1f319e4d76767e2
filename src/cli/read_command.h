// SPDX-License-Identifier: MIT
#pragma once

#include "cli/session_options.h"

#include <ostream>

namespace vistrel::cli {

struct ReadOptions {
    SessionOptions session;
    // Failed attempts (reads, openings, session requests) before giving up.
    int attempts = 3;
};

// Starts the communication, waits for the first good read and writes what
// Copy puts on the clipboard. Returns the exit code; throws UsageError for
// an ECU, a file or a choice that cannot be used.
int runRead(const ReadOptions& options, std::ostream& out, std::ostream& err);

} // namespace vistrel::cli
