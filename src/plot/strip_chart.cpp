// SPDX-License-Identifier: MIT
#include "plot/strip_chart.h"

#include <QImage>
#include <QLine>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace vistrel {
namespace {

constexpr int kAxisWidth = 56;
constexpr int kTimeAxisHeight = 22;
constexpr int kLegendWidth = 270;
constexpr int kLegendRowHeight = 16;
constexpr int kMargin = 6;

struct Range {
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

// Every series decimated in one pass over the visible reads, row by row as
// they lie in the store.
std::vector<std::vector<ColumnSpan>> decimate(const SeriesStore& store,
                                              std::span<const PlotSeries> series, std::size_t first,
                                              std::size_t end, double from, double pixelsPerSecond,
                                              int width) {
    struct Tracing {
        ColumnSpan span{};
        bool open = false;
        bool gap = false;
    };
    std::vector<std::vector<ColumnSpan>> spans(series.size());
    std::vector<Tracing> tracing(series.size());
    for (std::size_t i = first; i < end; ++i) {
        const int x = static_cast<int>(
            std::clamp(std::floor((store.time(i) - from) * pixelsPerSecond), -1.0, width + 1.0));
        const float* row = store.values(i);
        for (std::size_t k = 0; k < series.size(); ++k) {
            const float v = row[series[k].column];
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
    for (std::size_t k = 0; k < series.size(); ++k) {
        if (tracing[k].open) {
            spans[k].push_back(tracing[k].span);
        }
    }
    return spans;
}

std::optional<Range> rangeOf(const std::vector<ColumnSpan>& spans) {
    if (spans.empty()) {
        return std::nullopt;
    }
    Range r{spans.front().low, spans.front().high};
    for (const ColumnSpan& s : spans) {
        r = {std::min<double>(r.low, s.low), std::max<double>(r.high, s.high)};
    }
    return r;
}

// A little room above and below, and some height for a flat line.
Range padded(Range r) {
    if (r.high <= r.low) {
        const double half = r.low == 0 ? 1 : std::abs(r.low) * 0.1;
        return {r.low - half, r.low + half};
    }
    const double pad = (r.high - r.low) * 0.05;
    return {r.low - pad, r.high + pad};
}

std::vector<Range> seriesScales(std::span<const PlotSeries> series,
                                const std::vector<std::vector<ColumnSpan>>& spans, bool shared) {
    std::vector<Range> scales;
    std::optional<Range> all;
    for (std::size_t k = 0; k < series.size(); ++k) {
        const PlotSeries& s = series[k];
        Range r = padded(rangeOf(spans[k]).value_or(Range{0, 0}));
        if (s.minimum || s.maximum) {
            r = {s.minimum.value_or(r.low), s.maximum.value_or(r.high)};
            if (r.high <= r.low) {
                r = padded({r.low, r.low});
            }
        }
        all = all ? Range{std::min(all->low, r.low), std::max(all->high, r.high)} : r;
        scales.push_back(r);
    }
    if (shared && all) {
        std::fill(scales.begin(), scales.end(), *all);
    }
    return scales;
}

// A round step (1, 2 or 5 times a power of ten) that cuts the span into
// about the given number of parts.
double niceStep(double span, int parts) {
    const double raw = span / parts;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double m : {1.0, 2.0, 5.0}) {
        if (raw <= m * power) {
            return m * power;
        }
    }
    return 10 * power;
}

QString number(double value, double step) {
    const int decimals = std::clamp(static_cast<int>(-std::floor(std::log10(step))), 0, 6);
    return QString::number(value, 'f', decimals);
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
               const std::vector<ColumnSpan>& spans, Range scale, std::vector<QLine>& lines) {
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

void drawTimeAxis(QPainter& painter, const QRect& plot, const ChartFrame& frame) {
    const double step = niceStep(frame.to - frame.from, std::max(2, plot.width() / 110));
    const double scale = plot.width() / (frame.to - frame.from);
    for (double t = std::ceil(frame.from / step) * step; t <= frame.to; t += step) {
        const int x = plot.left() + static_cast<int>(std::lround((t - frame.from) * scale));
        painter.setPen(QColor(225, 225, 225));
        painter.drawLine(x, plot.top(), x, plot.bottom());
        painter.setPen(Qt::black);
        painter.drawText(QRect(x - 50, plot.bottom() + 2, 100, kTimeAxisHeight - 4),
                         Qt::AlignHCenter | Qt::AlignTop, number(t, step) + QStringLiteral(" s"));
    }
}

void drawValueAxis(QPainter& painter, const QRect& plot, Range scale) {
    const double step = niceStep(scale.high - scale.low, std::max(2, plot.height() / 50));
    const double perUnit = plot.height() / (scale.high - scale.low);
    for (double v = std::ceil(scale.low / step) * step; v <= scale.high; v += step) {
        const int y = plot.bottom() - static_cast<int>(std::lround((v - scale.low) * perUnit));
        painter.setPen(QColor(225, 225, 225));
        painter.drawLine(plot.left(), y, plot.right(), y);
        painter.setPen(Qt::black);
        painter.drawText(QRect(0, y - 8, kAxisWidth - 4, 16), Qt::AlignRight | Qt::AlignVCenter,
                         number(v, step));
    }
}

void drawLegend(QPainter& painter, const QRect& area, const SeriesStore& store,
                std::span<const PlotSeries> series, const std::vector<Range>& scales,
                const ChartFrame& frame) {
    const auto atCursor = frame.cursor ? store.lastAtOrBefore(*frame.cursor) : std::nullopt;
    int y = area.top() + kMargin;
    const int left = area.right() - kLegendWidth + kMargin;
    for (std::size_t i = 0; i < series.size(); ++i, y += kLegendRowHeight) {
        const PlotSeries& s = series[i];
        painter.fillRect(left, y + 4, 10, 8, s.colour);
        QString text = s.unit.isEmpty() ? s.name : s.name + QStringLiteral(" (") + s.unit + ')';
        if (atCursor) {
            const float v = store.values(*atCursor)[s.column];
            text +=
                QStringLiteral(": ") + (std::isnan(v) ? QStringLiteral("—") : QString::number(v));
        } else if (!frame.sharedScale) {
            text += QStringLiteral(" [%1 … %2]")
                        .arg(QString::number(scales[i].low, 'g', 4),
                             QString::number(scales[i].high, 'g', 4));
        }
        painter.setPen(Qt::black);
        painter.drawText(
            QRect(left + 14, y, kLegendWidth - 20 - kMargin, kLegendRowHeight),
            Qt::AlignLeft | Qt::AlignVCenter,
            painter.fontMetrics().elidedText(text, Qt::ElideRight, kLegendWidth - 20 - kMargin));
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

QRect StripChart::plotArea(const QRect& area) {
    return QRect(area.left() + kAxisWidth, area.top() + kMargin,
                 std::max(10, area.width() - kAxisWidth - kLegendWidth),
                 std::max(10, area.height() - kMargin - kTimeAxisHeight));
}

void StripChart::paint(QPainter& painter, const QRect& area, const SeriesStore& store,
                       std::span<const PlotSeries> series, const ChartFrame& frame) {
    painter.fillRect(area, Qt::white);
    const QRect plot = plotArea(area);
    if (!(frame.to > frame.from)) {
        return;
    }
    // One read either side, so that the lines run on to the edges.
    const std::size_t lower = store.lowerBound(frame.from);
    const std::size_t first = lower == 0 ? 0 : lower - 1;
    const std::size_t end = std::min(store.size(), store.lowerBound(frame.to) + 1);
    const auto spans = decimate(store, series, first, end, frame.from,
                                plot.width() / (frame.to - frame.from), plot.width());
    const std::vector<Range> scales = seriesScales(series, spans, frame.sharedScale);

    drawTimeAxis(painter, plot, frame);
    if (!scales.empty() && (frame.sharedScale || scales.size() == 1)) {
        drawValueAxis(painter, plot, scales.front());
    }
    painter.setPen(Qt::gray);
    painter.drawRect(plot.adjusted(0, 0, -1, -1));

    painter.save();
    painter.setClipRect(plot);
    std::vector<QLine> lines;
    QImage* const direct = directImage(painter);
    for (std::size_t i = 0; i < series.size(); ++i) {
        painter.setPen(QPen(series[i].colour, 0));
        drawSpans(painter, direct, plot, spans[i], scales[i], lines);
    }
    if (frame.cursor) {
        const double x =
            plot.left() + (*frame.cursor - frame.from) * plot.width() / (frame.to - frame.from);
        painter.setPen(QPen(Qt::darkGray, 0, Qt::DashLine));
        painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
    }
    painter.restore();
    drawLegend(painter, area, store, series, scales, frame);
}

} // namespace vistrel
