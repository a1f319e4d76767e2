// SPDX-License-Identifier: MIT
#include "fakes/scratch_directory.h"
#include "sim_test_support.h"

#include <fstream>
#include <gtest/gtest.h>

namespace vistrel {
namespace {

using testing::failure;
using testing::positive;
using testing::sendReceive;

TEST(SimDescriptionFiles, EveryElementTakesEffect) {
    const testing::ScratchDirectory folder;
    std::ofstream(folder.file("dump.bin"), std::ios::binary) << "\xDE\xAD\xBE\xEF";
    std::ofstream(folder.file("ecu.xml"), std::ios::binary)
        << R"(<?xml version="1.0" encoding="utf-8"?>
<ecu title="Bench ECU" subtitle="rig 2" protocolName="Marlotel" addressSize="2"
     rid="1793" xid="-1801" latencyUs="0">
  <memory address="1000">01 02
      0304</memory>
  <image address="2000" file="dump.bin"/>
  <signal address="3000" length="2" coding="LE" wave="counter" min="0" max="65535" periodMs="10"/>
  <signal address="4000" length="4" coding="LEF" wave="counter" max="1000" periodMs="10"/>
  <signal address="4004" length="8" coding="BEF" wave="square" min="-2" max="0"/>
  <refuse address="1003" service="23" nrc="22"/>
  <silent address="2003" length="1"/>
  <init failures="1" text="K-line busy"/>
  <session failures="1" nrc="21"/>
  <ddli extraByte="1"/>
</ecu>)";
    const auto ecu = SimulatedEcu::fromFile(folder.file("ecu.xml"));
    ecu->setClock(testing::fixedClock(std::chrono::milliseconds(1234)));

    EXPECT_EQ(ecu->title(), "Bench ECU");
    EXPECT_EQ(ecu->subtitle(), "rig 2");
    EXPECT_EQ(ecu->protocolName(), "Marlotel");
    EXPECT_EQ(ecu->canRid(), 1793);
    EXPECT_EQ(ecu->canXid(), -1801);
    EXPECT_NE(ecu->canXml(), nullptr);

    EXPECT_EQ(sendReceive(*ecu, "23100003"), positive("63010203"));
    EXPECT_EQ(sendReceive(*ecu, "23100301"),
              failure("7F2322", 2033, "Execution conditions not set"));
    EXPECT_EQ(sendReceive(*ecu, "23200003"), positive("63DEADBE"));
    EXPECT_EQ(sendReceive(*ecu, "23200004"), failure("", 2000, "No answer at due time"));
    EXPECT_EQ(sendReceive(*ecu, "23300002"), positive("637B00"));
    EXPECT_EQ(sendReceive(*ecu, "23400004"), positive("630000F642"));         // 123.0f
    EXPECT_EQ(sendReceive(*ecu, "23400408"), positive("63C000000000000000")); // -2.0

    const auto init = [&] { return testing::outcomeOf([&] { ecu->InitCommunication(); }); };
    EXPECT_EQ(init(), failure("", kInitFailedError, "K-line busy"));
    EXPECT_EQ(init(), positive(""));
    EXPECT_EQ(sendReceive(*ecu, "1081").error, 2035);
    EXPECT_EQ(sendReceive(*ecu, "1081"), positive("5081"));

    ASSERT_EQ(sendReceive(*ecu, "2CE0D00102003000"), positive("6CE0"));
    EXPECT_EQ(sendReceive(*ecu, "21E0"), positive("61E0017B00"));
}

TEST(BadDescriptions, AreRejectedNamingFileAndLine) {
    // A body inside <ecu> (or a whole text) against the message after "bad.xml:".
    const std::pair<const char*, const char*> cases[] = {
        {"  <memroy address=\"00\">01</memroy>\n", "2: unknown element <memroy>"},
        {"<memory adress=\"00\">01</memory>", "2: unknown attribute \"adress\" on <memory>"},
        {"\n<memory address=\"00\">01 234</memory>",
         "3: <memory>: \"234\" has an odd number of hexadecimal digits"},
        {"<memory address=\"10\">01 02 03</memory>\n<memory "
         "address=\"12\">04</memory>\n",
         "3: <memory> at 12 overlaps the <memory> at line 2"},
        {"<image address=\"00\" file=\"missing.bin\"/>",
         "2: <image>: cannot read the file \"/nonexistent/missing.bin\""},
        {"<memory>01</memory>", "2: <memory> needs the attribute \"address\""},
        {"<memory address=\"0x10\">01</memory>",
         "2: <memory>: address=\"0x10\" is not a hexadecimal number"},
        {"<ecu addressSize=\"1\">\n<memory address=\"FF\">01 02</memory></ecu>",
         "2: <memory> at FF runs past the end of the 1-byte address space"},
        {"<signal address=\"0\" length=\"two\"/>",
         "2: <signal>: length=\"two\" is not a decimal whole number"},
        {"<signal address=\"0\" length=\"2\" coding=\"BEF\"/>",
         "2: <signal>: a float signal (coding=\"BEF\") has length 4 or 8"},
        {"<signal address=\"0\" wave=\"saw\"/>",
         "2: <signal>: unknown wave \"saw\" (ramp, sine, square, counter, random)"},
        {"<signal address=\"0\">\n<x/></signal>", "3: unexpected element <x> inside <signal>"},
        {"<?xml version=\"1.0\"?>\n<car/>", "2: the root element is <car>, not <ecu>"},
        {"<memory address=\"00\">01", "2: malformed XML: Start-end tags mismatch"},
        {"<ecu>\r\n\r\n<bad/></ecu>", "3: unknown element <bad>"},
        {"<ecu diag=\"obd\"/>", "1: diag=\"obd\" is neither \"kwp\" nor \"uds\""},
        {"<ecu ext=\"F1\"/>", "1: extended addressing needs both ext and rxext"},
        {"<lock address=\"00\"/>", "2: <lock> needs diag=\"uds\" on <ecu>"},
        {"<ecu diag=\"uds\">\n<lock address=\"00\" level=\"02\"/></ecu>",
         "2: <lock>: level 02 is not an odd level from 01 to 7D"},
        {"<ecu diag=\"uds\">\n<uds limitNrc=\"10\"/></ecu>",
         "2: <uds>: limitNrc is none of 13, 22, 31"},
    };
    for (const auto& [xml, message] : cases) {
        const std::string_view body = xml;
        const std::string text = body.starts_with("<?xml") || body.starts_with("<ecu")
                                     ? std::string(body)
                                     : "<ecu>\n" + std::string(body) + "</ecu>";
        EXPECT_EQ(
            testing::outcomeOf([&] { SimulatedEcu::fromText(text, "bad.xml", "/nonexistent"); }),
            failure("", kBadDescriptionError, std::string("bad.xml:") + message));
    }
}

} // namespace
} // namespace vistrel
