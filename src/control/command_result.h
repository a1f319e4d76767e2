// SPDX-License-Identifier: MIT
#pragma once

#include "control/cycle_phase.h"

#include <cstdint>
#include <string>

namespace vistrel {

// What a use case of the control did: number 0 and no text when it did what
// it says, otherwise the number and text of the failure, the text being what
// a message box would show. A call that arrived while a step of the cycle
// was in flight runs right after that step and reports itself as deferred;
// its own outcome then reaches only the views.
struct CommandResult {
    std::int32_t number = 0;
    std::string text;
    bool deferred = false;

    bool ok() const noexcept { return number == 0; }
};

// A paste, with the candidate lines that gave no item (a method line and an
// empty line are no such lines).
struct PasteResult : CommandResult {
    std::int32_t skippedLines = 0;
    // Why the first skipped line gave no item; "" when none was skipped.
    std::string firstSkippedReason;
};

// What one step of the polling cycle did.
struct StepOutcome {
    enum class Kind {
        // Nothing ran: the cycle is idle, or a step is already in flight.
        NotDue,
        // The communication was opened or the session started.
        Progress,
        // A read whose values reached the grid.
        GoodRead,
        // The step failed and the cycle tries again (a failed read sends it
        // back to opening the communication); failure holds the text shown.
        Failed,
        // A pending stop returned the control to idle.
        Stopped,
        // An Abort arrived during the step: the cycle waits where it is.
        Halted,
    };
    Kind kind = Kind::NotDue;
    // The phase after the step.
    CyclePhase phase = CyclePhase::Idle;
    std::string failure;
};

} // namespace vistrel
