// SPDX-License-Identifier: MIT
// The KWP2000 layer that every link shares, over a scripted message link:
// what each kind of reply becomes, and how long it waits after each.

#include "components/error.h"
#include "fakes/error_of.h"
#include "link/kwp_exchange.h"

#include <gtest/gtest.h>
#include <iterator>
#include <sstream>

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

std::vector<std::string> splitHex(const std::string& texts) {
    std::istringstream in(texts);
    return {std::istream_iterator<std::string>(in), std::istream_iterator<std::string>()};
}

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
// for a later request's value. Requests and replies in hexadecimal ("-" is
// silence); each outcome is the reply taken or the error's number.
TEST(KwpExchange, ALateAnswerNeverPassesForTheNextRequestsValue) {
    const struct {
        const char* name;
        const char* requests;
        const char* replies;
        const char* outcomes;
        const char* sent; // after the requests: 3E01 is TesterPresent
    } cases[] = {
        {"the same service: TesterPresent first, the late answer dropped",
         "23010000 23010010 23010010", "- 6382 7E 6311 6311", "2000 6311 6311",
         "23010000 3E01 23010010 23010010"},
        {"another service at once, the late answer before its own dropped",
         "23010000 21E0 23010010", "- 6382 61E011 6311", "2000 61E011 6311",
         "23010000 21E0 23010010"},
        {"no answer to TesterPresent: unsent, unanswered", "23010000 23010010 23010010",
         "- - 7F3E11 6311", "2000 2000 6311", "23010000 3E01 3E01 23010010"},
        {"only other messages: out of step, unsent", "23010000 23010010", "- 6382 -", "2000 5100",
         "23010000 3E01"},
    };
    for (const auto& c : cases) {
        ScriptedLink link({});
        for (const std::string& text : splitHex(c.replies)) {
            link.replies.push_back(text == "-" ? std::nullopt
                                               : std::optional(ByteString::fromText(text)));
        }
        ReplyStep step = kwpReplyStep();
        std::string outcomes;
        for (const std::string& request : splitHex(c.requests)) {
            const auto error = testing::errorOf([&] {
                outcomes += kwpExchange(link, ByteString::fromText(request), step).text() + " ";
            });
            outcomes += error ? std::to_string(error->number()) + " " : "";
        }
        std::string sent;
        for (const ByteString& request : link.sent) {
            sent += request.text() + " ";
        }
        EXPECT_EQ(outcomes, std::string(c.outcomes) + " ") << c.name;
        EXPECT_EQ(sent, std::string(c.sent) + " ") << c.name;
    }
}

} // namespace
} // namespace vistrel
