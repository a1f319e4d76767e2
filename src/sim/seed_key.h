// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace vistrel {

// The simulated ECU's security algorithm, a toy that only stands in for a
// carmaker's secret one: each key byte is the seed byte at the same position
// XOR 5A, plus the level of the seed request, plus the position (from 0),
// modulo 256. vistrel-seedkey prints it for a tester's key program.
std::vector<std::uint8_t> toyKey(std::uint8_t level, std::span<const std::uint8_t> seed);

} // namespace vistrel
