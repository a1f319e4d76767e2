// SPDX-License-Identifier: MIT
#include "sim/can_frames.h"
#include "sim_test_support.h"

#include <gtest/gtest.h>
#include <optional>
#include <pugixml.hpp>
#include <vector>

namespace vistrel {
namespace {

TEST(SimCanFrames, SingleFrameRequests) {
    struct Case {
        const char* frame;
        std::optional<std::string> request;
    };
    for (const Case& c :
         {Case{"052301A2B3020000", "2301A2B302"}, Case{"062301A2B3000200", "2301A2B30002"},
          Case{"0110", "10"}, Case{"0772E0D001020001", "72E0D001020001"},
          Case{"022300000000000000", std::nullopt}, // 9 bytes: not a CAN frame
          Case{"0223", std::nullopt},               // data shorter than its length
          Case{"0023000000000000", std::nullopt},   // length 0
          Case{"0823000000000000", std::nullopt},   // length 8
          Case{"1005230000000000", std::nullopt},   // first frame
          Case{"05230", std::nullopt}, Case{"XX", std::nullopt}, Case{"", std::nullopt}}) {
        const std::optional<ByteString> request = singleFrameRequest(c.frame);
        EXPECT_EQ(request ? std::optional(request->text()) : std::nullopt, c.request) << c.frame;
    }
}

TEST(SimCanFrames, ReplyFrames) {
    struct Case {
        const char* reply;
        const char* frames;
    };
    for (const Case& c : {
             Case{"631234", "0363123400000000"},
             Case{"7F2331", "037F233100000000"},
             Case{"63010203040506", "0763010203040506"},
             Case{"6301020304050607", "1008630102030405"
                                      "2106070000000000"},
             Case{"630102030405060708090A0B0C0D0E0F10", "1011630102030405"
                                                        "21060708090A0B0C"
                                                        "220D0E0F10000000"},
         }) {
        EXPECT_EQ(replyFrames(ByteString::fromText(c.reply)), c.frames) << c.reply;
    }
}

TEST(SimCanFrames, LongRepliesUseTheEscapedFirstFrameAndWrapTheSequence) {
    ByteString reply;
    reply.setLength(5000);
    const std::string frames = replyFrames(reply);
    EXPECT_EQ(frames.substr(0, 16), "1000000013880000");
    // 5000 - 2 bytes in 7-byte consecutive frames: 714 frames, numbered 1..F, 0, 1...
    EXPECT_EQ(frames.size(), 16u * 715);
    EXPECT_EQ(frames.substr(16 * 15, 2), "2F");
    EXPECT_EQ(frames.substr(16 * 16, 2), "20");
}

// A batch request as the item list writes it: can > x > (s > d, CR LF, r)...
struct BatchItem {
    const char* frame;
    const char* key;
};

std::unique_ptr<pugi::xml_document> batchRequest(const std::vector<BatchItem>& items) {
    auto document = std::make_unique<pugi::xml_document>();
    pugi::xml_node x = document->append_child("can").append_child("x");
    x.append_attribute("i").set_value(1793);
    x.append_child("i").text().set(1801);
    for (const BatchItem& item : items) {
        x.append_child("s").append_child("d").text().set(item.frame);
        x.append_child(pugi::node_pcdata).set_value("\r\n");
        if (item.key != nullptr) {
            x.append_child("r").append_attribute("c").set_value(item.key);
        }
        x.append_child(pugi::node_pcdata).set_value("\r\n");
    }
    return document;
}

std::string replyOf(const pugi::xml_document& document, const char* key, const char* element) {
    const std::string path = std::string("//r[@c='") + key + "']/" + element;
    return document.select_node(path.c_str()).node().text().get();
}

constexpr std::string_view kEcu = R"(<ecu protocolName="Marlotel">
  <memory address="01A2B3">12 34 56 78 9A BC DE</memory>
  <memory address="020000">00 11</memory>
  <refuse address="020000" length="2" nrc="22"/>
  <silent address="030000"/>
</ecu>)";

TEST(SimCanXml, AnswersEveryFrameUnderItsReplyElement) {
    const auto ecu = testing::ecuFrom(kEcu);
    const auto document = batchRequest({{"052301A2B3020000", "01A2B32"},
                                        {"062301A2B3000200", "01A2B32x"},
                                        {"0523020000010000", "0200001"},
                                        {"0523FFFFFF010000", "FFFFFF1"},
                                        {"052301A2B3070000", "01A2B37"}});
    ecu->canXml()->CanXmlExecute(*document);
    EXPECT_EQ(replyOf(*document, "01A2B32", "d"), "0363123400000000");
    EXPECT_EQ(replyOf(*document, "01A2B32x", "d"), "0363123400000000");
    EXPECT_EQ(replyOf(*document, "0200001", "d"), "037F232200000000");
    EXPECT_EQ(replyOf(*document, "FFFFFF1", "d"), "037F233100000000");
    EXPECT_EQ(replyOf(*document, "01A2B37", "d"), "100863123456789A"
                                                  "21BCDE0000000000");
    EXPECT_FALSE(document->select_node("//e"));
    EXPECT_EQ(ecu->exchangeCount(), 5u);
}

// Both the silent range of the description and one set at run time.
TEST(SimCanXml, SilentRangeAddsTheReceiveTimeout) {
    const auto ecu = testing::ecuFrom(kEcu);
    ecu->silence(0x01A2B4, 1);
    const auto document = batchRequest({{"0523030000010000", "0300001"},
                                        {"052301A2B4010000", "01A2B41"},
                                        {"052301A2B3010000", "01A2B31"}});
    ecu->canXml()->CanXmlExecute(*document);
    for (const char* key : {"0300001", "01A2B41"}) {
        EXPECT_EQ(replyOf(*document, key, "e"), "ErrorRcvTO") << key;
        EXPECT_EQ(replyOf(*document, key, "d"), "") << key;
    }
    EXPECT_EQ(replyOf(*document, "01A2B31", "d"), "0263120000000000");
}

TEST(SimCanXml, MalformedFrameIsReportedNotSent) {
    const auto ecu = testing::ecuFrom(kEcu);
    const auto document = batchRequest({{"2301A2B3", "01A2B31"}});
    ecu->canXml()->CanXmlExecute(*document);
    EXPECT_EQ(replyOf(*document, "01A2B31", "e"), "ErrorFrame");
    EXPECT_EQ(ecu->exchangeCount(), 0u);
}

TEST(SimCanXml, RequestWithoutReplyElementGetsOne) {
    const auto ecu = testing::ecuFrom(kEcu);
    const auto document =
        batchRequest({{"052301A2B3010000", nullptr}, {"0523020000010000", "0200001"}});
    ecu->canXml()->CanXmlExecute(*document);
    const pugi::xml_node first = document->child("can").child("x").child("s");
    EXPECT_EQ(std::string(first.next_sibling().name()), "r");
    EXPECT_EQ(std::string(first.next_sibling().child("d").text().get()), "0263120000000000");
    EXPECT_EQ(replyOf(*document, "0200001", "d"), "037F232200000000");
}

} // namespace
} // namespace vistrel
