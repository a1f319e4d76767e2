// SPDX-License-Identifier: MIT
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

// Every failed read leaves the item without value bytes, with the failure as
// its error and as the record of the exchange; only refusals with a known
// reason stay quiet. The next good read clears it all again.
struct FailureCase {
    const char* what;
    std::optional<Error> raised; // what SendReceive throws, or none
    const char* reply;           // what it answers otherwise
    std::int32_t code;
    const char* text;
    bool reported;
};

TEST(ReadMemory, KeepsEveryFailureAndReportsAllButKnownRefusals) {
    const std::vector<FailureCase> cases = {
        {"general reject", Error(2044, "General Reject"), "", 2044, "General Reject", false},
        {"busy", Error(2035, "Busy-repeat request"), "", 2035, "Busy-repeat request", false},
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
    const Attributes exchange{{"name", ""}, {"addr", "01A2B3"}, {"send", "2301A2B302"}};
    const auto recorded = [&](const char* key, const char* value) {
        Attributes record = exchange;
        record.emplace_back(key, value);
        return record;
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        pugi::xml_document document;
        const pugi::xml_node root = document.append_child("snapshot");
        VistrelItem item = testing::makeItem("01A2B3", 2, "BE", "H");
        ScriptedProtocol protocol;
        protocol.reply("63123456"); // bytes past the length are ignored
        item.ReadMemory(protocol, 1, root);
        ASSERT_EQ(item.valueByte().text(), "1234");
        Attributes good = recorded("receive", "63123456");
        good.emplace_back("value", "1234");
        EXPECT_EQ(testing::attributesOf(root.last_child()), good);

        if (c.raised) {
            protocol.answers.emplace_back(*c.raised);
        } else {
            protocol.reply(c.reply);
        }
        std::optional<Error> reported;
        try {
            item.ReadMemory(protocol, 1, root);
        } catch (const Error& e) {
            reported = e;
        }
        EXPECT_EQ(item.errorCode(), c.code);
        EXPECT_EQ(item.errorText(), c.text);
        EXPECT_EQ(item.text(), c.text);
        EXPECT_TRUE(item.valueByte().empty());
        EXPECT_EQ(testing::attributesOf(root.last_child()), recorded("error", c.text));
        EXPECT_EQ(root.last_child().previous_sibling().name(), std::string("data"));
        ASSERT_EQ(reported.has_value(), c.reported);
        if (reported) {
            EXPECT_EQ(reported->number(), c.code);
            EXPECT_EQ(reported->description(), c.text);
        }

        protocol.reply("631234");
        item.ReadMemory(protocol, 1);
        EXPECT_EQ(item.errorCode(), 0);
        EXPECT_EQ(item.errorText(), "");
        EXPECT_EQ(item.text(), "1234");
    }
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

} // namespace
} // namespace vistrel
