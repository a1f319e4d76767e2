// SPDX-License-Identifier: MIT
#pragma once

#include "control/rounding.h"

#include <algorithm>
#include <cstdint>

namespace vistrel {

// The grid's place in the control, in twips: one twip from the left edge,
// below the tool bar and the row of setting fields, the full inner width,
// and down to the status bar.
inline constexpr int kGridLeftTwips = 1;
inline constexpr int kGridTopTwips = 1080;
inline constexpr int kGridFontSize = 10;

// A control too small for the grid gets a grid of no height rather than a
// negative one.
constexpr int gridHeightTwips(int innerHeight, int statusBarHeight) {
    return std::max(0, innerHeight - kGridTopTwips - statusBarHeight);
}

// A column's share of the grid's width, a half going to the even neighbour.
constexpr int columnWidthTwips(int gridWidth, int widthPercent) {
    return static_cast<int>(divideRoundHalfEven(std::int64_t{gridWidth} * widthPercent, 100));
}

} // namespace vistrel
