// SPDX-License-Identifier: MIT
// What a UDS link does around its exchanges: the session request and the
// mismatch messages, security access with a fake key program on a fake
// clock, and TesterPresent.

#include "components/uds_negative_response.h"
#include "fakes/error_of.h"
#include "fakes/scripted_message_link.h"
#include "link/family_mismatch.h"
#include "link/uds_session.h"

#include <gtest/gtest.h>

namespace vistrel {
namespace {

using std::chrono::milliseconds;
using Script = std::deque<std::optional<ByteString>>;

const ByteString kSession = ByteString::fromText("1003");
const ByteString kSessionReply = ByteString::fromText("500300320190");
const ByteString kRead = ByteString::fromText("2314001000");

std::int32_t numberOf(std::uint8_t sid, std::uint8_t nrc) {
    return udsNegativeResponseError(sid, nrc).number();
}

Script script(std::initializer_list<const char*> texts) {
    Script replies;
    for (const char* text : texts) {
        replies.push_back(text == nullptr ? std::nullopt
                                          : std::optional(ByteString::fromText(text)));
    }
    return replies;
}

std::string sentText(const testing::ScriptedMessageLink& link) {
    std::string text;
    for (const auto& message : link.sent) {
        text += (text.empty() ? "" : " ") + message.text();
    }
    return text;
}

// The ECU's family against the link's: every sign in the session exchange
// becomes its own message.
TEST(SessionMismatch, SessionRepliesOfTheOtherFamily) {
    const struct {
        bool uds;
        const char* request;
        Script replies;
        std::int32_t error;
    } cases[] = {
        {true, "10A0", script({"7F1012"}), uds_error::kDefaultSessionRequest},
        {true, "10A0", script({nullptr}), uds_error::kDefaultSessionRequest},
        {true, "10A0", script({"50A0"}), uds_error::kFamilyMismatch},
        {true, "1003", script({"7F1012"}), uds_error::kFamilyMismatch},
        {true, "1003", script({"7F1011"}), uds_error::kFamilyMismatch},
        {true, "1003", script({"5003"}), uds_error::kFamilyMismatch},
        {true, "1003", script({"7F1022"}), numberOf(0x10, 0x22)},
        {true, "1003", script({"500300320190"}), 0},
        {false, "10A0", script({"7F1012"}), uds_error::kFamilyMismatch},
        {false, "1081", script({"5081003201F4"}), uds_error::kFamilyMismatch},
        {false, "1085", script({"7F1012"}), nrc_error::kSubFunctionNotSupported},
        {false, "1081", script({"5081"}), 0},
    };
    for (const auto& c : cases) {
        testing::ScriptedMessageLink link;
        link.replies = c.replies;
        UdsLinkSession session;
        const ByteString request = ByteString::fromText(c.request);
        const auto error = testing::errorOf(
            [&] { c.uds ? session.exchange(link, request) : kwpCheckedExchange(link, request); });
        EXPECT_EQ(error ? error->number() : 0, c.error) << c.request << " " << c.uds;
        if (error && error->number() == uds_error::kDefaultSessionRequest) {
            EXPECT_NE(error->description().find("1003"), std::string::npos);
        }
        if (error && error->number() == uds_error::kFamilyMismatch) {
            EXPECT_NE(error->description().find(c.uds ? "diag=kwp" : "diag=uds"), std::string::npos)
                << error->description();
        }
    }
}

struct FakeKeyProgram : KeyProgram {
    std::optional<ByteString> key;
    std::vector<std::pair<std::uint8_t, ByteString>> calls;
    ByteString keyFor(std::uint8_t level, const ByteString& seed) override {
        calls.emplace_back(level, seed);
        if (!key) {
            throw Error(uds_error::kKeyProgramFailed, "the key program failed");
        }
        return *key;
    }
};

struct SecurityFixture {
    UdsLinkSession::TimePoint now{};
    FakeKeyProgram* program = nullptr;
    testing::ScriptedMessageLink link;
    std::unique_ptr<UdsLinkSession> session;

    explicit SecurityFixture(std::optional<ByteString> key) {
        auto owned = std::make_unique<FakeKeyProgram>();
        owned->key = std::move(key);
        program = owned.get();
        session = std::make_unique<UdsLinkSession>(std::uint8_t{0x01}, std::move(owned),
                                                   [this] { return now; });
    }
    // One exchange with these replies; the error's number, or 0.
    std::int32_t exchange(const ByteString& request, Script replies) {
        link.sent.clear();
        link.replies = std::move(replies);
        const auto error = testing::errorOf([&] { session->exchange(link, request); });
        lastText = error ? error->description() : "";
        return error ? error->number() : 0;
    }
    std::string lastText;
};

// One session request with security=01: what goes out, what it becomes, and
// whether a later session asks for a seed again.
TEST(SecurityAccess, SeedKeyAndTheRefusals) {
    const struct {
        const char* name;
        Script replies; // after the session reply
        std::optional<ByteString> key;
        std::int32_t error;
        const char* sent;
        bool asksAgain; // at a session 10 s later
    } cases[] = {
        {"unlocked already", script({"67010000"}), std::nullopt, 0, "1003 2701", false},
        {"seed and key", script({"6701A1B2", "6702"}), ByteString{0xC3, 0xD4}, 0,
         "1003 2701 2702C3D4", false},
        {"invalid key", script({"6701A1B2", "7F2735"}), ByteString{0xC3, 0xD4},
         numberOf(0x27, 0x35), "1003 2701 2702C3D4", false},
        {"too many attempts", script({"7F2736"}), ByteString{0xC3, 0xD4}, numberOf(0x27, 0x36),
         "1003 2701", false},
        {"key program fails", script({"6701A1B2"}), std::nullopt, uds_error::kKeyProgramFailed,
         "1003 2701", true},
        {"seed of another level", script({"6703A1B2"}), ByteString{0xC3, 0xD4},
         uds_error::kSecurityReplyMalformed, "1003 2701", true},
        {"level unknown to the ECU", script({"7F2712"}), ByteString{0xC3, 0xD4},
         numberOf(0x27, 0x12), "1003 2701", true},
        {"key not confirmed", script({"6701A1B2", "6704"}), ByteString{0xC3, 0xD4},
         uds_error::kSecurityReplyMalformed, "1003 2701 2702C3D4", true},
    };
    for (const auto& c : cases) {
        SecurityFixture f(c.key);
        Script replies = c.replies;
        replies.push_front(kSessionReply);
        EXPECT_EQ(f.exchange(kSession, replies), c.error) << c.name << ": " << f.lastText;
        EXPECT_EQ(sentText(f.link), c.sent) << c.name;
        EXPECT_EQ(f.session->unlocked(), c.error == 0) << c.name;
        // Neither seed nor key in a message.
        EXPECT_EQ(f.lastText.find("A1B2"), std::string::npos) << c.name;
        EXPECT_EQ(f.lastText.find("C3D4"), std::string::npos) << c.name;
        if (c.sent == std::string("1003 2701 2702C3D4")) {
            ASSERT_EQ(f.program->calls.size(), 1U);
            EXPECT_EQ(f.program->calls[0].first, 0x01);
            EXPECT_EQ(f.program->calls[0].second, (ByteString{0xA1, 0xB2}));
        }
        if (c.error != 0) {
            // Sooner than the ECU allows, no seed is asked for.
            f.now += milliseconds(9000);
            f.exchange(kSession, {kSessionReply});
            EXPECT_EQ(sentText(f.link), "1003") << c.name;
            f.now += milliseconds(1000);
            f.exchange(kSession, {kSessionReply, std::nullopt});
            EXPECT_EQ(sentText(f.link), c.asksAgain ? "1003 2701" : "1003") << c.name;
        }
    }
}

// 37: the step says so; 10 s later the next request asks for a seed first,
// three times at most.
TEST(SecurityAccess, TimeDelayIsWaitedOutThreeTimesAtMost) {
    SecurityFixture f(ByteString{0xC3, 0xD4});
    const std::int32_t delay = numberOf(0x27, 0x37);
    EXPECT_EQ(f.exchange(kSession, {kSessionReply, ByteString{0x7F, 0x27, 0x37}}), delay);
    EXPECT_NE(f.lastText.find("10 s"), std::string::npos) << f.lastText;
    f.now += milliseconds(5000);
    EXPECT_EQ(f.exchange(kRead, script({"6312"})), 0);
    EXPECT_EQ(sentText(f.link), "2314001000");
    f.now += milliseconds(5000);
    for (int wait = 2; wait <= 4; ++wait) {
        EXPECT_EQ(f.exchange(kRead, script({"7F2737"})), delay) << wait;
        EXPECT_EQ(sentText(f.link), "2701") << wait;
        EXPECT_EQ(f.lastText.find("no further") != std::string::npos, wait == 4) << f.lastText;
        f.now += milliseconds(10000);
    }
    EXPECT_EQ(f.exchange(kRead, script({"6312"})), 0);
    EXPECT_EQ(sentText(f.link), "2314001000");
}

TEST(UdsLinkSession, TesterPresentOnlyAfterTwoSecondsWithoutARequest) {
    UdsLinkSession::TimePoint now{};
    UdsLinkSession session(std::nullopt, nullptr, [&] { return now; });
    testing::ScriptedMessageLink link;
    const struct {
        long at;
        bool request;
        const char* sent;
    } steps[] = {
        {1999, false, ""},  {2000, false, "3E80"}, {3000, false, ""},
        {3500, true, "23"}, {5000, false, ""},     {5500, false, "3E80"},
    };
    for (const auto& step : steps) {
        now = UdsLinkSession::TimePoint(milliseconds(step.at));
        link.sent.clear();
        if (step.request) {
            link.replies = {ByteString{0x63}};
            session.exchange(link, ByteString{0x23});
        } else {
            session.keepAlive(link);
        }
        EXPECT_EQ(sentText(link), step.sent) << step.at;
    }
}

} // namespace
} // namespace vistrel
