// SPDX-License-Identifier: MIT
#include "components/negative_response.h"

#include <gtest/gtest.h>

namespace vistrel {
namespace {

// Known codes keep their text whatever the service; an unknown one names
// both in hexadecimal without leading zeros, and is no known refusal.
TEST(NegativeResponse, KnownCodesAndTheComposedText) {
    const struct {
        std::uint8_t sid;
        std::uint8_t nrc;
        std::int32_t number;
        const char* text;
        bool known;
    } cases[] = {
        {0x23, 0x22, 2033, "Execution conditions not set", true},
        {0x2C, 0x11, 2032, "Service not supported", true},
        {0x23, 0x31, 2040, "Service 23 Negative response 31", false},
        {0x10, 0x05, 2040, "Service 10 Negative response 5", false},
    };
    for (const auto& c : cases) {
        const Error e = negativeResponseError(c.sid, c.nrc);
        EXPECT_EQ(e.number(), c.number);
        EXPECT_EQ(e.description(), c.text);
        EXPECT_EQ(isKnownRefusal(e.number()), c.known);
    }
    EXPECT_FALSE(isKnownRefusal(2000));
    EXPECT_FALSE(isKnownRefusal(2041));
}

} // namespace
} // namespace vistrel
