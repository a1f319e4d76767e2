// SPDX-License-Identifier: MIT
#pragma once

namespace vistrel::cli {

// While one exists, Ctrl+C (SIGINT) and SIGTERM raise a flag instead of
// ending the process, so that a loop can stop the communication and close
// its recording file cleanly. The previous handlers come back with its end.
class InterruptFlag {
public:
    InterruptFlag();
    ~InterruptFlag();
    InterruptFlag(const InterruptFlag&) = delete;
    InterruptFlag& operator=(const InterruptFlag&) = delete;

    bool raised() const noexcept;
};

} // namespace vistrel::cli
