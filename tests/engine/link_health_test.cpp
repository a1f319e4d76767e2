// SPDX-License-Identifier: MIT
#include "components/error_numbers.h"
#include "engine/link_health.h"

#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace vistrel::testing {
namespace {

using Kind = StepOutcome::Kind;

EngineEvent event(Kind kind, CyclePhase phase, std::uint32_t time, std::int32_t failureNumber = 0) {
    EngineEvent made{{kind, phase, failureNumber != 0 ? "it failed" : "", failureNumber}, time};
    if (kind == Kind::GoodRead) {
        auto read = std::make_shared<ReadResult>();
        read->items.resize(4);
        made.read = std::move(read);
    }
    return made;
}

// The status line follows the engine's events: a failure that comes after
// good reads counts the seconds since the last of them, a lost device is
// named as such, and a good read clears both.
TEST(LinkHealthTest, DescribesTheLinkFromTheEvents) {
    const auto opened = event(Kind::Started, CyclePhase::OpenCommunication, 0);
    const auto reading = event(Kind::Progress, CyclePhase::Run, 100);
    const auto read = event(Kind::GoodRead, CyclePhase::Run, 1000);
    const auto silent = event(Kind::Failed, CyclePhase::OpenCommunication, 3000, kNoAnswerError);
    const auto lost =
        event(Kind::Failed, CyclePhase::OpenCommunication, 3000, link_error::kDeviceLost);
    const auto stopped = event(Kind::Stopped, CyclePhase::Idle, 6000);
    struct Case {
        std::vector<EngineEvent> events;
        const char* words;
    };
    const Case cases[] = {
        {{}, "K-line /dev/ttyUSB0 — idle"},
        {{opened}, "connecting to K-line /dev/ttyUSB0"},
        {{opened, reading, read}, "K-line /dev/ttyUSB0 — ECU answering"},
        {{opened, reading, read, silent}, "K-line /dev/ttyUSB0 — no answer since 4 s"},
        {{opened, silent}, "K-line /dev/ttyUSB0 — no answer"},
        {{opened, reading, read, lost}, "K-line /dev/ttyUSB0 — device gone"},
        {{opened, reading, read, lost, read}, "K-line /dev/ttyUSB0 — ECU answering"},
        {{opened, reading, read, stopped}, "K-line /dev/ttyUSB0 — idle"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.words);
        LinkHealth health;
        for (const auto& e : c.events) {
            health.take(e);
        }
        EXPECT_EQ(health.describeLink("K-line /dev/ttyUSB0", 5200), c.words);
    }
}

TEST(LinkHealthTest, RatesCountReadsAndTheirValuesOverASecond) {
    LinkHealth health;
    EXPECT_EQ(health.rateText(), "");
    for (const std::uint32_t time : {0U, 250U, 500U, 750U, 1000U}) {
        health.take(event(Kind::GoodRead, CyclePhase::Run, time));
    }
    EXPECT_EQ(health.rateText(), "4.0 reads/s, 16 item values/s");
    health.take(event(Kind::Failed, CyclePhase::OpenCommunication, 1100, kNoAnswerError));
    EXPECT_EQ(health.rateText(), "");
}

} // namespace
} // namespace vistrel::testing
