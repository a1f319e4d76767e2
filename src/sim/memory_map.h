// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <vector>

namespace vistrel {

// Bytes placed at an address: a memory block or an ECU dump.
struct MemoryBlock {
    std::uint32_t address = 0;
    std::vector<std::uint8_t> bytes;
};

// The mapped memory of the ECU. Blocks that touch end to end are joined, so a
// read may run across them; the joined stretches sit sorted in one flat byte
// store, which keeps a lookup to one binary search and no allocation.
class MemoryMap {
public:
    MemoryMap() = default;
    // The blocks must not overlap (the description reader refuses that).
    explicit MemoryMap(std::vector<MemoryBlock> blocks);

    // The bytes of [address, address + length) when every one of them is
    // mapped; nullptr otherwise.
    const std::uint8_t* find(std::uint32_t address, std::uint32_t length) const noexcept;

private:
    struct Stretch {
        std::uint64_t start;
        std::uint64_t end;
        std::size_t offset;
    };
    std::vector<Stretch> stretches_;
    std::vector<std::uint8_t> bytes_;
};

} // namespace vistrel
