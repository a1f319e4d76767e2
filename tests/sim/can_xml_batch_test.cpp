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
  <memory address="040000">01</memory>
</ecu>)";

TEST(SimCanXml, AnswersEveryFrameUnderItsReplyElement) {
    const auto ecu = testing::ecuFrom(kEcu);
    // Silent both by the description (030000) and at run time (040000).
    ecu->silence(0x040000, 1);
    const struct {
        const char* frame;
        const char* key;
        const char* reply;
        const char* error;
    } cases[] = {
        {"052301A2B3020000", "01A2B32", "0363123400000000", ""},
        {"062301A2B3000200", "01A2B32x", "0363123400000000", ""},
        {"0523020000010000", "0200001", "037F232200000000", ""},
        {"0523FFFFFF010000", "FFFFFF1", "037F233100000000", ""},
        {"052301A2B3070000", "01A2B37", "100863123456789A21BCDE0000000000", ""},
        {"0523030000010000", "0300001", "", "ErrorRcvTO"},
        {"0523040000010000", "0400001", "", "ErrorRcvTO"},
        {"2301A2B3", "01A2B31", "", "ErrorFrame"},
    };
    // A request without a reply element gets one, right behind it.
    std::vector<BatchItem> batch{{"052301A2B3010000", nullptr}};
    for (const auto& c : cases) {
        batch.push_back({c.frame, c.key});
    }
    const auto document = batchRequest(batch);
    ecu->canXml()->CanXmlExecute(*document);
    const pugi::xml_node first = document->child("can").child("x").child("s").next_sibling();
    EXPECT_EQ(std::string(first.name()) + " " + first.child("d").text().get(),
              "r 0263120000000000");
    for (const auto& c : cases) {
        EXPECT_EQ(replyOf(*document, c.key, "d"), c.reply) << c.key;
        EXPECT_EQ(replyOf(*document, c.key, "e"), c.error) << c.key;
    }
    // The malformed frame is not sent.
    EXPECT_EQ(ecu->exchangeCount(), 8u);
}

} // namespace
} // namespace vistrel
