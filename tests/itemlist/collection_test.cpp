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

TEST(VistrelItems, LengthSizeIsOneOrTwo) {
    const std::pair<std::int32_t, std::int32_t> cases[] = {{2, 2}, {1, 1}, {0, 1}, {3, 1}, {-1, 1}};
    for (const auto& [given, stored] : cases) {
        VistrelItems items(testing::kEnglish);
        items.setLengthSize(2);
        items.setLengthSize(given);
        EXPECT_EQ(items.lengthSize(), stored) << given;
    }
}

TEST(VistrelItems, MethodLabelsAndSelection) {
    EXPECT_EQ(VistrelItems::MethodeLabel(4), "");
    EXPECT_EQ(VistrelItems::MethodeLabel(-1), "");

    const std::pair<const char*, std::int32_t> cases[] = {
        {"DynamicallyDefined", 1},        {"dynamicallydefined", 0},
        {"ReadMemoryByAddress", 0},       {"", 0},
        {"DynamicallyDefinedPacked", 2},  {"ReadMemoryByAddressMerged", 3},
        {"readmemorybyaddressmerged", 0}, {"DynamicallyDefinedPacked ", 0}};
    for (const auto& [label, method] : cases) {
        VistrelItems items(testing::kEnglish);
        items.setMethode("DynamicallyDefined");
        items.setMethode(label);
        EXPECT_EQ(static_cast<int>(items.method()), method) << label;
        EXPECT_EQ(items.Methode(), VistrelItems::MethodeLabel(method));
    }
}

TEST(VistrelItems, AddKeepsOrderAddsNoKeyAndRefusesBadAddresses) {
    VistrelItems items(testing::kEnglish);
    VistrelItem& first = items.add("0A1F20");
    VistrelItem& second = items.add("0a1f20");
    ASSERT_EQ(items.count(), 2);
    EXPECT_EQ(&items.at(0), &first);
    EXPECT_EQ(&items.at(1), &second);
    EXPECT_EQ(second.address(), "0A1F20");
    EXPECT_EQ(first.length(), 0);
    EXPECT_EQ(items.item(""), nullptr);

    std::vector<const VistrelItem*> walked;
    for (const auto& each : items) {
        walked.push_back(each.get());
    }
    EXPECT_EQ(walked, (std::vector<const VistrelItem*>{&first, &second}));
    EXPECT_THROW(items.add("0G"), Error);
    EXPECT_EQ(items.count(), 2);
}

TEST(VistrelItems, ClearEmptiesItemsAndKeys) {
    VistrelItems items(testing::kEnglish);
    items.clear();
    EXPECT_EQ(items.count(), 0);
    items.addLine("01\t1\tLE\tRpm\t\t1\t0\t1\tD\t1");
    items.add("02");
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
    EXPECT_EQ(foldKey("\xC3"
                      "A\xFF"),
              "\xC3"
              "a\xFF");
}

} // namespace
} // namespace vistrel
