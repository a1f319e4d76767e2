// SPDX-License-Identifier: MIT
// What a UDS link does around its exchanges: the session request and the
// mismatch messages, security access with a fake key program on a fake
// clock.

#include "components/uds_negative_response.h"
#include "fakes/error_of.h"
#include "fakes/scripted_message_link.h"
#include "link/family_mismatch.h"
#include "link/kwp_exchange.h"
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

// The key C3D4 for any seed, or a failure.
struct FakeKeyProgram : KeyProgram {
    bool works = true;
    ByteString keyFor(std::uint8_t level, const ByteString& seed) override {
        if (!works || level != 0x01 || seed != ByteString{0xA1, 0xB2}) {
            throw Error(uds_error::kKeyProgramFailed, "the key program failed");
        }
        return {0xC3, 0xD4};
    }
};

// A session (with security=01 unless told otherwise) on a fake clock; each
// exchange gives the error's number (or 0) and keeps its text.
struct Session {
    explicit Session(bool secured = true)
        : session(secured ? std::optional<std::uint8_t>(0x01) : std::nullopt,
                  secured ? std::move(spare) : nullptr, [this] { return now; }) {}
    UdsLinkSession::TimePoint now{};
    std::unique_ptr<FakeKeyProgram> spare = std::make_unique<FakeKeyProgram>();
    FakeKeyProgram* program = spare.get();
    UdsLinkSession session;
    testing::ScriptedMessageLink link;
    std::string text;

    std::int32_t exchange(const ByteString& request, const std::string& replies, bool kwp = false) {
        link.sent.clear();
        link.replies = testing::replyScript(replies);
        ReplyStep step = kwpReplyStep();
        const auto error = testing::errorOf([&] {
            kwp ? kwpCheckedExchange(link, request, step) : session.exchange(link, request);
        });
        text = error ? error->description() : "";
        return error ? error->number() : 0;
    }
};

// The ECU's family against the link's: every sign in the session exchange
// becomes its own message, naming what to change.
TEST(SessionMismatch, SessionRepliesOfTheOtherFamily) {
    const struct {
        bool kwp;
        const char* request;
        const char* replies;
        std::int32_t error;
        const char* hint;
    } cases[] = {
        {false, "10A0", "7F1012", uds_error::kDefaultSessionRequest, "1003"},
        {false, "10A0", "-", uds_error::kDefaultSessionRequest, "1003"},
        {false, "10A0", "50A0", uds_error::kFamilyMismatch, "diag=kwp"},
        {false, "1003", "7F1011", uds_error::kFamilyMismatch, "diag=kwp"},
        {false, "1003", "5003", uds_error::kFamilyMismatch, "diag=kwp"},
        {false, "1003", "500300320190", 0, ""},
        {true, "10A0", "7F1012", uds_error::kFamilyMismatch, "diag=uds"},
        {true, "1081", "5081003201F4", uds_error::kFamilyMismatch, "diag=uds"},
    };
    for (const auto& c : cases) {
        Session s(false);
        EXPECT_EQ(s.exchange(ByteString::fromText(c.request), c.replies, c.kwp), c.error)
            << c.request << " " << c.replies;
        EXPECT_NE(s.text.find(c.hint), std::string::npos) << s.text;
    }
}

// One session request with security=01: what goes out, what it becomes;
// that locked memory then says why; whether a session 10 s later asks for a
// seed again (never sooner). No seed or key in a message.
TEST(SecurityAccess, SeedKeyAndTheRefusals) {
    const struct {
        const char* replies; // after the session reply
        bool programWorks;
        std::int32_t error;
        const char* sent;
        bool asksAgain;
    } cases[] = {
        {"67010000", true, 0, "1003 2701", false},
        {"6701A1B2 6702", true, 0, "1003 2701 2702C3D4", false},
        {"6701A1B2 7F2735", true, numberOf(0x27, 0x35), "1003 2701 2702C3D4", false},
        {"7F2736", true, numberOf(0x27, 0x36), "1003 2701", false},
        {"6701A1B2", false, uds_error::kKeyProgramFailed, "1003 2701", true},
        {"7F2712", true, numberOf(0x27, 0x12), "1003 2701", true},
    };
    for (const auto& c : cases) {
        Session s;
        s.program->works = c.programWorks;
        EXPECT_EQ(s.exchange(kSession, std::string("500300320190 ") + c.replies), c.error)
            << c.replies << ": " << s.text;
        EXPECT_EQ(s.link.sent, c.sent) << c.replies;
        EXPECT_EQ(s.session.unlocked(), c.error == 0) << c.replies;
        EXPECT_EQ(s.text.find("A1B2") + s.text.find("C3D4"), 2 * std::string::npos) << s.text;
        if (c.error != 0) {
            const std::string why = s.text;
            s.exchange(kRead, "7F2333");
            EXPECT_NE(s.text.find(why), std::string::npos) << s.text;
            s.now += milliseconds(9999);
            s.exchange(kSession, "500300320190");
            EXPECT_EQ(s.link.sent, "1003") << c.replies;
            s.now += milliseconds(1);
            s.exchange(kSession, "500300320190 -");
            EXPECT_EQ(s.link.sent, c.asksAgain ? "1003 2701" : "1003") << c.replies;
        }
    }
}

// 37: the step says so; 10 s later the next request asks for a seed first,
// three times at most, and goes out whatever the answer.
TEST(SecurityAccess, TimeDelayIsWaitedOutThreeTimesAtMost) {
    Session s;
    EXPECT_EQ(s.exchange(kSession, "500300320190 7F2737"), numberOf(0x27, 0x37));
    EXPECT_NE(s.text.find("10 s"), std::string::npos) << s.text;
    s.now += milliseconds(5000);
    EXPECT_EQ(s.exchange(kRead, "6312"), 0);
    for (const char* why : {"wait 2 of 3", "wait 3 of 3", "no further", ""}) {
        s.now += milliseconds(5000);
        EXPECT_EQ(s.exchange(kRead, *why ? "7F2737 7F2333" : "7F2333"), numberOf(0x23, 0x33));
        EXPECT_EQ(s.link.sent, *why ? "2701 2314001000" : "2314001000") << why;
        EXPECT_NE(s.text.find(why), std::string::npos) << s.text;
        s.now += milliseconds(5000);
    }
}

// A read after one that timed out waits for TesterPresent's answer first:
// the late answer before it is dropped, never taken for the new read's.
TEST(UdsSession, ALateAnswerNeverPassesForTheNextRead) {
    testing::ScriptedMessageLink link("- 62F19011 7E00 62F19022");
    UdsLinkSession session;
    const ByteString read = ByteString::fromText("22F190");
    EXPECT_THROW(session.exchange(link, read), Error);
    EXPECT_EQ(session.exchange(link, read).text(), "62F19022");
    EXPECT_EQ(link.sent, "22F190 3E00 22F190");
}

} // namespace
} // namespace vistrel
