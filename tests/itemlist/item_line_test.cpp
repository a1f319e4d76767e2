// SPDX-License-Identifier: MIT
#include "components/error.h"
#include "itemlist/vistrel_items.h"
#include "itemlist_test_support.h"

#include <gtest/gtest.h>
#include <string>
#include <tuple>
#include <vector>

namespace vistrel {
namespace {

using testing::definitionOf;
using Changes = std::vector<std::pair<std::size_t, std::string>>;

// A selected item line of 10 fields in French format, with some fields
// changed and optional fields after the selection flag.
std::string line(const Changes& changes, const std::vector<std::string>& extra = {}) {
    std::vector<std::string> fields{"01A2B3", "2", "BE", "Speed", "km/h",
                                    "0,5",    "1", "2",  "P",     "1"};
    for (const auto& [field, value] : changes) {
        fields[field] = value;
    }
    fields.insert(fields.end(), extra.begin(), extra.end());
    std::string joined = fields[0];
    for (std::size_t i = 1; i < fields.size(); ++i) {
        joined += "\t" + fields[i];
    }
    return joined;
}

TEST(AddLine, ItemLinesBecomeItems) {
    const std::string rest = " name=Speed unit=km/h A=0.5 B=1 C=2";
    const std::string unchanged = "01A2B3 len=2 mask=FFFF BE P" + rest;
    const struct {
        const char* what;
        std::string line;
        std::string definition;
    } cases[] = {
        {"ten fields", line({}), unchanged},
        {"eleven fields take the mask", line({}, {"0F0F"}), "01A2B3 len=2 mask=0F0F BE P" + rest},
        {"twelve fields ignore the mask", line({}, {"0F0F", "x"}), unchanged},
        {"mask not hexadecimal", line({}, {"XY"}), unchanged},
        {"lower-case address", line({{0, "0a1f20"}}), "0A1F20 len=2 mask=FFFF BE P" + rest},
        {"three and a half rounds to 4", line({{1, "3,5"}}),
         "01A2B3 len=4 mask=FFFFFFFF BE P" + rest},
        {"length out of range falls back to 1", line({{1, "9"}}),
         "01A2B3 len=1 mask=FF BE P" + rest},
        {"length not a number keeps the default", line({{1, "two"}}),
         "01A2B3 len=0 mask= BE P" + rest},
        {"coefficient not a number keeps the default", line({{5, "x"}}),
         "01A2B3 len=2 mask=FFFF BE P name=Speed unit=km/h A=1 B=1 C=2"},
        {"coefficient C of 0 becomes 1", line({{7, "0"}}),
         "01A2B3 len=2 mask=FFFF BE P name=Speed unit=km/h A=0.5 B=1 C=1"},
        {"unknown coding and format", line({{2, "le"}, {8, "X"}}),
         "01A2B3 len=2 mask=FFFF LE+ D" + rest},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        VistrelItems items(testing::kFrench);
        const auto created = items.addLine(c.line);
        ASSERT_NE(created, nullptr);
        EXPECT_EQ(definitionOf(*created), c.definition);
        ASSERT_EQ(items.count(), 1);
        EXPECT_EQ(&items.at(0), created.get());
    }
}

// Lines that add no item; method lines among them change the method, but
// only with the exact words and at least three fields.
TEST(AddLine, LinesThatAddNoItem) {
    std::vector<std::tuple<std::string, std::int32_t, std::int32_t>> cases = {
        {"Method\tDynamicallyDefined\tx", 0, 1},
        {"Method\tDynamicallyDefined\t\t\t\t\t\t\t\t\t\t", 0, 1},
        {"Method\tReadMemoryByAddress\tx", 1, 0},
        {"Method\tDynamicallyDefined", 1, 1},
        {"Method\tDynamicallyDefinedPacked\t", 0, 2},
        {"Methode\tReadMemoryByAddressMerged\tx", 2, 3},
        {"Method\tDynamicallyDefinedPacked \tx", 1, 0},
    };
    for (const std::string& other :
         std::vector<std::string>{"", "\t\t\t\t", line({{0, ""}}), line({{9, "0"}}),
                                  line({{9, " 1"}}), "01A2B3\t2\tBE\tSpeed\tkm/h\t1\t0\t1\tD",
                                  "Address\tLength\tType\tName", "methode\tDynamicallyDefined\tx",
                                  "Method\tdynamicallydefined\tx", "Method\tDynamicallyDefined"}) {
        cases.emplace_back(other, 0, 0);
    }
    for (const auto& [text, before, after] : cases) {
        SCOPED_TRACE(text);
        VistrelItems items(testing::kFrench);
        items.setMethode(VistrelItems::MethodeLabel(before));
        EXPECT_EQ(items.addLine(text), nullptr);
        EXPECT_EQ(static_cast<int>(items.method()), after);
        EXPECT_EQ(items.count(), 0);
    }
}

TEST(AddLine, AddressThatIsNotHexadecimalIsError1) {
    // Even when the line is not selected the address is checked first.
    for (const std::string& bad : {line({{0, "0G"}}), line({{0, "012"}}), line({{0, "01 A2"}}),
                                   line({{0, "xyz"}, {9, "0"}})}) {
        VistrelItems items(testing::kFrench);
        const auto error = testing::errorOf([&] { items.addLine(bad); });
        ASSERT_TRUE(error) << bad << " was accepted";
        EXPECT_EQ(error->number(), 1);
        EXPECT_EQ(error->description(), "VistrelItems.addLine : Syntax Address Error");
        EXPECT_EQ(items.count(), 0);
    }
}

TEST(AddLine, DuplicateNamesAreReturnedButNotAppended) {
    VistrelItems items(testing::kFrench);
    const auto first = items.addLine(line({{3, "Température"}}));
    const auto second = items.addLine(line({{0, "0A0B0C"}, {3, "TEMPÉRATURE"}}));
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->address(), "0A0B0C");
    EXPECT_EQ(items.count(), 1);
    EXPECT_EQ(items.item("tempÉrature"), first.get());
    // Unnamed items are all kept.
    items.addLine(line({{3, ""}}));
    items.addLine(line({{3, ""}}));
    EXPECT_EQ(items.count(), 3);
    EXPECT_EQ(items.item(""), nullptr);
}

} // namespace
} // namespace vistrel
