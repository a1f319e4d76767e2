// SPDX-License-Identifier: MIT
#include "plot/chart_layout.h"

#include "plot/chart_axes.h"

#include <QFontMetrics>
#include <algorithm>

namespace vistrel {
namespace {

constexpr int kMargin = 6;
constexpr int kLaneGap = 4;
constexpr int kSwatchWidth = 14;
// The widest texts that follow a name in the legend: a value at the cursor
// as QString::number writes it, and a line's range in four digits.
const QString kWidestValue = QStringLiteral(": -1.23457e+06");
const QString kWidestRange = QStringLiteral(" [-1.235e+06 … -1.235e+06]");

int legendWidth(const QRect& area, const QFontMetrics& metrics, std::span<const PlotSeries> series,
                const ChartFrame& frame) {
    if (series.empty()) {
        return kMargin;
    }
    int names = 0;
    for (const PlotSeries& s : series) {
        names = std::max(names, metrics.horizontalAdvance(legendTitle(s)));
    }
    int after = metrics.horizontalAdvance(kWidestValue);
    if (!frame.lanes && !frame.sharedScale) {
        after = std::max(after, metrics.horizontalAdvance(kWidestRange));
    }
    // Beyond two fifths of the area the lines would be starved: the legend
    // elides there instead.
    return std::min(kSwatchWidth + names + after + 2 * kMargin, area.width() * 2 / 5);
}

} // namespace

ChartLayout chartLayout(const QRect& area, const QFontMetrics& metrics,
                        std::span<const PlotSeries> series, const ChartFrame& frame) {
    const int axis = valueAxisWidth(metrics);
    const int legend = legendWidth(area, metrics, series, frame);
    // A single chart names its axis' unit above it.
    const int top = frame.lanes ? kMargin : metrics.height() + 4;
    const int bottom = metrics.height() + 6;
    const QRect plot(area.left() + axis, area.top() + top,
                     std::max(10, area.width() - axis - legend),
                     std::max(10, area.height() - top - bottom));
    return {plot, QRect(plot.right() + 1 + kMargin, area.top() + kMargin, legend - kMargin,
                        area.height() - 2 * kMargin)};
}

std::vector<QRect> laneRects(const QRect& plot, const std::vector<bool>& thin,
                             const QFontMetrics& metrics) {
    const int count = static_cast<int>(thin.size());
    if (count == 0) {
        return {};
    }
    const int thinHeight = metrics.height() + 4;
    const int thinCount = static_cast<int>(std::count(thin.begin(), thin.end(), true));
    const int free = plot.height() - (count - 1) * kLaneGap;
    const int wide = count > thinCount ? (free - thinCount * thinHeight) / (count - thinCount) : 0;
    // Too many lanes for the height: all alike, rather than moving lines
    // squeezed below the flat ones.
    const bool alike = count == thinCount || wide < 2 * thinHeight;
    std::vector<QRect> lanes;
    int y = plot.top();
    for (const bool flat : thin) {
        const int height = std::max(1, alike ? free / count : (flat ? thinHeight : wide));
        lanes.emplace_back(plot.left(), y, plot.width(), height);
        y += height + kLaneGap;
    }
    return lanes;
}

} // namespace vistrel
