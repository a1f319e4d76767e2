// SPDX-License-Identifier: MIT
#pragma once

#include "plot/column_spans.h"

#include <QColor>
#include <QRect>
#include <QString>

class QFontMetrics;
class QPainter;

namespace vistrel {

// The round step (1, 2 or 5 times a power of ten) at or above the given one.
double roundStepAtLeast(double least);

// A tick's value with as many decimals as its step needs.
QString tickLabel(double value, double step);

// The round step of the time axis from `from` to `to` seconds over `width`
// pixels whose labels leave room between them, however narrow the chart.
double timeTickStep(double from, double to, int width, const QFontMetrics& metrics);

// The time axis under the plot: a grid line and a label per tick.
void drawTimeAxis(QPainter& painter, const QRect& plot, double from, double to);

// Width of the band left of the plot that holds the value labels.
int valueAxisWidth(const QFontMetrics& metrics);

// A scale's ticks as grid lines across the plot and labels in the band left
// of it. A label is drawn only where it fits between `slack` pixels above
// and below the plot, so that stacked charts' labels never overlap.
void drawValueAxis(QPainter& painter, const QRect& plot, ValueRange scale, QColor labelColour,
                   int slack);

} // namespace vistrel
