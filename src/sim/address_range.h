// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>

namespace vistrel {

// A stretch of ECU memory. Ends are computed in 64 bits so a range at the top
// of a 4-byte address space cannot wrap around.
struct AddressRange {
    std::uint32_t address = 0;
    std::uint32_t length = 0;

    std::uint64_t end() const noexcept { return std::uint64_t{address} + length; }
    // True when the two ranges share at least one byte.
    bool touches(std::uint32_t otherAddress, std::uint32_t otherLength) const noexcept {
        return otherAddress < end() && address < std::uint64_t{otherAddress} + otherLength;
    }
};

} // namespace vistrel
