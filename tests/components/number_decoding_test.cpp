// SPDX-License-Identifier: MIT
#include "components/number_decoding.h"

#include <gtest/gtest.h>

#include <vector>

namespace vistrel {
namespace {

struct DecodeCase {
    std::vector<std::uint8_t> bytes;
    ByteOrder order;
    std::uint64_t unsignedValue;
    std::int64_t signedValue;
};

TEST(NumberDecoding, BothOrdersBothSignsEveryWidth) {
    using enum ByteOrder;
    const DecodeCase cases[] = {
        {{}, LittleEndian, 0, 0},
        {{0x80}, LittleEndian, 128, -128},
        {{0x34, 0x12}, LittleEndian, 0x1234, 0x1234},
        {{0x34, 0x12}, BigEndian, 0x3412, 0x3412},
        {{0xFF, 0xFF}, BigEndian, 65535, -1},
        {{0xFF, 0xFF, 0xFF, 0xFF}, LittleEndian, 4294967295u, -1},
        {{0x00, 0x00, 0x80}, BigEndian, 0x80, 0x80},
        {{0x00, 0x00, 0x80}, LittleEndian, 0x800000, -0x800000},
        {{0, 0, 0, 0, 0, 0, 0, 1}, BigEndian, 1, 1},
        {{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, LittleEndian, UINT64_MAX, -1},
        {{0, 0, 0, 0, 0, 0, 0, 0x80}, LittleEndian, 0x8000000000000000u, INT64_MIN},
        {{0x01, 0x02, 0x03, 0x04, 0x05}, BigEndian, 0x0102030405, 0x0102030405},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(decodeUnsigned(c.bytes, c.order), c.unsignedValue);
        EXPECT_EQ(decodeSigned(c.bytes, c.order), c.signedValue);
    }
}

} // namespace
} // namespace vistrel
