// SPDX-License-Identifier: MIT
#include "components/number_format.h"
#include "fakes/real_locales.h"

#include <cmath>
#include <gtest/gtest.h>

namespace vistrel {
namespace {

const NumberFormat kPoint{".", ","};
const NumberFormat kComma{",", "."};

TEST(NumberFormat, GeneralFormat) {
    const struct {
        double value;
        const NumberFormat& format;
        const char* text;
    } cases[] = {
        {0.5, kPoint, "0.5"},
        {-2.25, kComma, "-2,25"},
        {1e20, kPoint, "1E+20"},
        {1e-5, kPoint, "1E-05"},
        {1.5e-7, kComma, "1,5E-07"},
        {0.1 + 0.2, kPoint, "0.3"},
        {123456789012345.0, kPoint, "123456789012345"},
        {1234567890123456.0, kPoint, "1.23456789012346E+15"},
        {-0.0, kPoint, "0"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(formatGeneral(c.value, c.format), c.text) << c.value;
    }
}

TEST(NumberFormat, RoundTripTextReadsBackExactly) {
    for (double v : {0.5, 1.0 / 3.0, -1e-300, 1e20, 123.456, 0.1, 6.02214076e23}) {
        const std::string text = formatRoundTrip(v);
        EXPECT_EQ(text.find(','), std::string::npos);
        EXPECT_EQ(std::stod(text), v) << text;
    }
    EXPECT_EQ(formatRoundTrip(0.5), "0.5");
    EXPECT_EQ(formatRoundTrip(1e20), "1E+20");
}

// Numbers as users type them: under made-up formats, and under the real
// locales as people in each region type them and as spreadsheets copy them,
// with the locale's own grouping sign (U+2019, U+202F), the no-break spaces
// and the Unicode minus sign of exported text.
TEST(NumberFormat, ParsesWhatUsersType) {
    const NumberFormat us = testing::realFormat("en_US.UTF-8");
    const NumberFormat fr = testing::realFormat("fr_FR.UTF-8");
    const NumberFormat de = testing::realFormat("de_DE.UTF-8");
    const NumberFormat ch = testing::realFormat("de_CH.UTF-8");
    const NumberFormat mx = testing::realFormat("es_MX.UTF-8");
    const struct {
        NumberFormat format;
        const char* text;
        std::optional<double> value;
    } cases[] = {
        {kPoint, " 2.5 ", 2.5},
        {kComma, "2,5", 2.5},
        {kComma, "-0,25", -0.25},
        {kPoint, "1E3", 1000.0},
        {kPoint, "1,0", 10.0},
        {kComma, "1,0", 1.0},
        {kPoint, "", std::nullopt},
        {kPoint, "abc", std::nullopt},
        {kPoint, "1.5x", std::nullopt},
        {kPoint, "inf", std::nullopt},
        {kPoint, "-", std::nullopt},
        {kComma, "2.5", 25.0},
        {kComma, ",5", 0.5},
        {us, "1,000.25", 1000.25},
        {us, "1\u00A0000.25", 1000.25},
        {fr, "1\u202F000,25", 1000.25},
        {fr, "1 000,25", 1000.25},
        {fr, "\u221240", -40.0},
        {fr, "1E\u221207", 1e-7},
        {de, "1.000,25", 1000.25},
        {ch, "1\u2019000.25", 1000.25},
        {ch, "1'000.25", 1000.25},
        {mx, "1\u202F000.25", 1000.25},
        {us, "1 000.25", std::nullopt},
        {us, "\u2212", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(parseUserNumber(c.text, c.format), c.value)
            << c.text << " with \"" << c.format.decimalSeparator << "\" \""
            << c.format.groupingSeparator << "\"";
    }
}

} // namespace
} // namespace vistrel
