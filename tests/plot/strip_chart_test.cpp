// SPDX-License-Identifier: MIT
#include "itemlist/vistrel_items.h"
#include "plot/strip_chart.h"
#include "recording/value_text.h"
#include "sim/simulated_ecu.h"

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
    EXPECT_LE(store.bytesPerSample(), 16);
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

} // namespace
} // namespace vistrel
