// SPDX-License-Identifier: MIT
#include "components/error.h"
#include "item/vistrel_item.h"

#include <algorithm>

namespace vistrel {

// The value keeps its storage from read to read: a periodic frame or a
// packed reply refreshes many items many times a second.
void VistrelItem::takeValue(std::span<const std::uint8_t> bytes) {
    clearOutcome();
    const auto n = std::min<std::size_t>(static_cast<std::size_t>(length_), bytes.size());
    value_.setLength(n);
    for (std::size_t i = 0; i < n; ++i) {
        value_.setByte(i, bytes[i]);
    }
}

void VistrelItem::takeError(const Error& error) {
    clearOutcome();
    setError(error.number(), error.description());
}

} // namespace vistrel
