// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <optional>

namespace vistrel::cli {

// The width in characters of the terminal on that file descriptor; nullopt
// when the descriptor is not a terminal.
std::optional<std::size_t> terminalWidth(int fileDescriptor);

} // namespace vistrel::cli
