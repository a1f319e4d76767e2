// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>

namespace vistrel {

// How the ECU answered one request.
struct Answer {
    enum class Kind { Positive, Negative, None };
    Kind kind = Kind::Positive;
    // For a negative answer: the refused service and the reason code.
    std::uint8_t sid = 0;
    std::uint8_t nrc = 0;
};

} // namespace vistrel
