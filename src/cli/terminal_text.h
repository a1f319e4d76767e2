// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vistrel::cli {

// Text made safe to print on a terminal: control characters (C0, DEL, C1)
// and bytes that are not UTF-8 become '?', so that a name read from a file
// can neither move the cursor nor change the terminal's settings.
std::string printable(std::string_view text);

// The number of characters (code points) of a UTF-8 text: its width on a
// terminal, wide East Asian characters aside.
std::size_t displayWidth(std::string_view text);

// The first characters of a UTF-8 text, at most width of them.
std::string_view firstCharacters(std::string_view text, std::size_t width);

// A UTF-8 text of at most width characters: too long, its middle gives way
// to an ellipsis, keeping both ends (a device path's start and its port).
std::string middleElided(std::string_view text, std::size_t width);

} // namespace vistrel::cli
