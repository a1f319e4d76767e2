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
        {"FFFF", 2, "BE+", "D", "", "-1"},
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
        // Eight bytes without losing range, as a number and as a physical value.
        {"FFFFFFFFFFFFFFFF", 8, "LE", "D", "", "18446744073709551615"},
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

struct FloatCase {
    const char* value; // value bytes as received
    const char* coding;
    const char* format;
    const char* mask;
    const char* expected;
};

TEST(ItemText, ShowsIeeeFloatsAsNumbersAndTheirBytesAsTheyCame) {
    // 1.5f is 3FC00000, 0.1f 3DCCCCCD, 0.1 3FB999999999999A; A 2, B 1, C 4
    // and a comma for the physical and decimal texts.
    const std::vector<FloatCase> cases = {
        {"3FC00000", "BEF", "D", "", "1,5"},
        {"0000C03F", "LEF", "D", "", "1,5"},
        {"3DCCCCCD", "BEF", "D", "", "0,1"}, // the float's shortest text, not 0.100000001
        {"3FB999999999999A", "BEF", "D", "", "0,1"},
        {"9A9999999999B93F", "LEF", "D", "", "0,1"},
        {"7F7FFFFF", "BEF", "D", "", "3,4028235E+38"},
        {"3FC00000", "BEF", "P", "", "1"},
        // The mask goes with the bytes only, never with the number.
        {"3FC00000", "BEF", "D", "00FF0000", "1,5"},
        {"3FC00000", "BEF", "H", "00FF0000", "00C00000"},
        {"0000C03F", "LEF", "B", "000000FF", "00000000000000000000000000111111"},
        // No number to show: infinities and NaN, and a physical value past range.
        {"7F800000", "BEF", "D", "", "Hors limites (Out of range)"},
        {"7FC00000", "BEF", "D", "", "Hors limites (Out of range)"},
        {"7FEFFFFFFFFFFFFF", "BEF", "P", "", "Hors limites (Out of range)"},
    };
    auto format = std::make_shared<NumberFormat>(NumberFormat{",", " "});
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.value) + " " + c.coding + " " + c.format);
        VistrelItem item(format);
        item.setLength(static_cast<std::int32_t>(std::string(c.value).size() / 2));
        item.setCodingText(c.coding);
        item.setFormatText(c.format);
        item.setMask(c.mask);
        item.setCoefA(2);
        item.setCoefB(1);
        item.setCoefC(4);
        giveValue(item, c.value);
        EXPECT_EQ(item.text(), c.expected);
        EXPECT_EQ(item.codingText(), c.coding);
    }
}

TEST(ItemText, AFloatOfAnotherLengthIsAnItemError) {
    for (const std::int32_t length : {1, 2, 3, 5, 7}) {
        for (const char* format : {"D", "H", "P"}) {
            VistrelItem item = testing::makeItem("01", length, "LEF", format);
            EXPECT_EQ(item.text(), "VistrelItem error : un flottant a 4 ou 8 octets (a float has "
                                   "4 or 8 bytes)")
                << length << format;
        }
    }
}

} // namespace
} // namespace vistrel
