// SPDX-License-Identifier: MIT
#pragma once

#include "plot/strip_chart.h"
#include "recording/recording_reader.h"

#include <memory>
#include <vector>

namespace vistrel {

// A recording as chart material: every column's values over the file's
// times, an error text as a gap, and one line per column in its colour.
struct RecordingChart {
    std::shared_ptr<SeriesStore> store;
    std::vector<PlotSeries> series;
    // How each column's texts were read (see RecordingRun::radixes).
    std::vector<ValueRadix> radixes;
};

RecordingChart chartOfRecording(const RecordingRun& run);

} // namespace vistrel
