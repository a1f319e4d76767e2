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
    const char* reply; // what SendReceive answers, or nullptr when it throws the outcome
    Error outcome;
    bool reported;
};

TEST(ReadMemory, KeepsEveryFailureAndReportsAllButKnownRefusals) {
    const std::vector<FailureCase> cases = {
        {"busy", nullptr, Error(2035, "Busy-repeat request"), false},
        {"other negative response", nullptr, Error(2040, "Service 23 Negative response 31"), true},
        {"time-out", nullptr, Error(2000, "No answer at due time"), true},
        {"number beyond 16 bits", nullptr, Error(70000, "Link lost"), true},
        {"short positive reply", "6312", Error(2002, "Incomplet reply (6312)"), true},
        {"negative reply let through", "7F2321", Error(2003, "Answer format illegal (7F2321)"),
         true},
        {"empty reply", "", Error(2003, "Answer format illegal ()"), true},
        {"other service", "611234", Error(2003, "Answer format illegal (611234)"), true},
    };
    const auto recorded = [](const Attributes& outcome) {
        Attributes record{{"name", ""}, {"addr", "01A2B3"}, {"send", "2301A2B302"}};
        record.insert(record.end(), outcome.begin(), outcome.end());
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
        EXPECT_EQ(testing::attributesOf(root.last_child()),
                  recorded({{"receive", "63123456"}, {"value", "1234"}}));

        if (c.reply == nullptr) {
            protocol.answers.emplace_back(c.outcome);
        } else {
            protocol.reply(c.reply);
        }
        const auto reported = testing::errorOf([&] { item.ReadMemory(protocol, 1, root); });
        const std::string text = c.outcome.description();
        EXPECT_EQ(item.errorCode(), c.outcome.number());
        EXPECT_EQ(item.errorText(), text);
        EXPECT_EQ(item.text(), text);
        EXPECT_TRUE(item.valueByte().empty());
        EXPECT_EQ(testing::attributesOf(root.last_child()), recorded({{"error", text}}));
        EXPECT_EQ(root.last_child().previous_sibling().name(), std::string("data"));
        ASSERT_EQ(reported.has_value(), c.reported);
        if (reported) {
            EXPECT_EQ(reported->number(), c.outcome.number());
            EXPECT_EQ(reported->description(), text);
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
