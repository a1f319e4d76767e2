// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace vistrel {

// Text that an XML 1.0 document can carry, in valid UTF-8: characters XML
// forbids (control characters other than tab, line feed and carriage return;
// U+FFFE, U+FFFF) are left out, and bytes that are not UTF-8 become U+FFFD.
// altered is set when anything was left out or replaced, and kept otherwise.
std::string xmlSafeText(std::string_view text, bool& altered);

} // namespace vistrel
