// SPDX-License-Identifier: MIT
// Feeds arbitrary text to the item line parser, one line at a time, as a
// paste would: every line must end in an item, nothing, or error 1.
#include "item_line_checks.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const vistrel::NumberFormat kFrench{",", " "};
    vistrel::VistrelItems items(kFrench);
    std::string_view text(reinterpret_cast<const char*>(data), size);
    while (!text.empty()) {
        const std::size_t end = text.find("\r\n");
        vistrel::fuzzing::addLineChecked(items, text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 2);
    }
    vistrel::fuzzing::checkLineItems(items);
    return 0;
}
