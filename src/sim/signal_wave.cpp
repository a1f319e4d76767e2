// SPDX-License-Identifier: MIT
#include "sim/signal_wave.h"

#include <bit>
#include <cmath>
#include <numbers>

namespace vistrel {
namespace {

// A well-mixed 64-bit hash, so a "random" signal jumps about while staying a
// pure function of the time.
std::uint64_t mix(std::uint64_t x) noexcept {
    x += 0x9E3779B97F4A7C15ULL;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
    return x ^ (x >> 31);
}

// min + offset, where offset may exceed the signed range: wraps like the
// unsigned arithmetic it is, which lands inside [min, max].
std::int64_t offsetFrom(std::int64_t min, std::uint64_t offset) noexcept {
    return static_cast<std::int64_t>(static_cast<std::uint64_t>(min) + offset);
}

} // namespace

std::optional<Wave> waveFromName(std::string_view name) noexcept {
    if (name == "ramp") {
        return Wave::Ramp;
    }
    if (name == "sine") {
        return Wave::Sine;
    }
    if (name == "square") {
        return Wave::Square;
    }
    if (name == "counter") {
        return Wave::Counter;
    }
    if (name == "random") {
        return Wave::Random;
    }
    return std::nullopt;
}

std::int64_t Signal::valueAt(std::chrono::steady_clock::time_point now) const noexcept {
    const std::int64_t micros =
        std::chrono::duration_cast<std::chrono::microseconds>(now.time_since_epoch()).count();
    const std::int64_t period = std::int64_t{periodMs} * 1000;
    // Floor division, so a clock before its epoch still walks forwards.
    std::int64_t step = micros / period;
    std::int64_t within = micros % period;
    if (within < 0) {
        within += period;
        --step;
    }
    const double phase = static_cast<double>(within) / static_cast<double>(period);
    const std::uint64_t span = static_cast<std::uint64_t>(max) - static_cast<std::uint64_t>(min);

    switch (wave) {
    case Wave::Ramp: {
        const double offset = static_cast<double>(span) * phase;
        return offset >= static_cast<double>(span)
                   ? max
                   : offsetFrom(min, static_cast<std::uint64_t>(offset));
    }
    case Wave::Sine: {
        const double middle = (static_cast<double>(min) + static_cast<double>(max)) / 2;
        const double swing = static_cast<double>(span) / 2;
        const double x = std::round(middle + swing * std::sin(2 * std::numbers::pi * phase));
        if (x >= static_cast<double>(max)) {
            return max;
        }
        if (x <= static_cast<double>(min)) {
            return min;
        }
        return static_cast<std::int64_t>(x);
    }
    case Wave::Square:
        return phase < 0.5 ? min : max;
    case Wave::Counter: {
        const std::uint64_t steps = static_cast<std::uint64_t>(step);
        return span == UINT64_MAX ? offsetFrom(min, steps) : offsetFrom(min, steps % (span + 1));
    }
    case Wave::Random: {
        const std::uint64_t draw = mix(static_cast<std::uint64_t>(step) ^ mix(range.address));
        return span == UINT64_MAX ? offsetFrom(min, draw) : offsetFrom(min, draw % (span + 1));
    }
    }
    return min;
}

void Signal::store(std::int64_t value, std::uint8_t* out) const noexcept {
    auto bits = static_cast<std::uint64_t>(value);
    if (isFloat) {
        bits = range.length == 4 ? std::bit_cast<std::uint32_t>(static_cast<float>(value))
                                 : std::bit_cast<std::uint64_t>(static_cast<double>(value));
    }
    for (std::uint32_t i = 0; i < range.length; ++i) {
        const std::uint32_t position = bigEndian ? range.length - 1 - i : i;
        out[position] = static_cast<std::uint8_t>(bits & 0xFF);
        bits >>= 8;
    }
}

} // namespace vistrel
