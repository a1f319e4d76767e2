#include "components/error.h"
#include "itemlist/vistrel_items.h"
#include "itemlist_test_support.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace vistrel {
namespace {

using testing::definitionOf;

std::string tabs(const std::vector<std::string>& fields) {
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        line += (i == 0 ? "" : "\t") + fields[i];
    }
    return line;
}

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
    return tabs(fields);
}

std::string lineWith(std::size_t field, const std::string& value) {
    return line({{field, value}});
}

constexpr const char* kUnchanged = "01A2B3 len=2 mask=FFFF BE P name=Speed unit=km/h A=0.5 B=1 C=2";

TEST(AddLine, ItemLinesBecomeItems) {
    const struct {
        const char* what;
        std::string line;
        std::string definition;
    } cases[] = {
        {"ten fields", line({}), kUnchanged},
        {"eleven fields take the mask", line({}, {"0F0F"}),
         "01A2B3 len=2 mask=0F0F BE P name=Speed unit=km/h A=0.5 B=1 C=2"},
        {"twelve fields ignore the mask", line({}, {"0F0F", "x"}), kUnchanged},
        {"mask not hexadecimal", line({}, {"XY"}), kUnchanged},
        {"lower-case address", lineWith(0, "0a1f20"),
         "0A1F20 len=2 mask=FFFF BE P name=Speed unit=km/h A=0.5 B=1 C=2"},
        {"two and a half rounds to 2", lineWith(1, "2,5"), kUnchanged},
        {"three and a half rounds to 4", lineWith(1, "3,5"),
         "01A2B3 len=4 mask=FFFFFFFF BE P name=Speed unit=km/h A=0.5 B=1 C=2"},
        {"length out of range falls back to 1", lineWith(1, "9"),
         "01A2B3 len=1 mask=FF BE P name=Speed unit=km/h A=0.5 B=1 C=2"},
        {"length not a number keeps the default", lineWith(1, "two"),
         "01A2B3 len=0 mask= BE P name=Speed unit=km/h A=0.5 B=1 C=2"},
        {"coefficient not a number keeps the default", lineWith(5, "x"),
         "01A2B3 len=2 mask=FFFF BE P name=Speed unit=km/h A=1 B=1 C=2"},
        {"coefficient C of 0 becomes 1", lineWith(7, "0"),
         "01A2B3 len=2 mask=FFFF BE P name=Speed unit=km/h A=0.5 B=1 C=1"},
        {"unknown coding and format", line({{2, "le"}, {8, "X"}}),
         "01A2B3 len=2 mask=FFFF LE+ D name=Speed unit=km/h A=0.5 B=1 C=2"},
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

TEST(AddLine, LinesThatAddNothing) {
    const struct {
        const char* what;
        std::string line;
    } cases[] = {
        {"empty line", ""},
        {"only TABs", "\t\t\t\t"},
        {"empty address", lineWith(0, "")},
        {"not selected", lineWith(9, "0")},
        {"selection flag with a blank", lineWith(9, " 1")},
        {"nine fields", "01A2B3\t2\tBE\tSpeed\tkm/h\t1\t0\t1\tD"},
        {"header line of a spreadsheet", "Address\tLength\tType\tName"},
        {"lower-case method word", "methode\tDynamicallyDefined\tx"},
    };
    for (const auto& c : cases) {
        VistrelItems items(testing::kFrench);
        EXPECT_EQ(items.addLine(c.line), nullptr) << c.what;
        EXPECT_EQ(items.count(), 0) << c.what;
        EXPECT_EQ(static_cast<int>(items.method()), 0) << c.what;
    }
}

TEST(AddLine, AddressThatIsNotHexadecimalIsError1) {
    for (const char* address : {"0G", "012", "01 A2", "xyz"}) {
        VistrelItems items(testing::kFrench);
        try {
            items.addLine(lineWith(0, address));
            ADD_FAILURE() << address << " was accepted";
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), 1);
            EXPECT_EQ(e.description(), "VistrelItems.addLine : Syntax Address Error");
        }
        EXPECT_EQ(items.count(), 0);
    }
    // Even when the line is not selected the address is checked first.
    VistrelItems items(testing::kFrench);
    EXPECT_THROW(items.addLine(line({{0, "0G"}, {9, "0"}})), Error);
}

TEST(AddLine, MethodLinesSetTheMethod) {
    const struct {
        const char* line;
        std::int32_t before;
        std::int32_t after;
    } cases[] = {
        {"Method\tDynamicallyDefined\tx", 0, 1},
        {"Methode\tDynamicallyDefined\t", 0, 1},
        {"Method\tDynamicallyDefined\t\t\t\t\t\t\t\t\t\t", 0, 1},
        {"Method\tReadMemoryByAddress\tx", 1, 0},
        {"Method\tanything\tx", 1, 0},
        {"Method\tdynamicallydefined\tx", 0, 0},
        {"Method\tDynamicallyDefined", 0, 0}, // two fields: not a method line
        {"Method\tDynamicallyDefined", 1, 1},
        {"METHOD\tDynamicallyDefined\tx", 0, 0},
        {"Method\tDynamicallyDefinedPacked\t", 0, 2},
        {"Methode\tReadMemoryByAddressMerged\tx", 2, 3},
    };
    for (const auto& c : cases) {
        VistrelItems items(testing::kFrench);
        items.setMethode(VistrelItems::MethodeLabel(c.before));
        EXPECT_EQ(items.addLine(c.line), nullptr) << c.line;
        EXPECT_EQ(static_cast<int>(items.method()), c.after) << c.line;
        EXPECT_EQ(items.count(), 0);
    }
}

TEST(AddLine, DuplicateNamesAreReturnedButNotAppended) {
    VistrelItems items(testing::kFrench);
    const auto first = items.addLine(lineWith(3, "Température"));
    const auto second = items.addLine(line({{0, "0A0B0C"}, {3, "TEMPÉRATURE"}}));
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(items.count(), 1);
    EXPECT_EQ(items.item("tempÉrature"), first.get());
    EXPECT_EQ(items.item("TEMPÉRATURE")->address(), "01A2B3");
    EXPECT_EQ(second->address(), "0A0B0C");
    // Unnamed items are all kept.
    items.addLine(lineWith(3, ""));
    items.addLine(lineWith(3, ""));
    EXPECT_EQ(items.count(), 3);
    EXPECT_EQ(items.item(""), nullptr);
}

} // namespace
} // namespace vistrel
