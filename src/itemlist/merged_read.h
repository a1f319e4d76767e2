// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <memory>
#include <pugixml.hpp>
#include <vector>

namespace vistrel {

class Protocol;
class VistrelItem;
struct ReadTally;

// Reads the items in groups of neighbours: the items whose bytes lie within
// one window of `window` bytes (and within one reply of the link) share one
// ReadMemoryByAddress, and each takes its own bytes of the reply. A group
// whose read fails is read again item by item, so that each item shows its
// own outcome. False when AbortRequest cut the read short.
bool readMerged(const std::vector<std::shared_ptr<VistrelItem>>& items, Protocol& protocol,
                std::int32_t lengthSize, std::uint32_t window, pugi::xml_node snapShot,
                ReadTally& tally);

} // namespace vistrel
