// SPDX-License-Identifier: MIT
#include "cli/terminal_ports.h"

#include <utility>

namespace vistrel::cli {

void StreamMessages::showMessage(const std::string& text, const std::string& title) {
    // Message texts break lines with CR LF; a terminal wants LF alone.
    std::string plain;
    plain.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) {
            plain += text[i];
        }
    }
    out_ << title << ": " << plain << '\n' << std::flush;
}

} // namespace vistrel::cli
