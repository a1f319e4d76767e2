// SPDX-License-Identifier: MIT
#include "itemlist/leading_number.h"
#include "itemlist/user_whole_number.h"
#include "itemlist_test_support.h"

#include <gtest/gtest.h>
#include <limits>
#include <optional>

namespace vistrel {
namespace {

TEST(LeadingNumber, TakesTheLongestLeadingNumber) {
    const struct {
        const char* text;
        std::optional<double> value; // none: beyond a double's range
    } cases[] = {
        {"  -2.25", -2.25},
        {"+3", 3.0},
        {"2,5", 2.0},
        {"1.5e-3x", 0.0015},
        {"7E", 7.0},
        {".5", 0.5},
        {"", 0.0},
        {".", 0.0},
        {"E5", 0.0},
        {"\t\r\n 4", 4.0},
        {"1e999", std::nullopt},
        {"1e-999", std::nullopt},
        {"inf", 0.0},
        {"0x10", 0.0},
        {"1.7976931348623157E+308", std::numeric_limits<double>::max()},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(readLeadingNumber(c.text), c.value) << '"' << c.text << '"';
    }
}

TEST(UserWholeNumber, RoundsHalvesToEven) {
    const struct {
        const char* text;
        const NumberFormat& format;
        std::optional<std::int32_t> value;
    } cases[] = {
        {"2.5", testing::kEnglish, 2},
        {"3.5", testing::kEnglish, 4},
        {"2.500001", testing::kEnglish, 3},
        {"2,5", testing::kFrench, 2},
        {"1 000", testing::kFrench, 1000},
        {"2147483647", testing::kEnglish, 2147483647},
        {"-2147483648", testing::kEnglish, -2147483647 - 1},
        {"2147483648", testing::kEnglish, std::nullopt},
        {"two", testing::kEnglish, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(parseUserWholeNumber(c.text, c.format), c.value) << c.text;
    }
}

} // namespace
} // namespace vistrel
