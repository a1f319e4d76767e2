// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <optional>
#include <ostream>
#include <string>

namespace vistrel {

struct PlotOptions {
    std::string recordingFile;
    // .png or .svg, as its extension says.
    std::string outFile;
    // Names of the columns to draw, separated by commas; "" draws the
    // decimal ones (measures, not identifiers or bit fields).
    std::string items;
    // One lane per column; by default beyond four columns, and whenever the
    // columns are left to the command.
    std::optional<bool> lanes;
    // WIDTHxHEIGHT in pixels.
    std::string size = "1600x900";
    std::optional<double> from;
    std::optional<double> to;
    std::size_t run = 1;
};

// Draws a recording into an image file without a display. Returns the exit
// code; the reason of a failure goes to err.
int runPlot(const PlotOptions& options, std::ostream& err);

} // namespace vistrel
