// SPDX-License-Identifier: MIT
#include "cli/item_lines.h"
#include "itemlist/vistrel_items.h"

#include <bit>
#include <gtest/gtest.h>

namespace vistrel::cli {
namespace {

const std::vector<NumberFormat> kFormats = {
    NumberFormat::invariant(), {",", "."}, {",", " "}, {".", ","}};

TEST(FormatShortest, ReadsBackAsTheSameDoubleInEveryFormat) {
    // Short and long, tiny and huge, subnormal and negative zero.
    const double values[] = {
        0.1,    -0.5,    0.3333333333333333,    1e21, 1e-300, -0.0, 123456789.12345679,
        5e-324, 1234567, 1.7976931348623157e308};
    for (const auto& format : kFormats) {
        for (const double value : values) {
            const std::string text = formatShortest(value, format);
            const auto back = parseUserNumber(text, format);
            ASSERT_TRUE(back.has_value()) << text << " with " << format.decimalSeparator;
            EXPECT_EQ(std::bit_cast<std::uint64_t>(*back), std::bit_cast<std::uint64_t>(value))
                << text << " with " << format.decimalSeparator;
        }
    }
}

TEST(ItemLine, AddLineGivesBackTheSameItem) {
    for (const auto& format : kFormats) {
        for (const char* coding : {"BE+", "BEF", "LEF"}) {
            VistrelItems source(format);
            VistrelItem& item = source.add("0A1F20");
            item.setLength(3);
            item.setMask("0FFFF0");
            item.setCodingText(coding);
            item.setFormatText("P");
            item.setUnit("km/h");
            item.setCoefA(0.1);
            item.setCoefB(-1.0 / 3.0);
            item.setCoefC(2.5e-7);
            VistrelItems back(format);
            back.addLine(itemLine(item, format));
            back.addLine(methodLine(source));
            ASSERT_EQ(back.count(), 1) << format.decimalSeparator;
            EXPECT_EQ(firstDifference(item, back.at(0)), std::nullopt) << itemLine(item, format);
        }
    }
}

} // namespace
} // namespace vistrel::cli
