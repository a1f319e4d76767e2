// SPDX-License-Identifier: MIT
#include "sim/signal_wave.h"
#include "sim_test_support.h"

#include <gtest/gtest.h>

namespace vistrel {
namespace {

using namespace std::chrono_literals;
using testing::positive;
using testing::sendReceive;

TEST(SimSignal, WavesFollowTheClock) {
    // Period 1000 ms throughout.
    const struct {
        Wave wave;
        std::int64_t min;
        std::int64_t max;
        std::chrono::milliseconds at;
        std::int64_t expected;
    } cases[] = {
        {Wave::Ramp, 0, 100, 0ms, 0},
        {Wave::Ramp, 0, 100, 250ms, 25},
        {Wave::Ramp, 0, 100, 1250ms, 25},
        {Wave::Ramp, -50, 50, 500ms, 0},
        {Wave::Sine, 0, 200, 0ms, 100},
        {Wave::Sine, 0, 200, 250ms, 200},
        {Wave::Sine, -10, 40, 250ms, 40},
        {Wave::Square, 3, 7, 100ms, 3},
        {Wave::Square, 3, 7, 600ms, 7},
        {Wave::Counter, 10, 12, 0ms, 10},
        {Wave::Counter, 10, 12, 3000ms, 10},
        {Wave::Counter, 0, 255, -1000ms, 255},
        {Wave::Counter, INT64_MIN, INT64_MAX, 5000ms, INT64_MIN + 5},
    };
    for (const auto& c : cases) {
        const Signal signal{
            .range = {}, .wave = c.wave, .min = c.min, .max = c.max, .periodMs = 1000};
        EXPECT_EQ(signal.valueAt(std::chrono::steady_clock::time_point(c.at)), c.expected)
            << static_cast<int>(c.wave) << " at " << c.at.count() << " ms";
    }
}

TEST(SimSignal, RandomStaysInRangeAndHoldsForAPeriod) {
    const Signal signal{.range = {}, .wave = Wave::Random, .min = -3, .max = 3, .periodMs = 10};
    const auto at = [&](int ms) {
        return signal.valueAt(std::chrono::steady_clock::time_point(std::chrono::milliseconds(ms)));
    };
    bool moved = false;
    for (int ms = 0; ms < 1000; ms += 10) {
        EXPECT_TRUE(at(ms) >= -3 && at(ms) <= 3) << at(ms);
        EXPECT_EQ(at(ms), at(ms + 9));
        moved = moved || at(ms) != at(ms + 10);
    }
    EXPECT_TRUE(moved);
}

TEST(SimSignal, ReadsSeeTheSignalWhereverTheyTouchIt) {
    const auto ecu = testing::ecuFrom(R"(<ecu>
      <memory address="000010">AA BB</memory>
      <signal address="000012" length="2" coding="BE" wave="ramp" min="0" max="1000"/>
      <signal address="000014" length="1" wave="square" min="1" max="2"/>
      <memory address="000015">CC</memory>
      <signal address="000016" length="3" coding="LE" wave="square" min="-2" max="-2"/>
    </ecu>)");
    ecu->setClock(testing::fixedClock(4500ms));
    EXPECT_EQ(sendReceive(*ecu, "2300001204"), positive("6301F402CC"));
    EXPECT_EQ(sendReceive(*ecu, "2300001006"), positive("63AABB01F402CC"));
    EXPECT_EQ(sendReceive(*ecu, "2300001301"), positive("63F4"));
    EXPECT_EQ(sendReceive(*ecu, "2300001603"), positive("63FEFFFF"));
    ecu->setClock(testing::fixedClock(4000ms));
    EXPECT_EQ(sendReceive(*ecu, "2300001203"), positive("63000001"));
}

} // namespace
} // namespace vistrel
