// SPDX-License-Identifier: MIT
#include "components/negative_response.h"
#include "components/uds_negative_response.h"

#include <gtest/gtest.h>
#include <set>

namespace vistrel {
namespace {

// Every named code has a number of its own in the UDS block and reads as
// the KWP2000 texts do, with its name; an unnamed one is the block's "other".
TEST(UdsNegativeResponse, NamesNumbersAndTheSessionHint) {
    const struct {
        std::uint8_t sid;
        std::uint8_t nrc;
        const char* text; // the start of the text
        bool named;
        bool sessionHint;
    } cases[] = {
        {0x23, 0x31, "Service 23 Negative response 31 (requestOutOfRange)", true, false},
        {0x23, 0x33, "Service 23 Negative response 33 (securityAccessDenied)", true, false},
        {0x27, 0x37, "Service 27 Negative response 37 (requiredTimeDelayNotExpired)", true, false},
        {0x2C, 0x7F, "Service 2C Negative response 7F (serviceNotSupportedInActiveSession)", true,
         true},
        {0x2A, 0x7E, "Service 2A Negative response 7E (subFunctionNotSupportedInActiveSession)",
         true, true},
        {0x22, 0x93, "Service 22 Negative response 93 (voltageTooLow)", true, false},
        {0x23, 0x05, "Service 23 Negative response 5", false, false},
        {0x23, 0xF0, "Service 23 Negative response F0", false, false},
    };
    std::set<std::int32_t> numbers;
    for (const auto& c : cases) {
        const Error e = udsNegativeResponseError(c.sid, c.nrc);
        EXPECT_EQ(e.description().rfind(c.text, 0), 0U) << e.description();
        EXPECT_EQ(e.description().find("1003") != std::string::npos, c.sessionHint)
            << e.description();
        EXPECT_EQ(isUdsRefusal(e.number()), c.named) << c.text;
        EXPECT_TRUE(isUdsNegativeResponse(e.number())) << c.text;
        // The readers of both families ask the same questions.
        EXPECT_EQ(isKnownRefusal(e.number()), c.named) << c.text;
        EXPECT_TRUE(isNegativeResponse(e.number())) << c.text;
        EXPECT_EQ(e.kind(), ErrorKind::Protocol);
        if (c.named) {
            EXPECT_TRUE(numbers.insert(e.number()).second) << "number shared: " << c.text;
        } else {
            EXPECT_EQ(e.number(), uds_error::kOtherNegativeResponse);
        }
    }
    EXPECT_FALSE(isUdsNegativeResponse(nrc_error::kConditionsNotCorrect));
    EXPECT_FALSE(isUdsRefusal(uds_error::kOtherNegativeResponse));
}

} // namespace
} // namespace vistrel
