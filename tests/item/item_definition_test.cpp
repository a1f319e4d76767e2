// SPDX-License-Identifier: MIT
#include "item_test_support.h"

#include <functional>
#include <gtest/gtest.h>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace vistrel {
namespace {

// Each step is a setter call; the expectation is the state after all of them
// and whether the last one threw the length error.
struct MaskCase {
    const char* what;
    std::vector<std::function<void(VistrelItem&)>> steps;
    std::string mask;
    std::int32_t length;
    bool lengthError;
};

TEST(ItemDefinition, MaskFollowsItsPrecedenceRules) {
    const auto length = [](std::int32_t n) { return [n](VistrelItem& i) { i.setLength(n); }; };
    const auto mask = [](const char* t) { return [t](VistrelItem& i) { i.setMask(t); }; };
    const std::vector<MaskCase> cases = {
        {"first length makes the default mask", {length(4)}, "FFFFFFFF", 4, false},
        {"a later length keeps it", {length(4), length(2)}, "FFFFFFFF", 2, false},
        {"a mask set before the length stays", {mask("0F"), length(2)}, "0F", 2, false},
        {"length 9 on a new item", {length(9)}, "FF", 1, true},
        {"length 0 keeps a mask set before", {mask("F0F0"), length(0)}, "F0F0", 1, true},
        {"negative length", {length(-1)}, "FF", 1, true},
        {"empty text keeps the mask", {mask("0F"), mask("")}, "0F", 0, false},
        {"non-hexadecimal text keeps the mask", {mask("0F"), mask("XY")}, "0F", 0, false},
        {"odd digit count keeps the mask", {mask("0F"), mask("ABC")}, "0F", 0, false},
        {"a valid mask replaces the default", {length(2), mask("0ff0")}, "0FF0", 2, false},
        {"an invalid mask on a new item leaves none", {mask("G0")}, "", 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        VistrelItem item;
        std::optional<Error> error;
        for (const auto& step : c.steps) {
            error = testing::errorOf([&] { step(item); });
        }
        EXPECT_EQ(item.mask(), c.mask);
        EXPECT_EQ(item.length(), c.length);
        ASSERT_EQ(error.has_value(), c.lengthError);
        if (error) {
            EXPECT_EQ(error->number(), 1);
            EXPECT_EQ(error->description(), "VistrelItem error : incorrect length (1 -> 8)");
        }
    }
}

// Only the exact texts select a coding or format (the item's displays show
// which); any other text gives the first one, not the earlier choice.
TEST(ItemDefinition, OtherCodingAndFormatTextsGiveTheFirst) {
    for (const char* text : {"le+", "be", "", "X", "h", "d"}) {
        SCOPED_TRACE(text);
        VistrelItem item;
        item.setCodingText("BE");
        item.setFormatText("P");
        item.setCodingText(text);
        item.setFormatText(text);
        EXPECT_EQ(item.codingText(), "LE+");
        EXPECT_EQ(item.formatText(), "D");
    }
}

TEST(ItemDefinition, CoefCNeverBecomesZero) {
    const std::vector<std::pair<double, double>> cases = {
        {0.0, 1.0}, {-0.0, 1.0}, {std::numeric_limits<double>::quiet_NaN(), 1.0}, {-2.5, -2.5}};
    for (const auto& [given, stored] : cases) {
        VistrelItem item;
        item.setCoefC(given);
        EXPECT_EQ(item.coefC(), stored) << given;
    }
}

TEST(ItemDefinition, AddressTakesHexadecimalTextOnly) {
    VistrelItem item;
    item.setAddress("0a1f20");
    EXPECT_EQ(item.addressByte(), (ByteString{0x0A, 0x1F, 0x20}));
    for (const char* bad : {"0A1", "0G", "0A 1F"}) {
        EXPECT_THROW(item.setAddress(bad), Error) << bad;
        EXPECT_EQ(item.address(), "0A1F20") << bad;
    }
}

} // namespace
} // namespace vistrel
