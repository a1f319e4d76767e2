// SPDX-License-Identifier: MIT
#pragma once

#include "sim/address_range.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string_view>

namespace vistrel {

enum class Wave { Ramp, Sine, Square, Counter, Random };

// "ramp", "sine", "square", "counter", "random"; nothing for another name.
std::optional<Wave> waveFromName(std::string_view name) noexcept;

// Memory whose contents follow a wave over time, so that values move on
// screen: a whole number between min and max, stored in length bytes (two's
// complement for negatives, or an IEEE-754 float of 4 or 8 bytes) in either
// byte order.
struct Signal {
    AddressRange range;
    bool bigEndian = true;
    bool isFloat = false;
    Wave wave = Wave::Sine;
    std::int64_t min = 0;
    std::int64_t max = 255;
    std::uint32_t periodMs = 1000;

    // The value at a point of time; time counts from the clock's epoch, so a
    // fixed clock gives a fixed value.
    std::int64_t valueAt(std::chrono::steady_clock::time_point now) const noexcept;
    // The value's bytes in memory order, range.length of them (at most 8).
    void store(std::int64_t value, std::uint8_t* out) const noexcept;
};

} // namespace vistrel
