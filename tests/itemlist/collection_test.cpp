// SPDX-License-Identifier: MIT
#include "components/error.h"
#include "itemlist/case_insensitive_key.h"
#include "itemlist/vistrel_items.h"
#include "itemlist_test_support.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace vistrel {
namespace {

// Settings out of range fall back rather than being kept.
TEST(VistrelItems, LengthSizeIsOneOrTwoAndMethodsEndAtFour) {
    const std::pair<std::int32_t, std::int32_t> cases[] = {{2, 2}, {1, 1}, {0, 1}, {3, 1}, {-1, 1}};
    for (const auto& [given, stored] : cases) {
        VistrelItems items(testing::kEnglish);
        items.setLengthSize(2);
        items.setLengthSize(given);
        EXPECT_EQ(items.lengthSize(), stored) << given;
    }
    EXPECT_EQ(VistrelItems::MethodeLabel(5), "");
    EXPECT_EQ(VistrelItems::MethodeLabel(-1), "");
}

TEST(VistrelItems, AddKeepsOrderWithoutKeysAndClearFreesTheNames) {
    VistrelItems items(testing::kEnglish);
    VistrelItem& first = items.add("0A1F20");
    VistrelItem& second = items.add("0A1F20");
    ASSERT_EQ(items.count(), 2);
    EXPECT_EQ(&items.at(0), &first);
    EXPECT_EQ(&items.at(1), &second);
    EXPECT_EQ(items.item(""), nullptr);
    EXPECT_THROW(items.add("0G"), Error);
    EXPECT_EQ(items.count(), 2);
    items.addLine("01\t1\tLE\tRpm\t\t1\t0\t1\tD\t1");
    items.clear();
    EXPECT_EQ(items.count(), 0);
    EXPECT_EQ(items.item("Rpm"), nullptr);
    // The name is free again after clear.
    EXPECT_NE(items.addLine("01\t1\tLE\trpm\t\t1\t0\t1\tD\t1"), nullptr);
    EXPECT_EQ(items.count(), 1);
}

TEST(CaseInsensitiveKey, FoldsEveryLetterThatHasACase) {
    const std::pair<const char*, const char*> same[] = {
        {"Speed", "SPEED"},
        {"Température", "TEMPÉRATURE"},
        {"ÀÉÎÕÜÇÑÆØÞ", "àéîõüçñæøþ"},
        {"Öl", "öL"},
        {"Ωmega", "ωMEGA"},
        {"Œuvre", "œUVRE"},
        {"ЖИР", "жир"},
    };
    for (const auto& [a, b] : same) {
        EXPECT_EQ(foldKey(a), foldKey(b)) << a << " / " << b;
    }
    const std::pair<const char*, const char*> different[] = {
        {"×", "÷"}, // multiplication and division signs are no letters
        {"Speed", "Speed "},
        {"A", "À"},
        {"ß", "ss"},
    };
    for (const auto& [a, b] : different) {
        EXPECT_NE(foldKey(a), foldKey(b)) << a << " / " << b;
    }
    // Bytes that are not UTF-8 pass through unchanged.
    EXPECT_EQ(foldKey("\xC3\x41\xFF"), "\xC3\x61\xFF");
}

} // namespace
} // namespace vistrel
