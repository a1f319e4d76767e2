// SPDX-License-Identifier: MIT
#pragma once

#include "components/negative_response.h"
#include "sim/address_range.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vistrel {

// A request of one service touching a range gets the negative reply
// 7F service nrc.
struct RefusedRange {
    AddressRange range;
    std::uint8_t service = kwp::kReadMemoryByAddress;
    std::uint8_t nrc = nrc::kConditionsNotCorrect;
};

// The faults an ECU shows on demand, from its description or set at run time.
struct EcuFaults {
    std::vector<RefusedRange> refused;
    std::vector<AddressRange> silent;
    int initFailures = 0;
    std::string initText = "Communication init failed";
    int sessionFailures = 0;
    std::uint8_t sessionNrc = nrc::kConditionsNotCorrect;
    // UDS security access: every N-th seed request is refused with 37 (the
    // delay is not over) when N is not 0; a new seed on every request
    // instead of the same one until a key is tried.
    unsigned seedDelayEvery = 0;
    bool newSeedEveryRequest = false;
    // UDS periodic transmission: the first identifier of the schedule goes
    // quiet after this many frames when not 0, the others go on.
    unsigned periodicStopsAfter = 0;

    // The first refusal of service for a request touching the range, or
    // nullptr.
    const RefusedRange* refusal(std::uint8_t service, const AddressRange& request) const noexcept;
    // True when a read of the range gets no answer.
    bool silences(const AddressRange& request) const noexcept;
};

} // namespace vistrel
