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

const ByteString kSession = ByteString::fromText("1003");
const ByteString kRead = ByteString::fromText("2314001000");

std::int32_t numberOf(std::uint8_t sid, std::uint8_t nrc) {
    return udsNegativeResponseError(sid, nrc).number();
}

// The ECU's family against the link's: every sign in the session exchange
// becomes its own message, naming the key to change.
TEST(SessionMismatch, SessionRepliesOfTheOtherFamily) {
    const struct {
        bool uds;
        const char* request;
        const char* replies;
        std::int32_t error;
    } cases[] = {
        {true, "10A0", "7F1012", uds_error::kDefaultSessionRequest},
        {true, "10A0", "-", uds_error::kDefaultSessionRequest},
        {true, "10A0", "50A0", uds_error::kFamilyMismatch},
        {true, "1003", "7F1012", uds_error::kFamilyMismatch},
        {true, "1003", "7F1011", uds_error::kFamilyMismatch},
        {true, "1003", "5003", uds_error::kFamilyMismatch},
        {true, "1003", "7F1022", numberOf(0x10, 0x22)},
        {true, "1003", "500300320190", 0},
        {false, "10A0", "7F1012", uds_error::kFamilyMismatch},
        {false, "1081", "5081003201F4", uds_error::kFamilyMismatch},
        {false, "1085", "7F1012", nrc_error::kSubFunctionNotSupported},
        {false, "1081", "5081", 0},
    };
    for (const auto& c : cases) {
        testing::ScriptedMessageLink link(c.replies);
        UdsLinkSession session;
        const ByteString request = ByteString::fromText(c.request);
        const auto error = testing::errorOf(
            [&] { c.uds ? session.exchange(link, request) : kwpCheckedExchange(link, request); });
        EXPECT_EQ(error ? error->number() : 0, c.error) << c.request << " " << c.uds;
        if (error && error->number() == uds_error::kFamilyMismatch) {
            EXPECT_NE(error->description().find(c.uds ? "diag=kwp" : "diag=uds"),
                      std::string::npos);
        }
    }
}

TEST(SecurityAccess, LockedMemoryWithoutSecurityNamesTheKeys) {
    testing::ScriptedMessageLink link("7F2333");
    UdsLinkSession session;
    const auto error = testing::errorOf([&] { session.exchange(link, kRead); });
    ASSERT_TRUE(error);
    EXPECT_NE(error->description().find("security=LL"), std::string::npos);
}

struct FakeKeyProgram : KeyProgram {
    std::optional<ByteString> key;
    std::string calls;
    ByteString keyFor(std::uint8_t level, const ByteString& seed) override {
        calls += hexPadded(level, 2) + " " + seed.text();
        if (!key) {
            throw Error(uds_error::kKeyProgramFailed, "the key program failed");
        }
        return *key;
    }
};

// A session with security=01 on a fake clock; each exchange returns the
// error's number (or 0) and keeps what went out.
struct Secured {
    UdsLinkSession::TimePoint now{};
    FakeKeyProgram* program = new FakeKeyProgram;
    UdsLinkSession session{std::uint8_t{0x01}, std::unique_ptr<KeyProgram>(program),
                           [this] { return now; }};
    testing::ScriptedMessageLink link;
    std::string text;

    std::int32_t exchange(const ByteString& request, const std::string& replies) {
        link.sent.clear();
        link.replies = testing::replyScript(replies);
        const auto error = testing::errorOf([&] { session.exchange(link, request); });
        text = error ? error->description() : "";
        return error ? error->number() : 0;
    }
    std::string sent() const {
        std::string all;
        for (const auto& message : link.sent) {
            all += (all.empty() ? "" : " ") + message.text();
        }
        return all;
    }
};

// One session request with security=01: what goes out, what it becomes, and
// whether a session 10 s later asks for a seed again (never sooner).
TEST(SecurityAccess, SeedKeyAndTheRefusals) {
    const struct {
        const char* name;
        const char* replies; // after the session reply
        bool programWorks;
        std::int32_t error;
        const char* sent;
        bool asksAgain;
    } cases[] = {
        {"unlocked already", "67010000", true, 0, "1003 2701", false},
        {"seed and key", "6701A1B2 6702", true, 0, "1003 2701 2702C3D4", false},
        {"invalid key", "6701A1B2 7F2735", true, numberOf(0x27, 0x35), "1003 2701 2702C3D4", false},
        {"too many attempts", "7F2736", true, numberOf(0x27, 0x36), "1003 2701", false},
        {"key program fails", "6701A1B2", false, uds_error::kKeyProgramFailed, "1003 2701", true},
        {"seed of another level", "6703A1B2", true, uds_error::kSecurityReplyMalformed, "1003 2701",
         true},
        {"level unknown to the ECU", "7F2712", true, numberOf(0x27, 0x12), "1003 2701", true},
        {"key not confirmed", "6701A1B2 6704", true, uds_error::kSecurityReplyMalformed,
         "1003 2701 2702C3D4", true},
    };
    for (const auto& c : cases) {
        Secured s;
        s.program->key = c.programWorks ? std::optional(ByteString{0xC3, 0xD4}) : std::nullopt;
        EXPECT_EQ(s.exchange(kSession, std::string("500300320190 ") + c.replies), c.error)
            << c.name << ": " << s.text;
        EXPECT_EQ(s.sent(), c.sent) << c.name;
        EXPECT_EQ(s.session.unlocked(), c.error == 0) << c.name;
        EXPECT_EQ(s.program->calls,
                  std::string(c.sent).find("2702") != std::string::npos || !c.programWorks
                      ? "01 A1B2"
                      : "")
            << c.name;
        // Neither seed nor key in a message.
        EXPECT_EQ(s.text.find("A1B2") + s.text.find("C3D4"), 2 * std::string::npos) << c.name;
        if (c.error != 0) {
            // Locked memory says why it is still locked.
            const std::string why = s.text;
            s.exchange(kRead, "7F2333");
            EXPECT_NE(s.text.find(why), std::string::npos) << s.text;
            s.now += milliseconds(9999);
            s.exchange(kSession, "500300320190");
            EXPECT_EQ(s.sent(), "1003") << c.name;
            s.now += milliseconds(1);
            s.exchange(kSession, "500300320190 -");
            EXPECT_EQ(s.sent(), c.asksAgain ? "1003 2701" : "1003") << c.name;
        }
    }
}

// 37: the step says so; 10 s later the next request asks for a seed first,
// three times at most, and goes out whatever the answer; locked memory tells
// why it is still locked.
TEST(SecurityAccess, TimeDelayIsWaitedOutThreeTimesAtMost) {
    Secured s;
    EXPECT_EQ(s.exchange(kSession, "500300320190 7F2737"), numberOf(0x27, 0x37));
    EXPECT_NE(s.text.find("10 s"), std::string::npos) << s.text;
    s.now += milliseconds(5000);
    EXPECT_EQ(s.exchange(kRead, "6312"), 0);
    EXPECT_EQ(s.sent(), "2314001000");
    s.now += milliseconds(5000);
    for (const char* why : {"wait 2 of 3", "wait 3 of 3", "no further"}) {
        EXPECT_EQ(s.exchange(kRead, "7F2737 7F2333"), numberOf(0x23, 0x33)) << why;
        EXPECT_EQ(s.sent(), "2701 2314001000") << why;
        EXPECT_NE(s.text.find(why), std::string::npos) << s.text;
        s.now += milliseconds(10000);
    }
    EXPECT_EQ(s.exchange(kRead, "6312"), 0);
    EXPECT_EQ(s.sent(), "2314001000");
}

TEST(UdsLinkSession, TesterPresentOnlyAfterTwoSecondsWithoutARequest) {
    Secured s;
    for (const long at : {1999, 2000, 3000}) {
        s.now = UdsLinkSession::TimePoint(milliseconds(at));
        s.session.keepAlive(s.link);
    }
    s.link.replies = testing::replyScript("63");
    s.session.exchange(s.link, ByteString{0x23});
    s.now += milliseconds(1999);
    s.session.keepAlive(s.link);
    s.now += milliseconds(1);
    s.session.keepAlive(s.link);
    // At 2 s, and 2 s after the request; nothing waits for a reply to it.
    EXPECT_EQ(s.sent(), "3E80 23 3E80");
    EXPECT_EQ(s.link.waits.size(), 1U);
}

} // namespace
} // namespace vistrel
