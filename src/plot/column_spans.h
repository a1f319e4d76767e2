// SPDX-License-Identifier: MIT
#pragma once

#include "plot/series_store.h"

#include <optional>
#include <vector>

namespace vistrel {

struct ValueRange {
    double low = 0;
    double high = 1;
};

// The reads of one series that fall into one pixel column.
struct ColumnSpan {
    int x;
    float first;
    float low;
    float high;
    float last;
    // No failed read lies between this column and the one before.
    bool joined;
};

// Reads [first, end) of the store cut into pixel columns for each of the
// store's columns named, in one pass over the reads, row by row as they lie
// in the store: a repaint then costs the same whatever the number of reads.
std::vector<std::vector<ColumnSpan>> decimate(const SeriesStore& store,
                                              const std::vector<std::size_t>& columns,
                                              std::size_t first, std::size_t end, double from,
                                              double pixelsPerSecond, int width);

// The lowest and highest value of the spans; nullopt for none.
std::optional<ValueRange> rangeOf(const std::vector<ColumnSpan>& spans);

} // namespace vistrel
