#pragma once

#include <string_view>

namespace vistrel {

// The number at the start of a text, read the same under every regional
// setting: leading blanks skipped, then the longest part that forms a number
// (sign, digits, full stop and digits, exponent). Only the full stop is a
// decimal separator, so "2,5" reads 2. A text without a leading number, or
// one beyond the range of a double, reads 0.
double readLeadingNumber(std::string_view text) noexcept;

} // namespace vistrel
