// SPDX-License-Identifier: MIT
#include "components/error.h"
#include "item/vistrel_item.h"

#include <algorithm>

namespace vistrel {

void VistrelItem::takeValue(std::span<const std::uint8_t> bytes) {
    clearOutcome();
    value_ = ByteString(std::vector<std::uint8_t>(
        bytes.begin(), bytes.begin() + std::min<std::ptrdiff_t>(length_, std::ssize(bytes))));
}

void VistrelItem::takeError(const Error& error) {
    clearOutcome();
    setError(error.number(), error.description());
}

} // namespace vistrel
