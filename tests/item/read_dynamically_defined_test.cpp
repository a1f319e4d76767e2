// SPDX-License-Identifier: MIT
#include "components/error.h"
#include "fakes/scripted_protocol.h"
#include "item_test_support.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace vistrel {
namespace {

using testing::ScriptedProtocol;

// Step results as the snapshot and the item show them, for each way the two
// exchanges can end.
struct Case {
    const char* what;
    std::optional<Error> defineFailure;
    std::optional<Error> readFailure;
    const char* readReply;
    std::int32_t length;
    std::int32_t code;
    const char* text; // the item's text afterwards
    bool reported;
    const char* record; // the attributes of the snapshot record after "name addr DefSend"
};

std::vector<Case> cases() {
    const char* good = "DefReceive ReadSend ReadReceive value";
    const char* readFailed = "DefReceive ReadSend ReadError";
    return {
        {"exact reply", std::nullopt, std::nullopt, "61E01234", 2, 0, "1234", false, good},
        {"one byte after the identifier", std::nullopt, std::nullopt, "61E0011234", 2, 0, "1234",
         false, good},
        {"longer reply", std::nullopt, std::nullopt, "61E012345678", 2, 0, "3456", false, good},
        {"reply too short", std::nullopt, std::nullopt, "61E012", 2, 1,
         "Reply to short : request=(21E0) reply=(61E012)", true, "DefReceive ReadSend"},
        {"negative reply let through", std::nullopt, std::nullopt, "7F2131", 1, 2003,
         "Answer format illegal (7F2131)", true, readFailed},
        {"define refused", Error(2032, "Service not supported"), std::nullopt, "", 2, 2032,
         "Service not supported", false, "DefError"},
        {"define timed out", Error(2000, "No answer at due time"), std::nullopt, "", 2, 2000,
         "No answer at due time", false, "DefError"},
        {"read failed", std::nullopt, Error(70000, "Link lost"), "", 2, 70000, "Link lost", false,
         readFailed},
    };
}

TEST(ReadDynamicallyDefined, ReportsOnlyRepliesThatCarryNoValue) {
    for (const auto& c : cases()) {
        SCOPED_TRACE(c.what);
        pugi::xml_document document;
        const pugi::xml_node root = document.append_child("snapshot");
        VistrelItem item = testing::makeItem("01A2B3", c.length, "BE", "H");
        ScriptedProtocol protocol;
        if (c.defineFailure) {
            protocol.answers.emplace_back(*c.defineFailure);
        } else {
            protocol.reply("6CE0");
        }
        if (c.readFailure) {
            protocol.answers.emplace_back(*c.readFailure);
        } else {
            protocol.reply(c.readReply);
        }

        std::optional<Error> reported;
        try {
            item.ReadDynamicallyDefined(protocol, root);
        } catch (const Error& e) {
            reported = e;
        }
        EXPECT_EQ(item.errorCode(), c.code);
        EXPECT_EQ(item.text(), c.text);
        EXPECT_EQ(item.valueByte().empty(), c.code != 0);
        ASSERT_EQ(reported.has_value(), c.reported);
        if (reported) {
            EXPECT_EQ(reported->number(), c.code);
            EXPECT_EQ(reported->description(), c.text);
            EXPECT_EQ(reported->source(), "ReadDynamicallyDefined");
        }
        EXPECT_EQ(protocol.requests.size(), c.defineFailure ? 1U : 2U);
        EXPECT_EQ(testing::attributeNames(root.child("data")),
                  std::string("name addr DefSend ") + c.record);
    }
}

TEST(ReadDynamicallyDefined, DefinesThenReadsAndRecordsBothExchanges) {
    pugi::xml_document document;
    const pugi::xml_node root = document.append_child("snapshot");
    VistrelItem item = testing::makeItem("01A2B3", 2, "BE", "H");
    ScriptedProtocol protocol;
    protocol.reply("6CE0");
    protocol.reply("61E0011234");
    item.ReadDynamicallyDefined(protocol, root);
    EXPECT_EQ(protocol.requests, (std::vector<std::string>{"2CE0D001020001A2B3", "21E0"}));
    EXPECT_EQ(item.text(), "1234");
    EXPECT_EQ(testing::attributesOf(root.child("data")), (testing::Attributes{
                                                             {"name", ""},
                                                             {"addr", "01A2B3"},
                                                             {"DefSend", "2CE0D001020001A2B3"},
                                                             {"DefReceive", "6CE0"},
                                                             {"ReadSend", "21E0"},
                                                             {"ReadReceive", "61E0011234"},
                                                             {"value", "1234"},
                                                         }));
}

} // namespace
} // namespace vistrel
