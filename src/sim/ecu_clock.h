// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <functional>

namespace vistrel {

// Where the simulated ECU takes the time that moves its signals from. Tests
// hand in a fixed clock so the values they read are known in advance.
using EcuClock = std::function<std::chrono::steady_clock::time_point()>;

// The clock given, or the steady clock when it is empty.
inline EcuClock clockOrSteady(EcuClock clock) {
    if (clock) {
        return clock;
    }
    return [] { return std::chrono::steady_clock::now(); };
}

} // namespace vistrel
