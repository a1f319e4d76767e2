// SPDX-License-Identifier: MIT
// The simulator as the item list meets it: batch documents that the list
// builds, and the demo item files read against the demo ECU.
#include "fakes/scratch_directory.h"
#include "sim_test_support.h"

#include <gtest/gtest.h>
#include <pugixml.hpp>

namespace vistrel {
namespace {

constexpr std::string_view kEcu = R"(<ecu protocolName="Marlotel" rid="2024" xid="2016">
  <memory address="01A2B3">34 12 56 78</memory>
  <memory address="020000">00 11</memory>
  <refuse address="020000" length="2" nrc="21"/>
  <silent address="030000"/>
</ecu>)";

// A link named for batches reads the list by address in one batch: each item
// takes its own reply, refusals included, and no item is read on its own.
TEST(SimWithItemList, BatchReadsTheListInOneExchange) {
    const auto ecu = testing::ecuFrom(kEcu);
    VistrelItems items(NumberFormat::invariant());
    for (const std::int32_t lengthSize : {1, 2}) {
        items.clear();
        items.setLengthSize(lengthSize);
        testing::addLines(items, {"01A2B3\t2\tLE\tword\t\t1\t0\t1\tD\t1",
                                  "01A2B3\t2\tBE\tsame word\t\t1\t0\t1\tH\t1",
                                  "01A2B5\t1\tLE\tbyte\t\t1\t0\t1\tH\t1",
                                  "020000\t1\tLE\trefused\t\t1\t0\t1\tD\t1",
                                  "01FFFF\t1\tLE\tunmapped\t\t1\t0\t1\tD\t1"});
        items.setProtocol(ecu);
        pugi::xml_document snapshot;
        items.read(snapshot.append_child("snapshot"));
        EXPECT_EQ(testing::texts(items),
                  (std::vector<std::string>{"4660", "3412", "56", "Busy-repeat request",
                                            "Service 23 Negative response 31"}))
            << "length size " << lengthSize;
        EXPECT_FALSE(snapshot.first_child().first_child());
    }
    // Four distinct frames per batch; nothing else went out.
    EXPECT_EQ(ecu->exchangeCount(), 8u);
    // Without the name, the same link reads item by item.
    ecu->setProtocolName("KWP2000");
    items.read();
    EXPECT_EQ(ecu->exchangeCount(), 13u);
}

TEST(SimWithItemList, DemoItemFilesHoldTheSameList) {
    // As a paste: every piece before a CR LF is handed over; the header line
    // is refused as an item line.
    VistrelItems fromLines(NumberFormat::invariant());
    for (const std::string& line :
         testing::splitText(testing::exampleText("demo-items.tsv"), "\r\n")) {
        testing::errorOf([&] { fromLines.addLine(line); });
    }
    VistrelItems fromConfig(NumberFormat::invariant());
    fromConfig.loadConfigXML(std::string(VISTREL_EXAMPLES_DIR) + "/demo-items.xml");
    ASSERT_GT(fromLines.count(), 0);
    // Saved again, both lists give the same file.
    testing::ScratchDirectory folder;
    fromLines.saveConfigXML(folder.file("lines.xml"));
    fromConfig.saveConfigXML(folder.file("config.xml"));
    EXPECT_EQ(testing::readFile(folder.file("lines.xml")),
              testing::readFile(folder.file("config.xml")));
}

} // namespace
} // namespace vistrel
