// SPDX-License-Identifier: MIT
#pragma once

#include "engine/cycle_phase.h"

#include <cstdint>
#include <string>

namespace vistrel {

// What one step of the polling cycle, or one command the engine applied
// between two steps, did.
struct StepOutcome {
    enum class Kind {
        // Nothing ran: the cycle is idle.
        NotDue,
        // Start, or a new list or link while running: the cycle (re)begins
        // by opening the communication.
        Started,
        // The communication was opened or the session started.
        Progress,
        // A read whose values are in the event.
        GoodRead,
        // An exchange of the read going on got no answer at all: told at
        // once, while the read goes on; failure holds the link's text.
        Unanswered,
        // The step failed and the cycle tries again (a failed read sends it
        // back to opening the communication); failure holds the text shown.
        Failed,
        // Stop (or an Abort between two steps) returned the cycle to idle.
        Stopped,
        // An Abort arrived during a step: the cycle waits where it is.
        Halted,
    };
    Kind kind = Kind::NotDue;
    // The phase after the step.
    CyclePhase phase = CyclePhase::Idle;
    std::string failure;
    // The failure's error number (0 when it had none): what kind of trouble
    // it is, for words that must not depend on the text.
    std::int32_t failureNumber = 0;
};

} // namespace vistrel
