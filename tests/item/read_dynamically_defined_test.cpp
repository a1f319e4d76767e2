// SPDX-License-Identifier: MIT
#include "components/error.h"
#include "fakes/scripted_protocol.h"
#include "item_test_support.h"

#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <sstream>
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
    std::int32_t code;
    const char* text; // the item's text afterwards
    bool reported;
    const char* record; // the attributes of the snapshot record after "name addr DefSend"
};

TEST(ReadDynamicallyDefined, DefinesThenReadsAndReportsOnlyRepliesThatCarryNoValue) {
    const char* good = "DefReceive ReadSend ReadReceive value";
    const char* readFailed = "DefReceive ReadSend ReadError";
    const std::vector<Case> cases = {
        {"exact reply", std::nullopt, std::nullopt, "61E01234", 0, "1234", false, good},
        {"one byte after the identifier", std::nullopt, std::nullopt, "61E0011234", 0, "1234",
         false, good},
        {"longer reply", std::nullopt, std::nullopt, "61E012345678", 0, "3456", false, good},
        {"reply too short", std::nullopt, std::nullopt, "61E012", 1,
         "Reply to short : request=(21E0) reply=(61E012)", true, "DefReceive ReadSend"},
        {"negative reply let through", std::nullopt, std::nullopt, "7F213112", 2003,
         "Answer format illegal (7F213112)", true, readFailed},
        {"define refused", Error(2032, "Service not supported"), std::nullopt, "", 2032,
         "Service not supported", false, "DefError"},
        {"read failed", std::nullopt, Error(70000, "Link lost"), "", 70000, "Link lost", false,
         readFailed},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        pugi::xml_document document;
        const pugi::xml_node root = document.append_child("snapshot");
        VistrelItem item = testing::makeItem("01A2B3", 2, "BE", "H");
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

        const auto reported =
            testing::errorOf([&] { item.ReadDynamicallyDefined(protocol, root); });
        EXPECT_EQ(item.errorCode(), c.code);
        EXPECT_EQ(item.text(), c.text);
        EXPECT_EQ(item.valueByte().empty(), c.code != 0);
        ASSERT_EQ(reported.has_value(), c.reported);
        if (reported) {
            EXPECT_EQ(reported->number(), c.code);
            EXPECT_EQ(reported->description(), c.text);
            EXPECT_EQ(reported->source(), "ReadDynamicallyDefined");
        }
        const std::string define = "2CE0D001020001A2B3";
        std::vector<std::string> requests{define, "21E0"};
        requests.resize(c.defineFailure ? 1 : 2);
        EXPECT_EQ(protocol.requests, requests);
        // Every step the record names, with what was sent, received or failed.
        const std::map<std::string, std::string> values = {
            {"name", ""},           {"addr", "01A2B3"},    {"DefSend", define},
            {"DefReceive", "6CE0"}, {"ReadSend", "21E0"},  {"ReadReceive", c.readReply},
            {"value", c.text},      {"ReadError", c.text}, {"DefError", c.text}};
        testing::Attributes expected;
        std::istringstream names(std::string("name addr DefSend ") + c.record);
        for (std::string name; names >> name;) {
            expected.emplace_back(name, values.at(name));
        }
        EXPECT_EQ(testing::attributesOf(root.child("data")), expected);
    }
}

} // namespace
} // namespace vistrel
