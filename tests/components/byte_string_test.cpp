// SPDX-License-Identifier: MIT
#include "components/byte_string.h"
#include "components/error.h"

#include <gtest/gtest.h>

namespace vistrel {
namespace {

TEST(ByteString, TextRoundTripsInUpperCase) {
    const struct {
        const char* in;
        const char* out;
        std::size_t length;
    } cases[] = {{"", "", 0}, {"ff", "FF", 1}, {"0a1F20", "0A1F20", 3}, {"10A0", "10A0", 2}};
    for (const auto& c : cases) {
        const ByteString b = ByteString::fromText(c.in);
        EXPECT_EQ(b.text(), c.out) << c.in;
        EXPECT_EQ(b.length(), c.length) << c.in;
    }
}

TEST(ByteString, RejectsMalformedTextAndKeepsBytes) {
    for (const char* bad : {"F", "GG", "0x12", "12 34", "1-", "\xC3\xA9"}) {
        ByteString b{0x12};
        EXPECT_THROW(b.setText(bad), Error) << bad;
        EXPECT_EQ(b.text(), "12");
    }
}

TEST(ByteString, EditingOperations) {
    ByteString b{0x01, 0x02, 0x03};
    b.append(ByteString{0x04, 0x05});
    b.append(0x06);
    EXPECT_EQ(b.text(), "010203040506");
    EXPECT_EQ(b.mid(1, 2).text(), "0203");
    EXPECT_EQ(b.mid(4, 10).text(), "0506");
    EXPECT_EQ(b.mid(6, 0).text(), "");
    ByteString copy = b.clone();
    copy.setByte(0, 0xFF);
    EXPECT_EQ(b.byte(0), 0x01);
    b.setLength(2);
    EXPECT_EQ(b.text(), "0102");
    b.setLength(3);
    EXPECT_EQ(b.text(), "010200");
    EXPECT_THROW((void)b.byte(3), std::out_of_range);
}

} // namespace
} // namespace vistrel
