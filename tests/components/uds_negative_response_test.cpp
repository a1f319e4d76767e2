// SPDX-License-Identifier: MIT
#include "components/negative_response.h"
#include "components/uds_negative_response.h"

#include <gtest/gtest.h>

namespace vistrel {
namespace {

// Every named code has a number of its own and reads as the KWP2000 texts
// do, with its name; an unnamed one is the block's "other". The readers of
// both families ask the same questions of them.
TEST(UdsNegativeResponse, NamesNumbersAndTheSessionHint) {
    const std::tuple<std::uint8_t, std::uint8_t, const char*> cases[] = {
        {0x23, 0x31, "Service 23 Negative response 31 (requestOutOfRange)"},
        {0x23, 0x33, "Service 23 Negative response 33 (securityAccessDenied)"},
        {0x2C, 0x7F, "Service 2C Negative response 7F (serviceNotSupportedInActiveSession)"},
        {0x22, 0x93, "Service 22 Negative response 93 (voltageTooLow)"},
        {0x23, 0x05, "Service 23 Negative response 5"},
    };
    std::int32_t last = 0;
    for (const auto& [sid, nrc, text] : cases) {
        const Error e = udsNegativeResponseError(sid, nrc);
        EXPECT_EQ(e.description().rfind(text, 0), 0U) << e.description();
        // Only the session's refusals name the session as the cause.
        EXPECT_EQ(e.description().find("1003") != std::string::npos, nrc == 0x7F);
        const bool named = nrc != 0x05;
        EXPECT_EQ(isKnownRefusal(e.number()), named) << text;
        EXPECT_TRUE(isNegativeResponse(e.number())) << text;
        EXPECT_TRUE(named ? e.number() != last : e.number() == uds_error::kOtherNegativeResponse);
        last = e.number();
    }
}

} // namespace
} // namespace vistrel
