// SPDX-License-Identifier: MIT
#pragma once

#include "sim/address_range.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <vector>

namespace vistrel {

// Memory that only a tester which passed security access at this level
// may read or gather into an identifier.
struct SecuredRange {
    AddressRange range;
    std::uint8_t level = 0x01;
};

// How a UDS ECU behaves: its timing, the limits of its dynamically defined
// and periodic identifiers, its security access.
struct UdsSettings {
    // What the session reply announces: P2server_max and P2*server_max.
    std::chrono::milliseconds p2{50};
    std::chrono::milliseconds p2Star{5000};
    // A non-default session without requests for this long falls back to the
    // default session.
    std::chrono::milliseconds s3{5000};
    // Dynamically defined identifiers: how many may be defined at once, how
    // many memory elements each gathers, and the reason code of a refusal
    // beyond either (ECUs differ: 13, 22 or 31).
    std::uint32_t maxIdentifiers = 16;
    std::uint32_t maxElements = 8;
    std::uint8_t limitNrc = 0x31;
    // How many identifiers the periodic scheduler holds, and the periods of
    // the slow, medium and fast transmission modes.
    std::uint32_t maxPeriodic = 16;
    std::array<std::chrono::milliseconds, 3> rates{std::chrono::milliseconds(1000),
                                                   std::chrono::milliseconds(200),
                                                   std::chrono::milliseconds(10)};
    // Invalid keys in a row before the ECU refuses further ones, and the time
    // it then refuses seed requests.
    std::uint32_t attempts = 3;
    std::chrono::milliseconds delay{10000};
    std::vector<SecuredRange> locks;
};

} // namespace vistrel
