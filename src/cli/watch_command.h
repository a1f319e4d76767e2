// SPDX-License-Identifier: MIT
#pragma once

#include "cli/session_options.h"

#include <cstddef>
#include <optional>
#include <ostream>
#include <string>

namespace vistrel::cli {

struct WatchOptions {
    SessionOptions session;
    // Stop after this many good reads.
    std::optional<long> cycles;
    // Stop after this many seconds.
    std::optional<double> seconds;
    // Press "Rec" before Start.
    bool record = false;
    // Conditions that start and stop the recording ("" for none), and the
    // seconds kept before the start and recorded after the stop.
    std::string recordWhen;
    std::string recordUntil;
    double preTrigger = 0;
    double postTrigger = 0;
    // Arm the snapshot before Start.
    bool snapshot = false;
};

// Starts the communication and shows every good read until the cycles or
// the seconds are done or the user interrupts: on a terminal of the given
// width the grid redrawn in place, otherwise the recording's lines. Returns
// the exit code; throws UsageError for an ECU, a file or a choice that
// cannot be used.
int runWatch(const WatchOptions& options, std::ostream& out, std::ostream& err,
             std::optional<std::size_t> terminalWidth);

} // namespace vistrel::cli
