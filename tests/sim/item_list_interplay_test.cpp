// SPDX-License-Identifier: MIT
// The simulator as the item list meets it: batch documents that the list
// builds, and the demo item files read against the demo ECU.
#include "itemlist/vistrel_items.h"
#include "sim_test_support.h"

#include <gtest/gtest.h>
#include <map>
#include <pugixml.hpp>
#include <sstream>

namespace vistrel {
namespace {

void addLines(VistrelItems& items, std::initializer_list<const char*> lines) {
    for (const char* line : lines) {
        ASSERT_NE(items.addLine(line), nullptr) << line;
    }
}

std::map<std::string, std::string> textsByName(const VistrelItems& items) {
    std::map<std::string, std::string> texts;
    for (const auto& item : items) {
        texts[item->name()] = item->text();
    }
    return texts;
}

constexpr std::string_view kEcu = R"(<ecu protocolName="Marlotel" rid="2024" xid="2016">
  <memory address="01A2B3">34 12 56 78</memory>
  <memory address="020000">00 11</memory>
  <refuse address="020000" length="2" nrc="21"/>
  <silent address="030000"/>
</ecu>)";

TEST(SimWithItemList, BatchBuiltByTheItemListComesBackDecoded) {
    const auto ecu = testing::ecuFrom(kEcu);
    VistrelItems items(NumberFormat::invariant());
    for (const std::int32_t lengthSize : {1, 2}) {
        items.clear();
        items.setLengthSize(lengthSize);
        addLines(items,
                 {"01A2B3\t2\tLE\tword\t\t1\t0\t1\tD\t1",
                  "01A2B3\t2\tBE\tsame word\t\t1\t0\t1\tH\t1",
                  "01A2B5\t1\tLE\tbyte\t\t1\t0\t1\tH\t1", "020000\t1\tLE\trefused\t\t1\t0\t1\tD\t1",
                  "01FFFF\t1\tLE\tunmapped\t\t1\t0\t1\tD\t1"});
        const auto request = items.CanXmlGetReadMemory(ecu->canRid(), ecu->canXid());
        ASSERT_NE(request, nullptr);
        pugi::xml_document document;
        document.reset(*request);
        ecu->canXml()->CanXmlExecute(document);
        items.CanXmlDecode(document);
        const std::map<std::string, std::string> expected{
            {"word", "4660"},
            {"same word", "3412"},
            {"byte", "56"},
            {"refused", "Busy-repeat request"},
            {"unmapped", "Service 23 Negative response 31"}};
        EXPECT_EQ(textsByName(items), expected) << "length size " << lengthSize;
    }
}

std::vector<std::string> definitions(const VistrelItems& items) {
    std::vector<std::string> lines;
    for (const auto& item : items) {
        std::ostringstream line;
        line << item->address() << ' ' << item->length() << ' ' << item->codingText() << ' '
             << item->name() << ' ' << item->unit() << ' ' << item->coefA() << ' ' << item->coefB()
             << ' ' << item->coefC() << ' ' << item->formatText() << ' ' << item->mask();
        lines.push_back(line.str());
    }
    return lines;
}

// As a paste: every piece before a CR LF is handed over; the header line is
// refused as an item line.
void paste(VistrelItems& items, const std::string& text) {
    std::vector<std::string> lines = testing::split(text, "\r\n");
    lines.pop_back();
    for (const std::string& line : lines) {
        try {
            items.addLine(line);
        } catch (const Error&) {
        }
    }
}

TEST(SimWithItemList, DemoItemFilesHoldTheSameList) {
    VistrelItems fromLines(NumberFormat::invariant());
    paste(fromLines, testing::exampleText("demo-items.tsv"));
    VistrelItems fromConfig(NumberFormat::invariant());
    fromConfig.loadConfigXML(std::string(VISTREL_EXAMPLES_DIR) + "/demo-items.xml");
    ASSERT_GT(fromLines.count(), 0);
    EXPECT_EQ(definitions(fromLines), definitions(fromConfig));
}

} // namespace
} // namespace vistrel
