// SPDX-License-Identifier: MIT
#include "components/error.h"
#include "item_test_support.h"

#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

namespace vistrel {
namespace {

TEST(CanXmlAddReadMemory, WritesTheSingleFrameAndTheReplySlot) {
    const struct {
        const char* address;
        std::int32_t length;
        std::int32_t lengthSize;
        const char* elements; // what is appended, in raw XML
        const char* replyKey; // nullptr when the item gives up the batch
    } cases[] = {
        {"01A2B3", 2, 1, "<s><d>052301A2B3020000</d></s>\r\n<r c=\"01A2B32\"/>", "01A2B32"},
        {"01A2B3", 2, 2, "<s><d>062301A2B3000200</d></s>\r\n<r c=\"01A2B32\"/>", "01A2B32"},
        {"0A", 6, 1, "<s><d>03230A0600000000</d></s>\r\n<r c=\"0A6\"/>", "0A6"},
        {"0102030405", 2, 1, "<s><d>0723010203040502</d></s>\r\n<r c=\"01020304052\"/>",
         "01020304052"},
        // Lengths past 6 do not fit one reply frame: the request stays but
        // the item gives up the batch.
        {"01A2B3", 7, 1, "<s><d>052301A2B3070000</d></s>\r\n", nullptr},
        // More than 7 request bytes do not fit one frame at all.
        {"0102030405", 2, 2, "", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.address << ' ' << c.length << ' ' << c.lengthSize);
        VistrelItem item = testing::makeItem(c.address, c.length);
        pugi::xml_document document;
        const pugi::xml_node x = document.append_child("x");
        EXPECT_EQ(item.CanXmlAddReadMemory(x, c.lengthSize), c.replyKey != nullptr);
        std::ostringstream written;
        for (const pugi::xml_node node : x.children()) {
            node.print(written, "", pugi::format_raw);
        }
        EXPECT_EQ(written.str(), c.elements);
        if (c.replyKey != nullptr) {
            EXPECT_EQ(item.canXmlReplyKey(), c.replyKey);
        }
    }
}

struct DecodeCase {
    const char* reply;
    std::int32_t code;
    const char* errorText;
    const char* value;    // value bytes afterwards; the earlier "ABCD" stays on errors
    bool refused = false; // text that cannot be judged throws and leaves the item alone
};

TEST(CanXmlDecode, JudgesEachKindOfReply) {
    const std::vector<DecodeCase> cases = {
        {"631234", 0, "", "1234"},
        {"63123456", 0, "", "1234"},
        {"6312", 2002, "Incomplet reply (6312)", "ABCD"},
        {"5012", 2003, "Answer format illegal (5012)", "ABCD"},
        {"7F2321", 2035, "Busy-repeat request", "ABCD"},
        {"7F2331", 2040, "Service 23 Negative response 31", "ABCD"},
        {"7F2231", 2041, "Illegal negative reply (7F2231)", "ABCD"},
        // The reply text is quoted exactly as received.
        {"7f2231", 2041, "Illegal negative reply (7f2231)", "ABCD"},
        {"", 0, "", "ABCD", true},
        {"7F23", 0, "", "ABCD", true},
        {"XY12", 0, "", "ABCD", true},
        {"631", 0, "", "ABCD", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reply);
        VistrelItem item = testing::makeItem("01A2B3", 2, "BE", "H");
        testing::giveValue(item, "ABCD");
        if (c.refused) {
            EXPECT_THROW(item.CanXmlDecode(c.reply), Error);
        } else {
            EXPECT_FALSE(item.CanXmlDecode(c.reply));
        }
        EXPECT_EQ(item.errorCode(), c.code);
        EXPECT_EQ(item.errorText(), c.errorText);
        EXPECT_EQ(item.valueByte().text(), c.value);
        EXPECT_EQ(item.text(), c.code == 0 ? std::string(c.value) : std::string(c.errorText));
    }
}

} // namespace
} // namespace vistrel
