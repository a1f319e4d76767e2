// SPDX-License-Identifier: MIT
// The strip chart's budget: 20 series of 60 s at 200 reads a second in view
// (240,000 points) repainted at 1600 x 500, the same at 1600 x 900 in one
// chart and in lanes (the lanes within twice the single chart), one read of
// 20 values appended, and the bytes that each stored value costs.
#include "plot/strip_chart.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <array>
#include <benchmark/benchmark.h>
#include <cmath>

namespace vistrel {
namespace {

constexpr std::size_t kSeries = 20;
constexpr std::size_t kReads = 60 * 200;

// Signals like an engine's: sines of periods from 1 s to 20 s with some
// noise on them, and a failed read now and then.
SeriesStore filledStore() {
    SeriesStore store(kSeries, kReads);
    std::array<float, kSeries> values{};
    for (std::size_t read = 0; read < kReads; ++read) {
        const double t = static_cast<double>(read) / 200;
        for (std::size_t s = 0; s < kSeries; ++s) {
            const double noise = static_cast<double>((read * 7919 + s * 104729) % 101) / 50 - 1;
            values[s] =
                read % 997 == s
                    ? SeriesStore::kGap
                    : static_cast<float>(std::sin(2 * 3.14159 * t / (1.0 + s)) * 100 + noise + s);
        }
        store.append(t, values);
    }
    return store;
}

// Arguments: the image's height, and 1 for lanes.
void BM_RepaintAllPointsInView(benchmark::State& state) {
    const SeriesStore store = filledStore();
    std::vector<PlotSeries> series;
    for (std::size_t s = 0; s < kSeries; ++s) {
        series.push_back({s,
                          QStringLiteral("Series %1").arg(s),
                          QStringLiteral("u"),
                          StripChart::colour(s),
                          {},
                          {}});
    }
    QImage image(1600, static_cast<int>(state.range(0)), QImage::Format_RGB32);
    ChartFrame frame;
    frame.to = 60;
    frame.cursor = 30.0;
    frame.lanes = state.range(1) == 1;
    for (auto _ : state) {
        QPainter painter(&image);
        StripChart::paint(painter, image.rect(), store, series, frame);
    }
    state.counters["points"] = static_cast<double>(kSeries * kReads);
}
BENCHMARK(BM_RepaintAllPointsInView)
    ->ArgNames({"height", "lanes"})
    ->Args({500, 0})
    ->Args({900, 0})
    ->Args({900, 1})
    ->Unit(benchmark::kMillisecond);

void BM_AppendOneReadOfTwentyValues(benchmark::State& state) {
    SeriesStore store(kSeries, kReads);
    std::array<float, kSeries> values{};
    double t = 0;
    for (auto _ : state) {
        values[0] = static_cast<float>(t);
        store.append(t, values);
        t += 0.005;
        benchmark::DoNotOptimize(store);
    }
    state.counters["bytes_per_sample"] = store.bytesPerSample();
}
BENCHMARK(BM_AppendOneReadOfTwentyValues);

} // namespace
} // namespace vistrel

int main(int argc, char** argv) {
    // Text needs a platform's fonts; the bench needs no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
