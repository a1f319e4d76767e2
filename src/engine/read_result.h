// SPDX-License-Identifier: MIT
#pragma once

#include "components/byte_string.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vistrel {

class VistrelItems;

// One item's outcome of a read, formatted once on the engine's thread: the
// grid and the recording take the text, plots and triggers the number.
struct ItemReading {
    ByteString bytes;
    // None for an error or a value past a double's range.
    std::optional<double> number;
    std::string text;
    std::int32_t errorCode = 0;
    std::string errorText;
};

// A good read of the whole list, in the list's order.
struct ReadResult {
    // The millisecond clock when the read ended.
    std::uint32_t time = 0;
    std::vector<ItemReading> items;

    std::vector<std::optional<double>> numbers() const;
};

// The outcome each item of the list holds after a read, written over what
// result held: its buffers are reused, so that reading again and again
// allocates nothing per item once the texts have found their size.
void fillReadResult(ReadResult& result, const VistrelItems& list, std::uint32_t time);

} // namespace vistrel
