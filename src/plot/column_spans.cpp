// SPDX-License-Identifier: MIT
#include "plot/column_spans.h"

#include <algorithm>
#include <cmath>

namespace vistrel {

std::vector<std::vector<ColumnSpan>> decimate(const SeriesStore& store,
                                              const std::vector<std::size_t>& columns,
                                              std::size_t first, std::size_t end, double from,
                                              double pixelsPerSecond, int width) {
    struct Tracing {
        ColumnSpan span{};
        bool open = false;
        bool gap = false;
    };
    std::vector<std::vector<ColumnSpan>> spans(columns.size());
    std::vector<Tracing> tracing(columns.size());
    for (std::size_t i = first; i < end; ++i) {
        const int x = static_cast<int>(
            std::clamp(std::floor((store.time(i) - from) * pixelsPerSecond), -1.0, width + 1.0));
        const float* row = store.values(i);
        for (std::size_t k = 0; k < columns.size(); ++k) {
            const float v = row[columns[k]];
            Tracing& t = tracing[k];
            if (std::isnan(v)) {
                t.gap = true;
            } else if (t.open && t.span.x == x) {
                t.span.low = std::min(t.span.low, v);
                t.span.high = std::max(t.span.high, v);
                t.span.last = v;
                // A gap narrower than a pixel does not show.
                t.gap = false;
            } else {
                if (t.open) {
                    spans[k].push_back(t.span);
                }
                t.span = {x, v, v, v, v, t.open && !t.gap};
                t.open = true;
                t.gap = false;
            }
        }
    }
    for (std::size_t k = 0; k < columns.size(); ++k) {
        if (tracing[k].open) {
            spans[k].push_back(tracing[k].span);
        }
    }
    return spans;
}

std::optional<ValueRange> rangeOf(const std::vector<ColumnSpan>& spans) {
    if (spans.empty()) {
        return std::nullopt;
    }
    ValueRange r{spans.front().low, spans.front().high};
    for (const ColumnSpan& s : spans) {
        r = {std::min<double>(r.low, s.low), std::max<double>(r.high, s.high)};
    }
    return r;
}

} // namespace vistrel
