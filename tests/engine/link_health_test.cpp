// SPDX-License-Identifier: MIT
#include "components/error_numbers.h"
#include "engine/link_health.h"

#include <gtest/gtest.h>
#include <vector>

namespace vistrel::testing {
namespace {

EngineEvent event(std::uint32_t time, std::int32_t failureNumber = 0) {
    const bool failed = failureNumber != 0;
    EngineEvent made{{failed ? StepOutcome::Kind::Failed : StepOutcome::Kind::GoodRead,
                      CyclePhase::Run, failed ? "failed" : "", failureNumber},
                     time};
    made.read = std::make_shared<ReadResult>(ReadResult{time, std::vector<ItemReading>(4)});
    return made;
}

// Silence counts from the last good read; a lost device is named as such.
TEST(LinkHealthTest, DescribesTheLinkAndItsRateFromTheEvents) {
    const std::vector reads{event(0), event(250), event(500), event(750), event(1000)};
    const struct {
        std::vector<EngineEvent> events;
        const char* words;
        const char* rate;
    } cases[] = {
        {reads, "L — ECU answering", "4.0 reads/s, 16 item values/s"},
        {{event(1000), event(3000, kNoAnswerError)}, "L — no answer since 4 s", ""},
        {{event(1000), event(3000, link_error::kDeviceLost)}, "L — device gone", ""},
    };
    for (const auto& c : cases) {
        LinkHealth health;
        for (const auto& e : c.events) {
            health.take(e);
        }
        EXPECT_EQ(health.describeLink("L", 5200), c.words);
        EXPECT_EQ(health.rateText(), c.rate) << c.words;
    }
}

} // namespace
} // namespace vistrel::testing
