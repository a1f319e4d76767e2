// SPDX-License-Identifier: MIT
#include "plot/strip_chart.h"

#include "plot/chart_axes.h"
#include "plot/chart_layout.h"
#include "plot/column_spans.h"

#include <QImage>
#include <QLine>
#include <QPainter>
#include <QStringList>
#include <algorithm>
#include <cmath>

namespace vistrel {
namespace {

// A little room above and below, and some height for a flat line.
ValueRange padded(ValueRange r) {
    if (r.high <= r.low) {
        const double half = r.low == 0 ? 1 : std::abs(r.low) * 0.1;
        return {r.low - half, r.low + half};
    }
    const double pad = (r.high - r.low) * 0.05;
    return {r.low - pad, r.high + pad};
}

std::vector<ValueRange> seriesScales(std::span<const PlotSeries> series,
                                     const std::vector<std::vector<ColumnSpan>>& spans,
                                     bool shared) {
    std::vector<ValueRange> scales;
    std::optional<ValueRange> all;
    for (std::size_t k = 0; k < series.size(); ++k) {
        const PlotSeries& s = series[k];
        ValueRange r = padded(rangeOf(spans[k]).value_or(ValueRange{0, 0}));
        if (s.minimum || s.maximum) {
            r = {s.minimum.value_or(r.low), s.maximum.value_or(r.high)};
            if (r.high <= r.low) {
                r = padded({r.low, r.low});
            }
        }
        all = all ? ValueRange{std::min(all->low, r.low), std::max(all->high, r.high)} : r;
        scales.push_back(r);
    }
    if (shared && all) {
        std::fill(scales.begin(), scales.end(), *all);
    }
    return scales;
}

// The image under the painter when its pixels can be written directly: a
// 32-bit raster image drawn without transformation.
QImage* directImage(QPainter& painter) {
    if (painter.device()->devType() != QInternal::Image || !painter.transform().isIdentity()) {
        return nullptr;
    }
    auto* image = static_cast<QImage*>(painter.device());
    const auto format = image->format();
    const bool plain = format == QImage::Format_RGB32 || format == QImage::Format_ARGB32 ||
                       format == QImage::Format_ARGB32_Premultiplied;
    return plain && image->devicePixelRatio() == 1.0 ? image : nullptr;
}

// One series' spans as whole-pixel lines: a vertical line over each
// column's values, reaching back to the last value of the column before
// when that one is the next column, a line across to it when columns lie
// between. On a raster image the vertical lines, which are nearly all of
// them, go straight into the pixels: through QPainter each line costs more
// than its few pixels.
void drawSpans(QPainter& painter, QImage* direct, const QRect& plot,
               const std::vector<ColumnSpan>& spans, ValueRange scale, std::vector<QLine>& lines) {
    const double perUnit = plot.height() / (scale.high - scale.low);
    const double bottom = plot.top() + plot.height();
    // Far outside values are held near the edge: the clip hides them.
    const auto y = [&](float v) {
        return static_cast<int>(std::lround(
            std::clamp(bottom - (v - scale.low) * perUnit, plot.top() - 8.0, bottom + 8.0)));
    };
    const QRgb colour = painter.pen().color().rgb();
    uchar* const pixels = direct ? direct->bits() : nullptr;
    const qsizetype stride = direct ? direct->bytesPerLine() : 0;
    const auto vertical = [&](int x, int top, int down) {
        if (!direct) {
            lines.emplace_back(x, top, x, down);
            return;
        }
        if (x < plot.left() || x > plot.right()) {
            return;
        }
        top = std::max(top, plot.top());
        down = std::min(down, plot.bottom());
        uchar* pixel = pixels + top * stride + static_cast<qsizetype>(x) * 4;
        for (int row = top; row <= down; ++row, pixel += stride) {
            *reinterpret_cast<QRgb*>(pixel) = colour;
        }
    };
    lines.clear();
    int previousX = 0;
    int previousY = 0;
    for (const ColumnSpan& s : spans) {
        const int x = plot.left() + s.x;
        int top = y(s.high);
        int down = y(s.low);
        if (s.joined && x <= previousX + 1) {
            top = std::min(top, previousY);
            down = std::max(down, previousY);
        } else if (s.joined) {
            lines.emplace_back(previousX, previousY, x, y(s.first));
        }
        vertical(x, top, down);
        previousX = x;
        previousY = y(s.last);
    }
    painter.drawLines(lines.data(), static_cast<int>(lines.size()));
}

struct Painting {
    QPainter& painter;
    const SeriesStore& store;
    std::span<const PlotSeries> series;
    const ChartFrame& frame;
    const ChartLayout& layout;
    const std::vector<std::vector<ColumnSpan>>& spans;
    const std::vector<ValueRange>& scales;
    std::optional<std::size_t> atCursor;
};

// A legend row: the line's colour, its title and what follows it.
void drawLegendRow(QPainter& painter, const QRect& row, const PlotSeries& s, const QString& after,
                   bool stale) {
    const int textHeight = painter.fontMetrics().height();
    painter.fillRect(row.left(), row.top() + textHeight / 2 - 4, 10, 8, s.colour);
    const QRect text = row.adjusted(14, 0, 0, 0);
    painter.setPen(stale ? Qt::gray : Qt::black);
    const QString line = legendTitle(s) + after + (stale ? QStringLiteral(" (stale)") : QString());
    painter.drawText(text, Qt::AlignLeft | Qt::AlignTop,
                     painter.fontMetrics().elidedText(line, Qt::ElideRight, text.width()));
}

QString valueAtCursor(const Painting& p, const PlotSeries& s) {
    const float v = p.store.values(*p.atCursor)[s.column];
    return QStringLiteral(": ") + (std::isnan(v) ? QStringLiteral("—") : QString::number(v));
}

void drawLines(const Painting& p, std::size_t k, const QRect& plot, QImage* direct,
               std::vector<QLine>& lines) {
    p.painter.save();
    p.painter.setClipRect(plot);
    p.painter.setPen(QPen(p.series[k].colour, 0));
    drawSpans(p.painter, direct, plot, p.spans[k], p.scales[k], lines);
    p.painter.restore();
}

// What the single chart's value axis stands for, written above it: the
// units of a shared scale, or the line whose own scale it shows.
QString axisTitle(const Painting& p, std::size_t shown) {
    if (!p.frame.sharedScale) {
        return p.series.size() == 1 ? p.series[shown].unit : legendTitle(p.series[shown]);
    }
    QStringList units;
    for (const PlotSeries& s : p.series) {
        if (!s.unit.isEmpty() && !units.contains(s.unit)) {
            units.push_back(s.unit);
        }
    }
    return units.join(QStringLiteral(", "));
}

void paintSingleChart(const Painting& p, const QRect& area) {
    QPainter& painter = p.painter;
    const QRect& plot = p.layout.plot;
    const QFontMetrics metrics = painter.fontMetrics();
    drawTimeAxis(painter, plot, p.frame.from, p.frame.to);
    if (!p.scales.empty()) {
        const std::size_t shown =
            p.frame.sharedScale ? 0 : std::min(p.frame.axisSeries, p.series.size() - 1);
        const QColor colour =
            p.frame.sharedScale || p.series.size() == 1 ? Qt::black : p.series[shown].colour;
        drawValueAxis(painter, plot, p.scales[shown], colour);
        painter.setPen(colour);
        const QRect title(area.left() + 4, area.top() + 2, plot.right() - area.left() - 4,
                          metrics.height());
        painter.drawText(title, Qt::AlignLeft | Qt::AlignTop,
                         metrics.elidedText(axisTitle(p, shown), Qt::ElideRight, title.width()));
    }
    painter.setPen(Qt::gray);
    painter.drawRect(plot.adjusted(0, 0, -1, -1));
    std::vector<QLine> lines;
    QImage* const direct = directImage(painter);
    for (std::size_t k = 0; k < p.series.size(); ++k) {
        drawLines(p, k, plot, direct, lines);
    }
    const int rowHeight = metrics.height() + 2;
    for (std::size_t k = 0; k < p.series.size(); ++k) {
        QString after;
        if (p.atCursor) {
            after = valueAtCursor(p, p.series[k]);
        } else if (!p.frame.sharedScale) {
            after = QStringLiteral(" [%1 … %2]")
                        .arg(QString::number(p.scales[k].low, 'g', 4),
                             QString::number(p.scales[k].high, 'g', 4));
        }
        const QRect row(p.layout.legend.left(),
                        p.layout.legend.top() + static_cast<int>(k) * rowHeight,
                        p.layout.legend.width(), rowHeight);
        drawLegendRow(painter, row, p.series[k], after, p.frame.stale);
    }
}

// A line that does not move over the time shown, and has no range of the
// user's, needs no more height than its title.
std::vector<bool> flatLines(const Painting& p) {
    std::vector<bool> flat;
    for (std::size_t k = 0; k < p.series.size(); ++k) {
        const auto range = rangeOf(p.spans[k]);
        flat.push_back(!p.series[k].minimum && !p.series[k].maximum &&
                       (!range || range->high <= range->low));
    }
    return flat;
}

void paintLanes(const Painting& p, const QRect& area) {
    QPainter& painter = p.painter;
    const QFontMetrics metrics = painter.fontMetrics();
    drawTimeAxis(painter, p.layout.plot, p.frame.from, p.frame.to);
    const std::vector<bool> flat = flatLines(p);
    const std::vector<QRect> lanes = laneRects(p.layout.plot, flat, metrics);
    std::vector<QLine> lines;
    QImage* const direct = directImage(painter);
    for (std::size_t k = 0; k < p.series.size(); ++k) {
        const QRect& lane = lanes[k];
        // The time grid runs through the whole plot; the room between two
        // lanes stays blank, so that they read as separate charts.
        painter.fillRect(lane.left(), lane.bottom() + 1, lane.width(),
                         k + 1 < lanes.size() ? lanes[k + 1].top() - lane.bottom() - 1 : 0,
                         Qt::white);
        if (flat[k] && !p.spans[k].empty()) {
            // The one value a flat line holds says more than round ticks.
            painter.setPen(p.series[k].colour);
            painter.drawText(
                QRect(area.left(), lane.top(), lane.left() - area.left() - 4, lane.height()),
                Qt::AlignRight | Qt::AlignVCenter, QString::number(p.spans[k].front().low));
        } else if (!flat[k]) {
            drawValueAxis(painter, lane, p.scales[k], p.series[k].colour);
        }
        painter.setPen(Qt::gray);
        painter.drawRect(lane.adjusted(0, 0, -1, -1));
        drawLines(p, k, lane, direct, lines);
        const QRect row(p.layout.legend.left(), lane.top(), p.layout.legend.width(),
                        std::max(lane.height(), metrics.height()));
        drawLegendRow(painter, row, p.series[k], p.atCursor ? valueAtCursor(p, p.series[k]) : "",
                      p.frame.stale);
    }
}

} // namespace

QColor StripChart::colour(std::size_t index) {
    static const QRgb kColours[] = {0x1f77b4, 0xd62728, 0x2ca02c, 0xff7f0e, 0x9467bd,
                                    0x8c564b, 0xe377c2, 0x17becf, 0xbcbd22, 0x7f7f7f,
                                    0x393b79, 0xad494a, 0x637939, 0xe7ba52, 0x7b4173,
                                    0x3182bd, 0xe6550d, 0x31a354, 0x756bb1, 0x636363};
    return QColor(kColours[index % std::size(kColours)]);
}

QString legendTitle(const PlotSeries& series) {
    return series.unit.isEmpty() ? series.name
                                 : series.name + QStringLiteral(" (") + series.unit + ')';
}

QRect StripChart::plotArea(const QRect& area, const QFontMetrics& metrics,
                           std::span<const PlotSeries> series, const ChartFrame& frame) {
    return chartLayout(area, metrics, series, frame).plot;
}

void StripChart::paint(QPainter& painter, const QRect& area, const SeriesStore& store,
                       std::span<const PlotSeries> series, const ChartFrame& frame) {
    painter.fillRect(area, Qt::white);
    if (!(frame.to > frame.from)) {
        return;
    }
    const ChartLayout layout = chartLayout(area, painter.fontMetrics(), series, frame);
    const QRect& plot = layout.plot;
    // One read either side, so that the lines run on to the edges.
    const std::size_t lower = store.lowerBound(frame.from);
    const std::size_t first = lower == 0 ? 0 : lower - 1;
    const std::size_t end = std::min(store.size(), store.lowerBound(frame.to) + 1);
    std::vector<std::size_t> columns;
    for (const PlotSeries& s : series) {
        columns.push_back(s.column);
    }
    const auto spans = decimate(store, columns, first, end, frame.from,
                                plot.width() / (frame.to - frame.from), plot.width());
    const std::vector<ValueRange> scales = seriesScales(series, spans, frame.sharedScale);
    const Painting p{
        painter, store, series, frame,
        layout,  spans, scales, frame.cursor ? store.lastAtOrBefore(*frame.cursor) : std::nullopt};
    if (frame.lanes) {
        paintLanes(p, area);
    } else {
        paintSingleChart(p, area);
    }
    if (frame.cursor) {
        const double x =
            plot.left() + (*frame.cursor - frame.from) * plot.width() / (frame.to - frame.from);
        painter.save();
        painter.setClipRect(plot);
        painter.setPen(QPen(Qt::darkGray, 0, Qt::DashLine));
        painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
        painter.restore();
    }
}

} // namespace vistrel
