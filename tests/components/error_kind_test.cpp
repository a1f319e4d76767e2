// SPDX-License-Identifier: MIT
#include "components/error.h"

#include <gtest/gtest.h>

namespace vistrel {
namespace {

TEST(ErrorKind, NumbersOfEachLayerAndAKindGivenOutright) {
    const struct {
        Error error;
        ErrorKind kind;
    } cases[] = {
        {Error(kNoAnswerError, "silent"), ErrorKind::Protocol},
        {Error(nrc_error::kConditionsNotCorrect, "refused"), ErrorKind::Protocol},
        {Error(link_error::kDeviceLost, "unplugged"), ErrorKind::Link},
        {Error(adapter_error::kSetupRefused, "refused"), ErrorKind::Link},
        {Error(kBadConfigFile, "not a configuration"), ErrorKind::File},
        {Error(kTriggerConditionError, "no such item"), ErrorKind::Usage},
        {Error(kHexTextError, "not hexadecimal"), ErrorKind::Item},
        {Error(ErrorKind::Usage, kListReadError, "no protocol"), ErrorKind::Usage},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.error.kind(), c.kind) << c.error.number();
    }
}

} // namespace
} // namespace vistrel
