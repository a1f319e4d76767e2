// SPDX-License-Identifier: MIT
#pragma once

#include "plot/strip_chart.h"

#include <QRect>
#include <span>
#include <vector>

class QFontMetrics;

namespace vistrel {

// Where the parts of a chart go in its area: the value axis' band on the
// left, the lines, the legend column on the right, the time axis below.
// It depends on the font and the lines' names only, never on their values,
// so that the chart does not shift while values come and go.
struct ChartLayout {
    QRect plot;
    QRect legend;
};

ChartLayout chartLayout(const QRect& area, const QFontMetrics& metrics,
                        std::span<const PlotSeries> series, const ChartFrame& frame);

// The plot cut into one lane per line, top to bottom, with a little room
// between them. A thin lane (a line that does not move) is one text row
// high; the others share the rest.
std::vector<QRect> laneRects(const QRect& plot, const std::vector<bool>& thin,
                             const QFontMetrics& metrics);

} // namespace vistrel
