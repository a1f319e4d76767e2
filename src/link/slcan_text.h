// SPDX-License-Identifier: MIT
#pragma once

#include "link/can_frame.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vistrel {

// The frame as an slcan adapter takes and prints it, without the CR:
// tIIIL<data> for 11-bit ids, TIIIIIIIIL<data> for 29-bit ones.
std::string slcanFrameText(const CanFrame& frame);

// A t or T line read back, with or without the 4-hex-digit timestamp some
// adapters add even unasked. Nothing for any other line or one whose
// lengths do not add up.
std::optional<CanFrame> parseSlcanFrame(std::string_view line);

// Cuts what an slcan line carries into its answers: each CR ends a line, and
// a BEL (the adapter's "error") is an answer of its own. A line that grows
// beyond any slcan line is dropped, so noise cannot fill the memory.
class SlcanLineSplitter {
public:
    // The answer the adapter gives with a BEL.
    static constexpr std::string_view kBell = "\a";

    // Adds bytes; complete answers go to lines.
    void push(std::span<const std::uint8_t> bytes, std::vector<std::string>& lines);

private:
    std::string partial_;
    bool overlong_ = false;
};

} // namespace vistrel
