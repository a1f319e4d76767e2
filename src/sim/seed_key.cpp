// SPDX-License-Identifier: MIT
#include "sim/seed_key.h"

namespace vistrel {

std::vector<std::uint8_t> toyKey(std::uint8_t level, std::span<const std::uint8_t> seed) {
    std::vector<std::uint8_t> key;
    key.reserve(seed.size());
    for (std::size_t i = 0; i < seed.size(); ++i) {
        key.push_back(static_cast<std::uint8_t>((seed[i] ^ 0x5A) + level + i));
    }
    return key;
}

} // namespace vistrel
