// SPDX-License-Identifier: MIT
#include "itemlist/user_whole_number.h"

#include <cmath>
#include <limits>

namespace vistrel {

std::optional<std::int32_t> parseUserWholeNumber(std::string_view text,
                                                 const NumberFormat& format) {
    const std::optional<double> number = parseUserNumber(text, format);
    if (!number) {
        return std::nullopt;
    }
    // Halves go to the even neighbour, independent of the rounding mode
    // that a host may have set in the floating-point environment.
    const double below = std::floor(*number);
    const double fraction = *number - below;
    const bool up = fraction > 0.5 || (fraction == 0.5 && std::fmod(below, 2.0) != 0.0);
    const double whole = up ? below + 1.0 : below;
    if (!(whole >= std::numeric_limits<std::int32_t>::min() &&
          whole <= std::numeric_limits<std::int32_t>::max())) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(whole);
}

} // namespace vistrel
