// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>

namespace vistrel {

// Where the polling cycle stands: the engine runs the step of its phase.
enum class CyclePhase : std::int32_t {
    Idle = 0,
    OpenCommunication = 1,
    StartSession = 2,
    Run = 3,
};

} // namespace vistrel
