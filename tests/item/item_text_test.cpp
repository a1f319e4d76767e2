// SPDX-License-Identifier: MIT
#include "components/number_format.h"
#include "item_test_support.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace vistrel {
namespace {

using testing::giveValue;

struct DisplayCase {
    const char* value; // value bytes as received
    std::int32_t length;
    const char* coding;
    const char* format;
    const char* mask; // "" keeps the default mask
    const char* expected;
};

TEST(ItemText, DecodesEveryCodingFormatAndMask) {
    const std::vector<DisplayCase> cases = {
        {"3412", 2, "LE", "D", "", "4660"},
        {"3412", 2, "BE", "D", "", "13330"},
        {"3412", 2, "LE", "H", "", "3412"},
        {"3412", 2, "LE", "B", "", "0011010000010010"},
        {"3412", 2, "BE", "B", "", "0011010000010010"},
        {"FFFF", 2, "BE+", "D", "", "-1"},
        {"FFFF", 2, "LE", "D", "", "65535"},
        {"0080", 2, "BE+", "D", "", "128"},
        {"0080", 2, "LE+", "D", "", "-32768"},
        // Little-endian numbers take the mask reversed (its last byte with the
        // first value byte); byte displays and big-endian numbers take it in order.
        {"3412", 2, "LE", "D", "0FFF", "564"},
        {"3412", 2, "BE", "D", "0FFF", "1042"},
        {"3412", 2, "LE", "B", "0FFF", "0000010000010010"},
        {"3412", 2, "BE", "D", "F0", "12306"},
        {"3412", 2, "LE", "D", "F0", "4656"},
        {"3412", 2, "LE", "H", "F0", "3012"},
        // A mask longer than the value bytes masks only the bytes there are.
        {"AB", 1, "LE", "D", "0FF0", "160"},
        {"AB", 1, "BE", "D", "0FF0", "11"},
        {"AB", 1, "LE", "H", "0FF0", "0B"},
        {"AB", 1, "LE", "B", "0FF0", "00001011"},
        // Eight bytes without losing range, in both signs and as a physical value.
        {"FFFFFFFFFFFFFFFF", 8, "LE", "D", "", "18446744073709551615"},
        {"FFFFFFFFFFFFFFFF", 8, "LE+", "D", "", "-1"},
        {"FFFFFFFFFFFFFFFF", 8, "LE", "P", "", "1.84467440737096E+19"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.value) + " " + c.coding + " " + c.format + " mask " + c.mask);
        VistrelItem item = testing::makeItem("01", c.length, c.coding, c.format);
        item.setMask(c.mask);
        giveValue(item, c.value);
        EXPECT_EQ(item.text(), c.expected);
        // Whatever the format, the error of the last read is what shows.
        item.CanXmlDecode("7F2311");
        EXPECT_EQ(item.text(), "Service not supported");
    }
}

struct PhysicalCase {
    const char* value; // one or two bytes, "LE+"
    double a, b, c;
    const char* decimalSeparator;
    const char* expected;
};

TEST(ItemText, WritesPhysicalValuesInTheUsersFormat) {
    const std::vector<PhysicalCase> cases = {
        {"3412", 2, 10, 2, ".", "4665"},
        {"01", 1, 0, 2, ",", "0,5"},
        {"FF", 1, 0, 4, ".", "-0.25"},
        {"01", 1, 0, 3, ".", "0.333333333333333"},
        // Multiply, then add, then divide.
        {"03", 2, 1, 7, ".", "1"},
        {"05", 1, 0, 0, ".", "5"},  // C 0 was stored as 1
        {"00", 1, 0, -1, ".", "0"}, // no "-0"
        {"7F", 1e308, 0, 1, ".", "Hors limites (Out of range)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.value) + " -> " + c.expected);
        auto format = std::make_shared<NumberFormat>();
        format->decimalSeparator = c.decimalSeparator;
        VistrelItem item(format);
        item.setLength(static_cast<std::int32_t>(std::string(c.value).size() / 2));
        item.setFormatText("P");
        item.setCoefA(c.a);
        item.setCoefB(c.b);
        item.setCoefC(c.c);
        giveValue(item, c.value);
        EXPECT_EQ(item.text(), c.expected);
    }
}

} // namespace
} // namespace vistrel
