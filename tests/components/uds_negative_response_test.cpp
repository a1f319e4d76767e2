// SPDX-License-Identifier: MIT
#include "components/negative_response.h"
#include "components/uds_negative_response.h"

#include <gtest/gtest.h>
#include <set>

namespace vistrel {
namespace {

// Every named code has a number of its own and reads as the KWP2000 texts
// do, with its name; an unnamed one is the block's "other". The readers of
// both families ask the same questions of them.
TEST(UdsNegativeResponse, NamesNumbersAndTheSessionHint) {
    const struct {
        std::uint8_t sid;
        std::uint8_t nrc;
        const char* text; // the start of the text
        bool named;
    } cases[] = {
        {0x23, 0x31, "Service 23 Negative response 31 (requestOutOfRange)", true},
        {0x23, 0x33, "Service 23 Negative response 33 (securityAccessDenied)", true},
        {0x2C, 0x7F, "Service 2C Negative response 7F (serviceNotSupportedInActiveSession)", true},
        {0x2A, 0x7E, "Service 2A Negative response 7E (subFunctionNotSupportedInActiveSession)",
         true},
        {0x22, 0x93, "Service 22 Negative response 93 (voltageTooLow)", true},
        {0x23, 0x05, "Service 23 Negative response 5", false},
    };
    std::set<std::int32_t> numbers;
    for (const auto& c : cases) {
        const Error e = udsNegativeResponseError(c.sid, c.nrc);
        EXPECT_EQ(e.description().rfind(c.text, 0), 0U) << e.description();
        // Only the session's refusals name the session as the cause.
        EXPECT_EQ(e.description().find("1003") != std::string::npos,
                  c.nrc >= 0x7E && c.nrc <= 0x7F);
        EXPECT_EQ(isKnownRefusal(e.number()), c.named) << c.text;
        EXPECT_TRUE(isNegativeResponse(e.number())) << c.text;
        EXPECT_TRUE(c.named ? numbers.insert(e.number()).second
                            : e.number() == uds_error::kOtherNegativeResponse)
            << c.text;
    }
}

} // namespace
} // namespace vistrel
