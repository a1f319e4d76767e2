// SPDX-License-Identifier: MIT
#include "cli/terminal_size.h"

#include <sys/ioctl.h>
#include <unistd.h>

namespace vistrel::cli {

std::optional<std::size_t> terminalWidth(int fileDescriptor) {
    if (isatty(fileDescriptor) == 0) {
        return std::nullopt;
    }
    // A terminal that does not tell its size gets the classic 80 columns.
    constexpr std::size_t kClassicWidth = 80;
    winsize size{};
    if (ioctl(fileDescriptor, TIOCGWINSZ, &size) != 0 || size.ws_col == 0) {
        return kClassicWidth;
    }
    return size.ws_col;
}

} // namespace vistrel::cli
