// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>

namespace vistrel {

class Protocol;

// The window of the merged read when the list leaves it to the link: two
// items share one ReadMemoryByAddress when the bytes between them cost less
// to read than one more exchange, within one reply of the link. 32 bytes on
// a link that tells no costs.
std::uint32_t automaticMergeWindow(const Protocol& protocol);

} // namespace vistrel
