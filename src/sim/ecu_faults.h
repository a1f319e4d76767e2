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

    // The first refusal of service for a request touching the range, or
    // nullptr.
    const RefusedRange* refusal(std::uint8_t service, const AddressRange& request) const noexcept;
    // True when a read of the range gets no answer.
    bool silences(const AddressRange& request) const noexcept;
};

} // namespace vistrel
