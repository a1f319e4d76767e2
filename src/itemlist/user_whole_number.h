// SPDX-License-Identifier: MIT
#pragma once

#include "components/number_format.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace vistrel {

// A whole number as the user types it in the regional number format; a
// fractional value rounds to the nearest whole number, halves to the even
// one (2.5 -> 2, 3.5 -> 4). nullopt for a text that is not a number or a
// value beyond the 32-bit range.
std::optional<std::int32_t> parseUserWholeNumber(std::string_view text, const NumberFormat& format);

} // namespace vistrel
