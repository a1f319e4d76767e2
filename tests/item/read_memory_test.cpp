#include "components/error.h"
#include "fakes/scripted_protocol.h"
#include "item_test_support.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vistrel {
namespace {

using testing::Attributes;
using testing::ScriptedProtocol;

TEST(ReadMemory, LaysOutTheRequestForEachLengthSize) {
    struct Case {
        const char* address;
        std::int32_t length;
        std::int32_t lengthSize;
        const char* request;
    };
    const std::vector<Case> cases = {
        {"01A2B3", 2, 1, "2301A2B302"},           {"01A2B3", 2, 2, "2301A2B30002"},
        {"01A2B3", 2, 0, "2301A2B302"},           {"01A2B3", 2, 3, "2301A2B302"},
        {"0A1F20", 8, 2, "230A1F200008"},         {"FF", 1, 1, "23FF01"},
        {"0102030405", 4, 2, "2301020304050004"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.request);
        VistrelItem item = testing::makeItem(c.address, c.length);
        ScriptedProtocol protocol;
        protocol.reply("63" + std::string(2 * static_cast<std::size_t>(c.length), '0'));
        item.ReadMemory(protocol, c.lengthSize);
        EXPECT_EQ(protocol.requests, std::vector<std::string>{c.request});
    }
}

TEST(ReadMemory, TakesTheValueBytesOfAPositiveReply) {
    for (const char* reply : {"631234", "63123456"}) {
        SCOPED_TRACE(reply);
        VistrelItem item = testing::makeItem("01A2B3", 2, "BE", "H");
        ScriptedProtocol protocol;
        protocol.reply(reply);
        item.ReadMemory(protocol, 1);
        EXPECT_EQ(item.errorCode(), 0);
        EXPECT_EQ(item.errorText(), "");
        EXPECT_EQ(item.valueByte().text(), "1234");
        EXPECT_EQ(item.text(), "1234");
    }
}

// Every failed read leaves the item without value bytes and with the failure
// as its error; only refusals with a known reason stay quiet.
struct FailureCase {
    const char* what;
    std::optional<Error> raised; // what SendReceive throws, or none
    const char* reply;           // what it answers otherwise
    std::int32_t code;
    const char* text;
    bool reported;
};

std::vector<FailureCase> failureCases() {
    return {
        {"general reject", Error(2044, "General Reject"), "", 2044, "General Reject", false},
        {"not supported", Error(2032, "Service not supported"), "", 2032, "Service not supported",
         false},
        {"conditions", Error(2033, "Execution conditions not set"), "", 2033,
         "Execution conditions not set", false},
        {"sub function", Error(2034, "Sub function"), "", 2034, "Sub function", false},
        {"busy", Error(2035, "Busy-repeat request"), "", 2035, "Busy-repeat request", false},
        {"session", Error(2042, "Session"), "", 2042, "Session", false},
        {"routine", Error(2043, "Routine not complete"), "", 2043, "Routine not complete", false},
        {"other negative response", Error(2040, "Service 23 Negative response 31"), "", 2040,
         "Service 23 Negative response 31", true},
        {"time-out", Error(2000, "No answer at due time"), "", 2000, "No answer at due time", true},
        {"number beyond 16 bits", Error(70000, "Link lost"), "", 70000, "Link lost", true},
        {"short positive reply", std::nullopt, "6312", 2002, "Incomplet reply (6312)", true},
        {"negative reply let through", std::nullopt, "7F2321", 2003,
         "Answer format illegal (7F2321)", true},
        {"empty reply", std::nullopt, "", 2003, "Answer format illegal ()", true},
        {"other service", std::nullopt, "611234", 2003, "Answer format illegal (611234)", true},
    };
}

TEST(ReadMemory, KeepsEveryFailureAndReportsAllButKnownRefusals) {
    for (const auto& c : failureCases()) {
        SCOPED_TRACE(c.what);
        VistrelItem item = testing::makeItem("01A2B3", 2);
        ScriptedProtocol protocol;
        protocol.reply("631234");
        item.ReadMemory(protocol, 1);
        ASSERT_EQ(item.valueByte().text(), "1234");

        if (c.raised) {
            protocol.answers.emplace_back(*c.raised);
        } else {
            protocol.reply(c.reply);
        }
        std::optional<Error> reported;
        try {
            item.ReadMemory(protocol, 1);
        } catch (const Error& e) {
            reported = e;
        }
        EXPECT_EQ(item.errorCode(), c.code);
        EXPECT_EQ(item.errorText(), c.text);
        EXPECT_EQ(item.text(), c.text);
        EXPECT_TRUE(item.valueByte().empty());
        ASSERT_EQ(reported.has_value(), c.reported);
        if (reported) {
            EXPECT_EQ(reported->number(), c.code);
            EXPECT_EQ(reported->description(), c.text);
        }
    }
}

TEST(ReadMemory, AGoodReadClearsThePreviousError) {
    VistrelItem item = testing::makeItem("01", 1);
    ScriptedProtocol protocol;
    protocol.fail(2035, "Busy-repeat request");
    protocol.reply("6342");
    item.ReadMemory(protocol, 1);
    item.ReadMemory(protocol, 1);
    EXPECT_EQ(item.errorCode(), 0);
    EXPECT_EQ(item.errorText(), "");
    EXPECT_EQ(item.text(), "66");
}

// A protocol object that answers once, then returns without filling the reply.
struct SilentAfterFirstAnswer : ScriptedProtocol {
    bool answered = false;
    void SendReceive(const ByteString& request, ByteString& reply) override {
        if (!std::exchange(answered, true)) {
            ScriptedProtocol::SendReceive(request, reply);
        }
    }
};

TEST(ReadMemory, AReplyLeftUnfilledNeverBringsBackTheLastValue) {
    VistrelItem item = testing::makeItem("01", 1);
    SilentAfterFirstAnswer protocol;
    protocol.reply("6342");
    item.ReadMemory(protocol, 1);
    EXPECT_EQ(item.text(), "66");
    EXPECT_THROW(item.ReadMemory(protocol, 1), Error);
    EXPECT_NE(item.errorCode(), 0);
}

TEST(ReadMemory, RecordsTheExchangeInTheSnapshot) {
    struct Case {
        const char* what;
        std::optional<Error> raised;
        const char* reply;
        Attributes record;
    };
    const std::vector<Case> cases = {
        {"good read",
         std::nullopt,
         "63123456",
         {{"name", ""},
          {"addr", "01A2B3"},
          {"send", "2301A2B302"},
          {"receive", "63123456"},
          {"value", "1234"}}},
        {"known refusal",
         Error(2035, "Busy-repeat request"),
         "",
         {{"name", ""},
          {"addr", "01A2B3"},
          {"send", "2301A2B302"},
          {"error", "Busy-repeat request"}}},
        {"time-out",
         Error(2000, "No answer at due time"),
         "",
         {{"name", ""},
          {"addr", "01A2B3"},
          {"send", "2301A2B302"},
          {"error", "No answer at due time"}}},
        {"wrong reply",
         std::nullopt,
         "6312",
         {{"name", ""},
          {"addr", "01A2B3"},
          {"send", "2301A2B302"},
          {"error", "Incomplet reply (6312)"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        pugi::xml_document document;
        pugi::xml_node root = document.append_child("snapshot");
        root.append_child("earlier");
        VistrelItem item = testing::makeItem("01A2B3", 2);
        ScriptedProtocol protocol;
        if (c.raised) {
            protocol.answers.emplace_back(*c.raised);
        } else {
            protocol.reply(c.reply);
        }
        try {
            item.ReadMemory(protocol, 1, root);
        } catch (const Error&) {
            // The record must be complete whether or not the read is reported.
        }
        const pugi::xml_node record = root.last_child();
        EXPECT_STREQ(record.name(), "data");
        EXPECT_STREQ(record.previous_sibling().name(), "earlier");
        EXPECT_EQ(testing::attributesOf(record), c.record);
        EXPECT_FALSE(record.first_child());
    }
}

} // namespace
} // namespace vistrel
