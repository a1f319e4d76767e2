// SPDX-License-Identifier: MIT
#include "control/clipboard_lines.h"

namespace vistrel {

std::vector<std::string_view> pastedLines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t lineFeed = text.find('\n');
        if (lineFeed == std::string_view::npos) {
            lines.push_back(text);
            break;
        }
        std::string_view line = text.substr(0, lineFeed);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        lines.push_back(line);
        text.remove_prefix(lineFeed + 1);
    }
    return lines;
}

} // namespace vistrel
