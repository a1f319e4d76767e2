// SPDX-License-Identifier: MIT
#include "recording/value_text.h"

#include <gtest/gtest.h>

namespace vistrel {
namespace {

TEST(ValueText, ReadsEachRadixAndRefusesErrorTexts) {
    struct Case {
        std::string_view text;
        ValueRadix radix;
        std::optional<double> value;
        std::string portable;
    };
    const Case cases[] = {
        {"-12,5", ValueRadix::Decimal, -12.5, "-12.5"},
        {"1.5E+20", ValueRadix::Decimal, 1.5e20, "1.5E+20"},
        {"812", ValueRadix::Decimal, 812, "812"},
        // Float items: the shortest text of a single, and NaN shown out of range.
        {"3,4028235E+38", ValueRadix::Decimal, 3.4028235e38, "3.4028235E+38"},
        {"Hors limites (Out of range)", ValueRadix::Decimal, std::nullopt, ""},
        {"inf", ValueRadix::Decimal, std::nullopt, ""},
        {"No reply", ValueRadix::Decimal, std::nullopt, ""},
        {"1,2,3", ValueRadix::Decimal, std::nullopt, ""},
        {"0A1F", ValueRadix::Hexadecimal, 0x0A1F, "2591"},
        {"FFFFFFFFFFFFFFFF", ValueRadix::Hexadecimal, 18446744073709551615.0,
         "18446744073709551615"},
        {"A1F", ValueRadix::Hexadecimal, std::nullopt, ""},
        {"00010010", ValueRadix::Binary, 18, "18"},
        {"0001001", ValueRadix::Binary, std::nullopt, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(valueOfText(c.text, c.radix), c.value) << c.text;
        EXPECT_EQ(portableValueText(c.text, c.radix), c.portable) << c.text;
    }
}

TEST(ValueText, GuessesTheRadixOfAColumnFromItsValuesNotItsErrors) {
    struct Case {
        std::vector<std::string_view> cells;
        ValueRadix radix;
        bool ambiguous;
    };
    const Case cases[] = {
        {{"00010010", "No reply", "11111111"}, ValueRadix::Binary, false},
        {{"10", "0A", "Timeout"}, ValueRadix::Hexadecimal, false},
        {{"0512", "1234"}, ValueRadix::Hexadecimal, false},
        // Digits only, in whole bytes, no leading zero: either radix.
        {{"10", "12", "1234"}, ValueRadix::Decimal, true},
        {{"10", "0,5"}, ValueRadix::Decimal, false},
        {{"10", "123"}, ValueRadix::Decimal, false},
        {{"No reply"}, ValueRadix::Decimal, false},
    };
    for (const Case& c : cases) {
        const RadixGuess guess = guessRadix(c.cells);
        EXPECT_EQ(guess.radix, c.radix) << c.cells.front();
        EXPECT_EQ(guess.ambiguous, c.ambiguous) << c.cells.front();
    }
}

} // namespace
} // namespace vistrel
