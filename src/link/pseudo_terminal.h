// SPDX-License-Identifier: MIT
#pragma once

#include "link/serial_line.h"

#include <memory>
#include <string>

namespace vistrel {

// A pseudo-terminal: a serial line without hardware. The master side is
// this program's line; a link opens the slave by its path as it would open
// a cable.
class PseudoTerminal {
public:
    // Throws Error when the system has no pseudo-terminal to give.
    PseudoTerminal();
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    SerialLine& master() noexcept { return *master_; }
    const std::string& slavePath() const noexcept { return slavePath_; }

private:
    std::unique_ptr<SerialLine> master_;
    std::string slavePath_;
    // Held open so that the master sees no hang-up while no link has the
    // slave open, and so that the slave starts out raw.
    int slaveFd_ = -1;
};

} // namespace vistrel
