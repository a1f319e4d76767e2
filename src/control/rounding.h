// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>

namespace vistrel {

// numerator / denominator rounded to the nearest whole number, a half going
// to the even neighbour. Exact integer arithmetic: a quotient such as
// 1005 ms / 10 is a true tie here, which it is not once written as a double.
// The denominator must be positive.
constexpr std::int64_t divideRoundHalfEven(std::int64_t numerator, std::int64_t denominator) {
    std::int64_t quotient = numerator / denominator;
    std::int64_t remainder = numerator % denominator;
    if (remainder < 0) { // floor division, so that the remainder lies in [0, denominator)
        --quotient;
        remainder += denominator;
    }
    const std::int64_t twice = 2 * remainder;
    if (twice > denominator || (twice == denominator && quotient % 2 != 0)) {
        ++quotient;
    }
    return quotient;
}

} // namespace vistrel
