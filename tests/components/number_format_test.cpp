// SPDX-License-Identifier: MIT
#include "components/number_format.h"
#include "fakes/real_locales.h"

#include <cmath>
#include <gtest/gtest.h>

namespace vistrel {
namespace {

const NumberFormat kPoint{".", ","};
const NumberFormat kComma{",", "."};
const NumberFormat kSpaceGrouping{",", "\xE2\x80\xAF"};

TEST(NumberFormat, GeneralFormat) {
    const struct {
        double value;
        const NumberFormat& format;
        const char* text;
    } cases[] = {
        {1.0, kPoint, "1"},
        {0.5, kPoint, "0.5"},
        {0.5, kComma, "0,5"},
        {-2.25, kComma, "-2,25"},
        {1e20, kPoint, "1E+20"},
        {1e-5, kPoint, "1E-05"},
        {1.5e-7, kComma, "1,5E-07"},
        {4665.0, kPoint, "4665"},
        {0.1 + 0.2, kPoint, "0.3"},
        {123456789012345.0, kPoint, "123456789012345"},
        {1234567890123456.0, kPoint, "1.23456789012346E+15"},
        {1e100, kPoint, "1E+100"},
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

TEST(NumberFormat, ParsesWhatUsersType) {
    const struct {
        const char* text;
        const NumberFormat& format;
        std::optional<double> value;
    } cases[] = {
        {"2", kPoint, 2.0},
        {" 2.5 ", kPoint, 2.5},
        {"2,5", kComma, 2.5},
        {"1,000.5", kPoint, 1000.5},
        {"1.000,5", kComma, 1000.5},
        {"-0,25", kComma, -0.25},
        {"+3", kPoint, 3.0},
        {"1E3", kPoint, 1000.0},
        {"1,0", kPoint, 10.0},
        {"1,0", kComma, 1.0},
        {"1\xE2\x80\xAF"
         "000,5",
         kSpaceGrouping, 1000.5},
        {"", kPoint, std::nullopt},
        {"abc", kPoint, std::nullopt},
        {"1.5x", kPoint, std::nullopt},
        {"inf", kPoint, std::nullopt},
        {"nan", kPoint, std::nullopt},
        {"-", kPoint, std::nullopt},
        {"2.5", kComma, 25.0},
        {",5", kComma, 0.5},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(parseUserNumber(c.text, c.format), c.value) << c.text;
    }
}

// Numbers as people in each region type them and as spreadsheets copy them:
// the locale's own grouping sign (U+2019, U+202F), the no-break spaces and
// the Unicode minus sign of exported text.
TEST(NumberFormat, ReadsNumbersUnderRealLocales) {
    const char* nbsp = "\u00A0";
    const char* narrow = "\u202F";
    const struct {
        const char* locale;
        std::string text;
        std::optional<double> value;
    } cases[] = {
        {"en_US.UTF-8", "1,000.25", 1000.25},
        {"en_US.UTF-8", std::string("1") + nbsp + "000.25", 1000.25},
        {"fr_FR.UTF-8", std::string("1") + narrow + "000,25", 1000.25},
        {"fr_FR.UTF-8", std::string("1") + nbsp + "000,25", 1000.25},
        {"fr_FR.UTF-8", "1 000,25", 1000.25},
        {"fr_FR.UTF-8", "\u221240", -40.0},
        {"fr_FR.UTF-8", "1E\u221207", 1e-7},
        {"de_DE.UTF-8", "1.000,25", 1000.25},
        {"de_CH.UTF-8", "1\u2019000.25", 1000.25},
        {"de_CH.UTF-8", "1'000.25", 1000.25},
        {"es_MX.UTF-8", std::string("1") + narrow + "000.25", 1000.25},
        {"es_MX.UTF-8", "1 000.25", 1000.25},
        {"en_US.UTF-8", "1 000.25", std::nullopt},
        {"en_US.UTF-8", "\u2212", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(parseUserNumber(c.text, testing::realFormat(c.locale)), c.value)
            << c.locale << " " << c.text;
    }
}

} // namespace
} // namespace vistrel
