// SPDX-License-Identifier: MIT
#pragma once

#include "components/error.h"
#include "itemlist/vistrel_items.h"

#include <string_view>

namespace vistrel::fuzzing {

// Hands one line to the list as a paste does: the line ends in an item, in
// nothing, or in Error 1 for an address that is not hexadecimal.
inline void addLineChecked(VistrelItems& items, std::string_view line) {
    try {
        items.addLine(line);
    } catch (const Error& e) {
        if (e.number() != 1) {
            __builtin_trap();
        }
    }
}

// Every item that lines made has a length of 1 to 8 and shows some text.
inline void checkLineItems(const VistrelItems& items) {
    for (const auto& each : items) {
        if (each->length() < 0 || each->length() > 8 || each->text().empty()) {
            __builtin_trap();
        }
    }
}

} // namespace vistrel::fuzzing
