// SPDX-License-Identifier: MIT
#include "itemlist/vistrel_items.h"
#include "plot/chart_axes.h"
#include "plot/strip_chart.h"
#include "recording/value_text.h"
#include "sim/simulated_ecu.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <array>
#include <gtest/gtest.h>

namespace vistrel {
namespace {

TEST(SeriesStore, KeepsTheNewestReadsInTimeOrder) {
    SeriesStore store(2, 3);
    for (int t = 0; t < 5; ++t) {
        const std::array<float, 1> one{static_cast<float>(10 * t)};
        store.append(t, one);
    }
    ASSERT_EQ(store.size(), 3U);
    EXPECT_EQ(store.time(0), 2);
    EXPECT_EQ(store.values(2)[0], 40);
    EXPECT_TRUE(std::isnan(store.values(2)[1])); // a value not given is a gap
    EXPECT_EQ(store.lowerBound(2.5), 1U);
    EXPECT_EQ(store.lowerBound(9), 3U);
    EXPECT_EQ(store.lastAtOrBefore(3.5), 1U);
    EXPECT_EQ(store.lastAtOrBefore(1), std::nullopt);
}

// The rows of the image's column x that hold the colour.
std::vector<int> rowsOf(const QImage& image, int x, QColor colour) {
    std::vector<int> rows;
    for (int y = 0; y < image.height(); ++y) {
        if (image.pixelColor(x, y) == colour) {
            rows.push_back(y);
        }
    }
    return rows;
}

// The simulator's Throttle is a square wave, 5 % for 1.5 s then 90 %; read
// every 50 ms for 6 s, with the reads of 3.5 s to 4 s failed.
TEST(StripChart, DrawsASquareWaveAtItsTwoLevelsAndLeavesFailedReadsOut) {
    auto ecu = SimulatedEcu::demo();
    std::chrono::milliseconds now{0};
    ecu->setClock([&] { return std::chrono::steady_clock::time_point(now); });
    VistrelItems items(NumberFormat::invariant());
    items.addLine("01A003\t1\tBE\tThrottle\t%\t1\t0\t2\tP\t1");
    items.setProtocol(ecu);
    SeriesStore store(1, 1000);
    for (; now < std::chrono::seconds(6); now += std::chrono::milliseconds(50)) {
        items.read();
        const bool failed = now >= std::chrono::milliseconds(3500) && now < std::chrono::seconds(4);
        const std::array<float, 1> value{
            failed ? SeriesStore::kGap : static_cast<float>(*valueOfItem(*items.begin()->get()))};
        store.append(std::chrono::duration<double>(now).count(), value);
    }

    QImage image(900, 300, QImage::Format_RGB32);
    const QColor colour = StripChart::colour(0);
    const std::vector<PlotSeries> series{{0, "Throttle", "%", colour, 0.0, 100.0}};
    ChartFrame frame;
    frame.to = 6;
    QRect plot;
    {
        QPainter painter(&image);
        StripChart::paint(painter, image.rect(), store, series, frame);
        plot = StripChart::plotArea(image.rect(), painter.fontMetrics(), series, frame);
    }
    const auto xAt = [&](double t) { return plot.left() + static_cast<int>(t / 6 * plot.width()); };
    const auto yOf = [&](double v) {
        return static_cast<int>(plot.bottom() + 1 - v / 100 * plot.height());
    };
    for (const double t : {0.5, 2.2, 3.2, 5.0}) {
        const double level = std::fmod(t, 3.0) < 1.5 ? 5 : 90;
        const auto rows = rowsOf(image, xAt(t), colour);
        ASSERT_EQ(rows.size(), 1U) << t;
        EXPECT_NEAR(rows.front(), yOf(level), 1) << t;
    }
    // The edge at 1.5 s is drawn whole, from one level to the other.
    std::vector<int> edge;
    for (int x = xAt(1.45); x <= xAt(1.5); ++x) {
        const auto rows = rowsOf(image, x, colour);
        edge.insert(edge.end(), rows.begin(), rows.end());
    }
    ASSERT_FALSE(edge.empty());
    EXPECT_NEAR(*std::min_element(edge.begin(), edge.end()), yOf(90), 1);
    EXPECT_NEAR(*std::max_element(edge.begin(), edge.end()), yOf(5), 1);
    EXPECT_TRUE(rowsOf(image, xAt(3.75), colour).empty());
}

// However narrow the chart and whatever the span, the time axis steps by
// 1, 2 or 5 times a power of ten and its labels keep apart.
TEST(ChartAxes, TimeLabelsNeverCollide) {
    const QFontMetrics metrics{QFont()};
    struct Case {
        double from;
        double to;
    };
    for (const Case c : {Case{0, 0.01}, Case{0, 6}, Case{3590, 3600.5}, Case{-2, 86400}}) {
        for (const int width : {60, 150, 400, 1600}) {
            const double step = timeTickStep(c.from, c.to, width, metrics);
            const double mantissa = step / std::pow(10.0, std::floor(std::log10(step) + 1e-9));
            EXPECT_TRUE(std::abs(mantissa - 1) < 1e-6 || std::abs(mantissa - 2) < 1e-6 ||
                        std::abs(mantissa - 5) < 1e-6)
                << step;
            const int widest = std::max(metrics.horizontalAdvance(tickLabel(c.from, step)),
                                        metrics.horizontalAdvance(tickLabel(c.to, step))) +
                               metrics.horizontalAdvance(QStringLiteral(" s"));
            EXPECT_GT(step * width / (c.to - c.from), widest) << c.to << " at " << width;
        }
    }
}

// The rows of the image that hold the colour anywhere.
std::pair<int, int> rowSpan(const QImage& image, QColor colour) {
    int top = image.height();
    int bottom = -1;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y) == colour) {
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    return {top, bottom};
}

// In lanes each line keeps to its own band, in order; a line that never
// moves gets a thin lane, the others share the height.
TEST(StripChart, LanesStackTheLinesAndAFlatOneGetsAThinLane) {
    SeriesStore store(3, 200);
    for (int i = 0; i < 200; ++i) {
        const std::array<float, 3> row{static_cast<float>(std::sin(i / 10.0)), 42.0F,
                                       static_cast<float>(i % 50)};
        store.append(i / 20.0, row);
    }
    std::vector<PlotSeries> series;
    for (std::size_t k = 0; k < 3; ++k) {
        series.push_back({k, QStringLiteral("Line %1").arg(k), "u", StripChart::colour(k), {}, {}});
    }
    ChartFrame frame;
    frame.to = 10;
    frame.lanes = true;
    QImage image(800, 400, QImage::Format_RGB32);
    {
        QPainter painter(&image);
        StripChart::paint(painter, image.rect(), store, series, frame);
    }
    // Legend swatches and axis labels share the colours: look at the plot.
    const QImage plot = image.copy(100, 0, 400, 400);
    const auto [top0, bottom0] = rowSpan(plot, series[0].colour);
    const auto [top1, bottom1] = rowSpan(plot, series[1].colour);
    const auto [top2, bottom2] = rowSpan(plot, series[2].colour);
    EXPECT_LT(bottom0, top1);
    EXPECT_LT(bottom1, top2);
    EXPECT_EQ(top1, bottom1); // flat
    EXPECT_GT(bottom0 - top0, 130);
    EXPECT_GT(bottom2 - top2, 130);
}

} // namespace
} // namespace vistrel
