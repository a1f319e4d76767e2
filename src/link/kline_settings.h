// SPDX-License-Identifier: MIT
#pragma once

#include "link/link_string.h"

#include <chrono>
#include <cstdint>
#include <string>

namespace vistrel {

using Milliseconds = std::chrono::milliseconds;

// How the tester wakes the ECU up before the first request.
enum class KLineInit { Fast, FiveBaud, None };

// Whether the cable hands back every byte it sends (a one-wire K-line does).
enum class KLineEcho { Auto, On, Off };

// The fixed ISO 14230-2 times that no link key changes.
namespace kline_time {
// Longest gap between two bytes of the ECU's reply.
inline constexpr Milliseconds kP1max{20};
// Earliest reply after a request: a real ECU never answers sooner.
inline constexpr Milliseconds kP2min{25};
// Idle time after which the ECU ends the session on its own.
inline constexpr Milliseconds kP3max{5000};
// Idle line before a fast init.
inline constexpr Milliseconds kW5{300};
// Fast init: line low, then high, before StartCommunication.
inline constexpr Milliseconds kTiniL{25};
inline constexpr Milliseconds kTwup{50};
} // namespace kline_time

// A kline: link string, checked: KLINE:DEVICE with baud, init, target,
// source, p2max, p3min, p4min and echo.
struct KLineSettings {
    std::string device;
    unsigned baud = 10400;
    KLineInit init = KLineInit::Fast;
    std::uint8_t target = 0x10;
    std::uint8_t source = 0xF1;
    Milliseconds p2max{50};
    Milliseconds p3min{55};
    Milliseconds p4min{5};
    KLineEcho echo = KLineEcho::Auto;

    // Throws LinkStringError naming the key and value that do not fit.
    static KLineSettings fromLinkString(const LinkString& linkString);
};

// The link string of these settings, with only the keys that differ from
// the defaults.
std::string toLinkString(const KLineSettings& settings);

} // namespace vistrel
