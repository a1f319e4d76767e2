// SPDX-License-Identifier: MIT
#pragma once

#include "control/ports.h"

#include <array>
#include <cstddef>
#include <string>
#include <vector>

namespace vistrel::cli {

class TerminalView;

// Draws the control as lines of terminal text: the protocol and the setting
// boxes, the grid under its header row, and the status bar panels.
class GridRenderer {
public:
    // Lines of at most maxWidth characters each. The columns keep the widest
    // text seen so far, so that they stay put while values change length.
    std::vector<std::string> render(const TerminalView& view, std::size_t maxWidth);

private:
    std::array<std::size_t, kGridColumnCount> widths_{};
    // The widest value seen so far, error texts left out.
    std::size_t longestValue_ = 0;
};

// The bytes that redraw a terminal in place with these lines: cursor home,
// each line cleared to its end, everything below cleared.
std::string redrawInPlace(const std::vector<std::string>& lines);

} // namespace vistrel::cli
