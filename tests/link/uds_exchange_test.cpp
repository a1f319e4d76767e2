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

const ByteString kRead = {0x23, 0x14, 0x01, 0xA2, 0x02};

std::string times(int n, const std::string& text) {
    std::string out;
    for (int i = 0; i < n; ++i) {
        out += text + " ";
    }
    return out;
}

TEST(UdsExchange, EachReplyBecomesTheAnswerOrItsError) {
    const struct {
        std::string replies; // "-" is silence, also the pause after a busy refusal
        std::int32_t error;  // 0: the answer is 631234
        std::size_t requests;
    } cases[] = {
        {times(20, "7F2378") + "631234", 0, 1},
        {times(21, "7F2378") + "631234", kNoAnswerError, 1},
        {"-", kNoAnswerError, 1},
        {times(3, "7F2321 -") + "631234", 0, 4},
        {times(4, "7F2321 -") + "631234", udsNegativeResponseError(0x23, 0x21).number(), 4},
        {"7F2331", udsNegativeResponseError(0x23, 0x31).number(), 1},
        {"7F23", link_error::kGarbledFrame, 1},
        {"7F2231", nrc_error::kIllegalNegativeReply, 1},
        {"62F200", reply_error::kAnswerFormatIllegal, 1},
        // Answers to the link's own TesterPresent are passed over.
        {"7E00 7F3E12 631234", 0, 1},
    };
    for (const auto& c : cases) {
        testing::ScriptedMessageLink link(c.replies);
        UdsTiming timing;
        const auto error = testing::errorOf(
            [&] { EXPECT_EQ(udsExchange(link, kRead, timing).text(), "631234") << c.replies; });
        EXPECT_EQ(error ? error->number() : 0, c.error) << c.replies;
        EXPECT_EQ(link.sent + " ", times(static_cast<int>(c.requests), kRead.text())) << c.replies;
    }
}

TEST(UdsExchange, WaitsP2ThenP2StarAfterPendingAndPausesBeforeARepeat) {
    testing::ScriptedMessageLink link("7F2378 7F2321 - 631234");
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
    };
    for (const auto& c : cases) {
        testing::ScriptedMessageLink link(c.reply);
        UdsTiming timing;
        udsExchange(link, ByteString{0x10, 0x03}, timing);
        EXPECT_EQ(timing.replyWait(link).count(), c.replyWait) << c.reply;
        EXPECT_EQ(timing.pendingWait().count(), c.pendingWait) << c.reply;
    }
}

} // namespace
} // namespace vistrel
