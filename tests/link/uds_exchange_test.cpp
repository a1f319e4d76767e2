// SPDX-License-Identifier: MIT
// The UDS layer that every UDS link shares, over a scripted message link:
// what each reply becomes, how often the request goes out, how long it
// waits, and the timing that a session reply sets.

#include "components/uds_negative_response.h"
#include "fakes/error_of.h"
#include "fakes/scripted_message_link.h"
#include "link/uds_exchange.h"

#include <gtest/gtest.h>

namespace vistrel {
namespace {

using std::chrono::milliseconds;
using Script = std::deque<std::optional<ByteString>>;

const ByteString kRead = {0x23, 0x14, 0x01, 0xA2, 0x02};
const ByteString kValue = {0x63, 0x12, 0x34};
const ByteString kPending = {0x7F, 0x23, 0x78};
const ByteString kBusy = {0x7F, 0x23, 0x21};

Script repeated(int n, const ByteString& reply, std::optional<ByteString> last) {
    Script script(static_cast<std::size_t>(n), reply);
    script.push_back(std::move(last));
    return script;
}

// Busy refusals each followed by the silent pause before the next request.
Script busyTimes(int n, std::optional<ByteString> last) {
    Script script;
    for (int i = 0; i < n; ++i) {
        script.insert(script.end(), {kBusy, std::nullopt});
    }
    script.push_back(std::move(last));
    return script;
}

TEST(UdsExchange, EachReplyBecomesTheAnswerOrItsError) {
    const std::int32_t outOfRange = udsNegativeResponseError(0x23, 0x31).number();
    const std::int32_t busy = udsNegativeResponseError(0x23, 0x21).number();
    struct Case {
        const char* name;
        Script replies;
        std::int32_t error; // 0: the answer is kValue
        std::size_t requests;
    };
    const Case cases[] = {
        {"answer", {kValue}, 0, 1},
        {"twenty pending replies are patience", repeated(20, kPending, kValue), 0, 1},
        {"the twenty-first is too many", repeated(21, kPending, kValue), 2000, 1},
        {"silence", {std::nullopt}, 2000, 1},
        {"busy three times, then the answer", busyTimes(3, kValue), 0, 4},
        {"busy a fourth time stands", busyTimes(4, kValue), busy, 4},
        {"named refusal", {ByteString{0x7F, 0x23, 0x31}}, outOfRange, 1},
        {"unnamed refusal", {ByteString{0x7F, 0x23, 0x05}}, uds_error::kOtherNegativeResponse, 1},
        {"negative reply cut short", {ByteString{0x7F, 0x23}}, 2052, 1},
        {"refusal of another service", {ByteString{0x7F, 0x22, 0x31}}, 2041, 1},
        {"answer to another service", {ByteString{0x62, 0xF2, 0x00}}, 2003, 1},
        {"empty message", {ByteString{}}, 2052, 1},
        {"answers to our TesterPresent are passed over",
         {ByteString{0x7E, 0x00}, ByteString{0x7F, 0x3E, 0x12}, kValue},
         0,
         1},
    };
    for (const auto& c : cases) {
        testing::ScriptedMessageLink link;
        link.replies = c.replies;
        UdsTiming timing;
        const auto error = testing::errorOf(
            [&] { EXPECT_EQ(udsExchange(link, kRead, timing), kValue) << c.name; });
        EXPECT_EQ(error ? error->number() : 0, c.error) << c.name;
        EXPECT_EQ(link.sent, std::vector<ByteString>(c.requests, kRead)) << c.name;
    }
}

TEST(UdsExchange, WaitsP2ThenP2StarAfterPendingAndPausesBeforeARepeat) {
    testing::ScriptedMessageLink link;
    link.replies = {kPending, kBusy, std::nullopt, kValue};
    UdsTiming timing;
    udsExchange(link, kRead, timing);
    EXPECT_EQ(link.waits, (std::vector<milliseconds>{milliseconds(150), milliseconds(5000),
                                                     milliseconds(100), milliseconds(150)}));
}

// The session reply's P2 (ms) and P2* (10 ms) set the waits within their
// bounds; the link's own 150 ms and 5 s stay otherwise.
TEST(UdsTiming, SessionReplySetsTheWaitsWithinBounds) {
    const struct {
        const char* reply;
        long replyWait;
        long pendingWait;
    } cases[] = {
        {"500300320190", 150, 4000},  // P2 50 ms + 50 is less than the link's own
        {"500301F401F4", 550, 5000},  // P2 500 ms + 50
        {"50030005012C", 150, 3000},  // P2 5 ms: out of bounds
        {"500307D00BB8", 150, 30000}, // P2 2000 ms: out of bounds; P2* 30 s is the most
        {"500300640BB9", 150, 5000},  // P2* 30.01 s: out of bounds
        {"500300640000", 150, 5000},  // P2* 0
        {"5003", 150, 5000},          // no timing at all
    };
    for (const auto& c : cases) {
        testing::ScriptedMessageLink link;
        link.replies = {ByteString::fromText(c.reply)};
        UdsTiming timing;
        udsExchange(link, ByteString{0x10, 0x03}, timing);
        EXPECT_EQ(timing.replyWait(link).count(), c.replyWait) << c.reply;
        EXPECT_EQ(timing.pendingWait().count(), c.pendingWait) << c.reply;
    }
}

} // namespace
} // namespace vistrel
