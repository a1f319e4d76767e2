// SPDX-License-Identifier: MIT
#include "fakes/scratch_directory.h"
#include "sim_test_support.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <ostream>

namespace vistrel {
namespace {

using testing::failure;
using testing::positive;
using testing::sendReceive;

// A folder of its own for the files of one test.
class SimDescriptionFiles : public ::testing::Test {
protected:
    std::filesystem::path write(const std::string& name, std::string_view content) {
        const std::filesystem::path path = folder_.path() / name;
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }

    testing::ScratchDirectory folder_;
};

TEST_F(SimDescriptionFiles, EveryElementTakesEffect) {
    write("dump.bin", "\xDE\xAD\xBE\xEF");
    const auto path = write("ecu.xml", R"(<?xml version="1.0" encoding="utf-8"?>
<ecu title="Bench ECU" subtitle="rig 2" protocolName="Marlotel" addressSize="2"
     rid="1793" xid="-1801" latencyUs="0">
  <memory address="1000">01 02
      0304</memory>
  <image address="2000" file="dump.bin"/>
  <signal address="3000" length="2" coding="LE" wave="counter" min="0" max="65535" periodMs="10"/>
  <refuse address="1003" service="23" nrc="22"/>
  <silent address="2003" length="1"/>
  <init failures="1" text="K-line busy"/>
  <session failures="1" nrc="21"/>
  <ddli extraByte="1"/>
</ecu>)");
    const auto ecu = SimulatedEcu::fromFile(path.string());
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

    try {
        ecu->InitCommunication();
        FAIL() << "the first init should fail";
    } catch (const Error& error) {
        EXPECT_EQ(error.number(), kInitFailedError);
        EXPECT_EQ(error.description(), "K-line busy");
    }
    EXPECT_NO_THROW(ecu->InitCommunication());
    EXPECT_EQ(sendReceive(*ecu, "1081").error, 2035);
    EXPECT_EQ(sendReceive(*ecu, "1081"), positive("5081"));

    ASSERT_EQ(sendReceive(*ecu, "2CE0D0010200"
                                "3000"),
              positive("6CE0"));
    EXPECT_EQ(sendReceive(*ecu, "21E0"), positive("61E0017B00"));
}

TEST_F(SimDescriptionFiles, UnreadableFileIsNamed) {
    const std::string path = (folder_.path() / "absent.xml").string();
    try {
        SimulatedEcu::fromFile(path);
        FAIL() << "no error";
    } catch (const Error& error) {
        EXPECT_EQ(error.number(), kBadDescriptionError);
        EXPECT_EQ(error.description(), path + ": cannot read the file");
    }
}

struct BadCase {
    const char* name;
    const char* xml;
    const char* message;
};

// Test names show the case name, not the bytes of the case.
void PrintTo(const BadCase& c, std::ostream* os) {
    *os << c.name;
}

class BadDescriptions : public ::testing::TestWithParam<BadCase> {};

TEST_P(BadDescriptions, AreRejectedNamingFileAndLine) {
    const BadCase& c = GetParam();
    try {
        SimulatedEcu::fromText(c.xml, "bad.xml", "/nonexistent");
        FAIL() << "accepted";
    } catch (const Error& error) {
        EXPECT_EQ(error.number(), kBadDescriptionError);
        EXPECT_EQ(error.description(), c.message);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Sim, BadDescriptions,
    ::testing::Values(
        BadCase{"UnknownElement", "<ecu>\n  <memroy address=\"00\">01</memroy>\n</ecu>",
                "bad.xml:2: unknown element <memroy>"},
        BadCase{"UnknownAttribute", "<ecu>\n<memory adress=\"00\">01</memory></ecu>",
                "bad.xml:2: unknown attribute \"adress\" on <memory>"},
        BadCase{"OddHex", "<ecu>\n\n<memory address=\"00\">01 234</memory></ecu>",
                "bad.xml:3: <memory>: \"234\" has an odd number of hexadecimal digits"},
        BadCase{"NonHexBytes", "<ecu>\n<memory address=\"00\">01 GG</memory></ecu>",
                "bad.xml:2: <memory>: \"GG\" is not hexadecimal"},
        BadCase{"EmptyMemory", "<ecu>\n<memory address=\"00\"> </memory></ecu>",
                "bad.xml:2: <memory> holds no bytes"},
        BadCase{"OverlappingMemory",
                "<ecu>\n<memory address=\"10\">01 02 03</memory>\n<memory "
                "address=\"12\">04</memory>\n</ecu>",
                "bad.xml:3: <memory> at 12 overlaps the <memory> at line 2"},
        BadCase{"MissingImage", "<ecu>\n<image address=\"00\" file=\"missing.bin\"/></ecu>",
                "bad.xml:2: <image>: cannot read the file \"/nonexistent/missing.bin\""},
        BadCase{"MissingAddress", "<ecu>\n<memory>01</memory></ecu>",
                "bad.xml:2: <memory> needs the attribute \"address\""},
        BadCase{"AddressNotHex", "<ecu>\n<memory address=\"0x10\">01</memory></ecu>",
                "bad.xml:2: <memory>: address=\"0x10\" is not a hexadecimal number"},
        BadCase{"PastTheAddressSpace",
                "<ecu addressSize=\"1\">\n<memory address=\"FF\">01 02</memory></ecu>",
                "bad.xml:2: <memory> at FF runs past the end of the 1-byte address space"},
        BadCase{"LengthNotANumber", "<ecu>\n<signal address=\"0\" length=\"two\"/></ecu>",
                "bad.xml:2: <signal>: length=\"two\" is not a decimal whole number"},
        BadCase{"SignalTooLong", "<ecu>\n<signal address=\"0\" length=\"9\"/></ecu>",
                "bad.xml:2: <signal>: length=\"9\" is out of range (1 to 8)"},
        BadCase{"SignalMinAboveMax", "<ecu>\n<signal address=\"0\" min=\"9\" max=\"8\"/></ecu>",
                "bad.xml:2: <signal>: min is above max"},
        BadCase{"SignalWave", "<ecu>\n<signal address=\"0\" wave=\"saw\"/></ecu>",
                "bad.xml:2: <signal>: unknown wave \"saw\" (ramp, sine, square, counter, random)"},
        BadCase{"SecondInit", "<ecu>\n<init/>\n<init/></ecu>",
                "bad.xml:3: a second <init> element"},
        BadCase{"ChildInSignal", "<ecu>\n<signal address=\"0\">\n<x/></signal></ecu>",
                "bad.xml:3: unexpected element <x> inside <signal>"},
        BadCase{"TextInSession", "<ecu>\n<session>3</session></ecu>",
                "bad.xml:2: unexpected text inside <session>"},
        BadCase{"ForeignRoot", "<?xml version=\"1.0\"?>\n<car/>",
                "bad.xml:2: the root element is <car>, not <ecu>"},
        BadCase{"Malformed", "<ecu>\n<memory address=\"00\">01</ecu>",
                "bad.xml:2: malformed XML: Start-end tags mismatch"},
        BadCase{"LinesEndingInCrLf", "<ecu>\r\n\r\n<bad/></ecu>",
                "bad.xml:3: unknown element <bad>"}),
    [](const auto& info) { return info.param.name; });

} // namespace
} // namespace vistrel
