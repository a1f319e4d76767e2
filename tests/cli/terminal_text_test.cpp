// SPDX-License-Identifier: MIT
#include "cli/terminal_text.h"

#include <gtest/gtest.h>

namespace vistrel::cli {
namespace {

TEST(Printable, KeepsTextAndDefusesWhatCouldDriveTheTerminal) {
    const std::pair<std::string, std::string> cases[] = {
        {"Engine speed", "Engine speed"},
        {"Unité °C", "Unité °C"},
        {"\x1b[2J", "?[2J"},
        {"a\tb\rc\nd\x7f", "a?b?c?d?"},
        {"\u009b31m", "?31m"},   // C1 control sequence introducer
        {"\x9b[31m", "?[31m"},   // a lone continuation byte
        {"\xc0\xaf", "??"},      // overlong slash
        {"\xed\xa0\x80", "???"}, // surrogate
        {"\xe2\x82", "??"},      // cut short
        {"\xf0\x9f\x9a\x97", "\xf0\x9f\x9a\x97"},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(printable(text), expected) << text;
    }
}

TEST(DisplayWidth, CountsCharactersNotBytes) {
    EXPECT_EQ(displayWidth("Unité (Unit)"), 12u);
    EXPECT_EQ(firstCharacters("Unité (Unit)", 5), "Unité");
    EXPECT_EQ(firstCharacters("Unité", 4), "Unit");
    EXPECT_EQ(firstCharacters("Unité", 10), "Unité");
}

} // namespace
} // namespace vistrel::cli
