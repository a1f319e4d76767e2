// SPDX-License-Identifier: MIT
// Arbitrary clipboard text through the paste splitter and into the item
// list. The lines must cover the text exactly, each one followed by its
// CR LF or LF; every line must end in an item, nothing, or error 1.
#include "../itemlist/item_line_checks.h"
#include "control/clipboard_lines.h"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace {

// Walks the text along the lines: each starts where the line end before it
// stopped, holds no LF, and is followed by CR LF or LF, or by the end of the
// text when it is the last one and not empty.
void checkLinesCoverText(std::string_view text, const std::vector<std::string_view>& lines) {
    std::size_t at = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = lines[i];
        if (line.data() != text.data() + at || line.find('\n') != std::string_view::npos) {
            __builtin_trap();
        }
        at += line.size();
        const std::string_view rest = text.substr(at);
        if (rest.starts_with("\r\n")) {
            at += 2;
        } else if (rest.starts_with('\n')) {
            at += 1;
        } else if (!rest.empty() || i + 1 != lines.size() || line.empty()) {
            __builtin_trap();
        }
    }
    if (at != text.size()) {
        __builtin_trap();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string_view> lines = vistrel::pastedLines(text);
    checkLinesCoverText(text, lines);

    vistrel::VistrelItems items(vistrel::NumberFormat{",", " "});
    for (const std::string_view line : lines) {
        vistrel::fuzzing::addLineChecked(items, line);
    }
    vistrel::fuzzing::checkLineItems(items);
    return 0;
}
