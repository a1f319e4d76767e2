// SPDX-License-Identifier: MIT
#pragma once

#include "plot/series_store.h"

#include <QColor>
#include <QRect>
#include <QString>
#include <optional>
#include <span>
#include <vector>

class QFontMetrics;
class QPainter;

namespace vistrel {

// One line of the chart: a column of the series store with its legend and
// its scale.
struct PlotSeries {
    std::size_t column = 0;
    QString name;
    QString unit;
    QColor colour;
    // The user's scale; the visible values' range when absent.
    std::optional<double> minimum;
    std::optional<double> maximum;
};

// "Name (unit)", or the name alone for a line without a unit.
QString legendTitle(const PlotSeries& series);

// What part of the store the chart shows and how.
struct ChartFrame {
    double from = 0;
    double to = 1;
    // The instant whose values the legend shows, marked by a line.
    std::optional<double> cursor;
    // One scale for every line instead of one each.
    bool sharedScale = false;
    // The line whose scale the value axis shows while each has its own.
    std::size_t axisSeries = 0;
    // One lane per line, stacked, each with its own axis, all on one time
    // axis: many lines stay legible.
    bool lanes = false;
    // The newest values are older than a read that got no answer: the
    // legend greys and says so.
    bool stale = false;
};

// Draws a strip chart with QPainter onto any paint device: the screen, an
// image or an SVG file. Each line is decimated to the minimum and maximum
// of the reads that fall into each pixel column, so a repaint costs one
// pass over the visible reads whatever their number; a failed read breaks
// the line. Lanes cost the same pass: only their axes and titles add.
class StripChart {
public:
    // Distinct colours for the lines, in the order they are handed out.
    static QColor colour(std::size_t index);

    // The rectangle that the lines are drawn in, inside the whole area
    // (all lanes together); its horizontal extent is the time axis'.
    static QRect plotArea(const QRect& area, const QFontMetrics& metrics,
                          std::span<const PlotSeries> series, const ChartFrame& frame);

    static void paint(QPainter& painter, const QRect& area, const SeriesStore& store,
                      std::span<const PlotSeries> series, const ChartFrame& frame);
};

} // namespace vistrel
