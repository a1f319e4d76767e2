// SPDX-License-Identifier: MIT
#pragma once

#include <string_view>
#include <vector>

namespace vistrel {

// The candidate item lines of a pasted text: cut at every CR LF and at every
// lone LF (text copied on this platform ends its lines with LF). A last line
// without a line end is kept when it is not empty, so that nothing the user
// copied is dropped silently. The views point into text.
std::vector<std::string_view> pastedLines(std::string_view text);

} // namespace vistrel
