// SPDX-License-Identifier: MIT
// The KWP2000 layer that every link shares, over a scripted message link:
// what each kind of reply becomes, and how long it waits after each.

#include "components/error.h"
#include "fakes/error_of.h"
#include "link/kwp_exchange.h"

#include <gtest/gtest.h>

namespace vistrel {
namespace {

using std::chrono::milliseconds;
using Script = std::vector<std::optional<ByteString>>;

// Hands out the scripted replies in turn, then silence.
struct ScriptedLink : MessageLink {
    explicit ScriptedLink(Script script) : replies(std::move(script)) {}

    void sendMessage(const ByteString& request) override { sent.push_back(request); }
    std::optional<ByteString> receiveMessage(milliseconds timeout) override {
        timeouts.push_back(timeout);
        return timeouts.size() <= replies.size() ? replies[timeouts.size() - 1] : std::nullopt;
    }
    milliseconds replyTimeout() const override { return milliseconds(50); }

    Script replies;
    std::vector<ByteString> sent;
    std::vector<milliseconds> timeouts;
};

const ByteString kRead = {0x23, 0x01, 0xA2, 0xB3, 0x02};
const ByteString kValue = {0x63, 0x12, 0x34};
const ByteString kPending = {0x7F, 0x23, 0x78};

Script pendingTimes(int n, std::optional<ByteString> last) {
    Script script(static_cast<std::size_t>(n), kPending);
    script.push_back(std::move(last));
    return script;
}

TEST(KwpExchange, EachReplyBecomesTheAnswerOrItsError) {
    struct Case {
        const char* name;
        Script replies;
        std::int32_t error; // 0: the answer is kValue
    };
    const Case cases[] = {
        {"answer", {kValue}, 0},
        {"pending, then the answer", {kPending, kPending, kValue}, 0},
        {"twenty pending replies are patience", pendingTimes(20, kValue), 0},
        {"the twenty-first is too many", pendingTimes(21, kValue), 2000},
        {"silence", {std::nullopt}, 2000},
        {"pending, then silence", {kPending, std::nullopt}, 2000},
        {"known refusal", {ByteString{0x7F, 0x23, 0x22}}, 2033},
        {"other refusal", {ByteString{0x7F, 0x23, 0x31}}, 2040},
        {"negative reply cut short", {ByteString{0x7F, 0x23}}, 2052},
        {"refusal of another service", {ByteString{0x7F, 0x22, 0x31}}, 2041},
        {"pending for another service", {ByteString{0x7F, 0x22, 0x78}}, 2041},
        {"answer to another service", {ByteString{0x50, 0xA0}}, 2003},
        {"empty message", {ByteString{}}, 2052},
    };
    for (const auto& c : cases) {
        ScriptedLink link(c.replies);
        const auto error = testing::errorOf([&] {
            ReplyStep step = kwpReplyStep();
            EXPECT_EQ(kwpExchange(link, kRead, step), kValue) << c.name;
        });
        EXPECT_EQ(error ? error->number() : 0, c.error) << c.name;
        ASSERT_EQ(link.sent.size(), 1U) << c.name;
        EXPECT_EQ(link.sent[0], kRead) << c.name;
    }
}

TEST(KwpExchange, TheLinksReplyTimeFirstThenP2StarAfterEachPendingReply) {
    ScriptedLink link({kPending, kPending, kValue});
    ReplyStep step = kwpReplyStep();
    kwpExchange(link, kRead, step);
    EXPECT_EQ(link.timeouts,
              (std::vector{milliseconds(50), milliseconds(5000), milliseconds(5000)}));
}

// After a request timed out, no reply that could be its late answer passes
// for the value of a later request: each outcome is the reply taken, or the
// error's number.
TEST(KwpExchange, ALateAnswerNeverPassesForTheNextRequestsValue) {
    const ByteString item0 = {0x23, 0x2C, 0x10, 0x00, 0x02};
    const ByteString item1 = {0x23, 0x2C, 0x10, 0x10, 0x02};
    const ByteString readE0 = {0x21, 0xE0};
    const ByteString sync = {0x3E, 0x01};
    const ByteString late = {0x63, 0x82, 0xB7};
    const ByteString own = {0x63, 0xAA, 0xBB};
    const ByteString definedE0 = {0x61, 0xE0, 0x11};
    const ByteString present = {0x7E};
    const std::nullopt_t none = std::nullopt;
    struct Case {
        const char* name;
        std::vector<ByteString> requests;
        Script replies;
        std::vector<std::string> outcomes;
        std::vector<ByteString> sent;
    };
    const Case cases[] = {
        {"a read after one that timed out: TesterPresent first, the late answer dropped",
         {item0, item1, item1},
         {none, late, present, own, own},
         {"2000", own.text(), own.text()},
         {item0, sync, item1, item1}},
        {"another service goes out at once; the late answer before its own is dropped",
         {item0, readE0, item1},
         {none, late, definedE0, own},
         {"2000", definedE0.text(), own.text()},
         {item0, readE0, item1}},
        {"a refusal of TesterPresent brings the line in step too",
         {item0, item1},
         {none, ByteString{0x7F, 0x3E, 0x11}, own},
         {"2000", own.text()},
         {item0, sync, item1}},
        {"no answer to TesterPresent: the read fails unanswered, unsent, and tries again",
         {item0, item1, item1},
         {none, none, present, own},
         {"2000", "2000", own.text()},
         {item0, sync, sync, item1}},
        {"only other messages: out of step, unsent",
         {item0, item1},
         {none, late, none},
         {"2000", "5100"},
         {item0, sync}},
    };
    for (const auto& c : cases) {
        ScriptedLink link(c.replies);
        ReplyStep step = kwpReplyStep();
        std::vector<std::string> outcomes;
        for (const ByteString& request : c.requests) {
            const auto error = testing::errorOf(
                [&] { outcomes.push_back(kwpExchange(link, request, step).text()); });
            if (error) {
                outcomes.push_back(std::to_string(error->number()));
            }
        }
        EXPECT_EQ(outcomes, c.outcomes) << c.name;
        EXPECT_EQ(link.sent, c.sent) << c.name;
    }
}

} // namespace
} // namespace vistrel
