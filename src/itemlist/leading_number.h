// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string_view>

namespace vistrel {

// The number at the start of a text, read the same under every regional
// setting: leading blanks skipped, then the longest part that forms a number
// (sign, digits, full stop and digits, exponent). Only the full stop is a
// decimal separator, so "2,5" reads 2. A text without a leading number reads
// 0; a leading number beyond the range of a double gives nullopt, since no
// value could stand for it.
std::optional<double> readLeadingNumber(std::string_view text) noexcept;

} // namespace vistrel
