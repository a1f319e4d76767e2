// SPDX-License-Identifier: MIT
#include "sim/memory_map.h"

#include <algorithm>

namespace vistrel {

MemoryMap::MemoryMap(std::vector<MemoryBlock> blocks) {
    std::sort(blocks.begin(), blocks.end(),
              [](const MemoryBlock& a, const MemoryBlock& b) { return a.address < b.address; });
    for (const MemoryBlock& block : blocks) {
        if (block.bytes.empty()) {
            continue;
        }
        const std::uint64_t start = block.address;
        if (stretches_.empty() || stretches_.back().end != start) {
            stretches_.push_back({start, start, bytes_.size()});
        }
        bytes_.insert(bytes_.end(), block.bytes.begin(), block.bytes.end());
        stretches_.back().end += block.bytes.size();
    }
}

const std::uint8_t* MemoryMap::find(std::uint32_t address, std::uint32_t length) const noexcept {
    // The last stretch that starts at or before the address is the only one
    // that can hold it.
    auto after = std::upper_bound(
        stretches_.begin(), stretches_.end(), std::uint64_t{address},
        [](std::uint64_t value, const Stretch& stretch) { return value < stretch.start; });
    if (after == stretches_.begin()) {
        return nullptr;
    }
    const Stretch& stretch = *(after - 1);
    if (std::uint64_t{address} + length > stretch.end) {
        return nullptr;
    }
    return bytes_.data() + stretch.offset + (address - stretch.start);
}

} // namespace vistrel
