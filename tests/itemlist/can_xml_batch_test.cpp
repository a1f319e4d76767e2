// SPDX-License-Identifier: MIT
#include "components/error.h"
#include "itemlist/vistrel_items.h"
#include "itemlist_test_support.h"

#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

namespace vistrel {
namespace {

std::string raw(const pugi::xml_document& document) {
    std::ostringstream out;
    document.save(out, "", pugi::format_raw | pugi::format_no_declaration);
    return out.str();
}

std::unique_ptr<pugi::xml_document> parse(const std::string& text) {
    auto document = std::make_unique<pugi::xml_document>();
    EXPECT_TRUE(document->load_string(text.c_str())) << text;
    return document;
}

constexpr const char* kEnvelope = R"(<?xml version="1.0" encoding="utf-8"?><?timings?>)"
                                  "<can>\r\n<x i=\"2016\">\r\n<i>2024</i>\r\n";

TEST(CanXmlGetReadMemory, OneElementPerDistinctAddressAndLength) {
    VistrelItems items(testing::kEnglish);
    const auto empty = items.CanXmlGetReadMemory(2016, 2024);
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(raw(*empty), std::string(kEnvelope) + "</x></can>");
    items.add("01A2B3").setLength(2);
    items.add("01a2b3").setLength(1); // same address, other length: its own request
    items.add("01A2B3").setLength(2); // same identity as the first: shares its reply
    items.setLengthSize(2);
    const auto request = items.CanXmlGetReadMemory(2016, 2024);
    ASSERT_NE(request, nullptr);
    EXPECT_EQ(raw(*request), std::string(kEnvelope) +
                                 "<s><d>062301A2B3000200</d></s>\r\n<r c=\"01A2B32\"/>\r\n"
                                 "<s><d>062301A2B3000100</d></s>\r\n<r c=\"01A2B31\"/>\r\n"
                                 "</x></can>");
    // Which items cannot take part is the item's call; one of them is enough.
    items.add("01").setLength(7);
    EXPECT_EQ(items.CanXmlGetReadMemory(1, 2), nullptr);
}

class CanXmlReply : public ::testing::Test {
protected:
    void SetUp() override {
        items.add("01A2B3").setLength(2);
        items.add("0A").setLength(1);
        items.add("01A2B3").setLength(2);
    }
    std::vector<std::string> values() const {
        std::vector<std::string> out;
        for (const auto& each : items) {
            out.push_back(each->valueByte().text() + "/" + std::to_string(each->errorCode()));
        }
        return out;
    }
    VistrelItems items{testing::kEnglish};
};

// Items that share a key share its reply; an item without a reply of its own
// (the one for 0A2 is not the 0A1 item's) keeps what it had.
TEST_F(CanXmlReply, RepliesReachEveryItemWithTheirKey) {
    items.at(1).CanXmlDecode("6377");
    const auto reply = parse("<can><x i='1'><i>2</i>"
                             "<s><d>052301A2B3020000</d></s><r c='01A2B32'><d>05631234</d></r>"
                             "<s><d>03230A0200000000</d></s><r c='0A2'><d>0263AABB</d></r>"
                             "</x></can>");
    EXPECT_FALSE(items.CanXmlDecode(*reply));
    EXPECT_EQ(values(), (std::vector<std::string>{"1234/0", "77/0", "1234/0"}));
    // A one-character "d" hands the item the empty text, which it cannot
    // judge: the walk ends there and the third item keeps its earlier value.
    const auto broken =
        parse("<can><r c='01A2B32'><d>05635678</d></r><r c='0A1'><d>0</d></r></can>");
    EXPECT_THROW(items.CanXmlDecode(*broken), Error);
    EXPECT_EQ(values(), (std::vector<std::string>{"5678/0", "77/0", "1234/0"}));
}

TEST_F(CanXmlReply, AnErrorElementAnywhereWins) {
    const struct {
        const char* text;
        std::int32_t number;
        const char* description;
    } cases[] = {
        {"ErrorRcvTO", 2000, "No answer at due time"},
        {"ErrorSndTO", 1015, "CAN Send error, BUS off or NACK"},
        {"errorrcvto", 3000, "Unknown error (errorrcvto)"},
        {"", 3000, "Unknown error ()"},
    };
    for (const auto& c : cases) {
        const auto reply = parse(std::string("<can><r c='01A2B32'><d>05631234</d></r>"
                                             "<deep><deeper><e>") +
                                 c.text + "</e></deeper></deep></can>");
        const auto error = testing::errorOf([&] { items.CanXmlDecode(*reply); });
        ASSERT_TRUE(error) << c.text;
        EXPECT_EQ(error->number(), c.number);
        EXPECT_EQ(error->description(), c.description);
        EXPECT_EQ(values(), (std::vector<std::string>{"/0", "/0", "/0"})) << c.text;
    }
}

} // namespace
} // namespace vistrel
