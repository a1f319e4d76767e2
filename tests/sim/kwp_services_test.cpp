// SPDX-License-Identifier: MIT
#include "sim_test_support.h"

#include <gtest/gtest.h>
#include <sstream>
#include <tuple>

namespace vistrel {
namespace {

using testing::failure;
using testing::Outcome;
using testing::positive;
using testing::sendReceive;

constexpr std::string_view kEcu = R"(<ecu addressSize="3">
  <memory address="01A2B3">12 34 56 78</memory>
  <memory address="01A2B7">9A BC</memory>
  <memory address="020000">00 11 22 33</memory>
  <refuse address="020002" nrc="21"/>
  <refuse address="020000" service="2C" nrc="11"/>
  <memory address="030000">AA BB</memory>
  <silent address="030001"/>
</ecu>)";

const Outcome kInvalidFormat(std::string sid) {
    return failure("7F" + sid + "12", 2034, "Sub function not supported or with invalid format");
}
const Outcome kOutOfRange(std::string sid) {
    return failure("7F" + sid + "31", 2040, "Service " + sid + " Negative response 31");
}
const Outcome kNoAnswer = failure("", 2000, "No answer at due time");

TEST(SimServices, AnswerAsAnEcuWould) {
    struct C {
        const char* name;
        const char* request;
        Outcome expected;
        std::string before = ""; // requests sent first, on the same ECU
    };
    const C cases[] = {
        // ReadMemoryByAddress: the size field is told apart by the length.
        {"ReadOneByteSize", "2301A2B302", positive("631234")},
        {"ReadAcrossJoinedBlocks", "2301A2B306", positive("63123456789ABC")},
        {"ReadPastTheEnd", "2301A2B307", kOutOfRange("23")},
        {"ReadUnmapped", "23FFFFFF01", kOutOfRange("23")},
        {"ReadLongTwoByteSize", "2301A2B30100", kOutOfRange("23")},
        {"ReadWithoutSize", "2301A2B3", kInvalidFormat("23")},
        {"ReadTooLong", "2301A2B3000200", kInvalidFormat("23")},
        {"ReadZeroBytes", "2301A2B300", kInvalidFormat("23")},
        {"ReadTouchingRefused", "2302000004", failure("7F2321", 2035, "Busy-repeat request")},
        {"ReadSilent", "2303000002", kNoAnswer},
        // StartDiagnosticSession.
        {"Session", "10A0", positive("50A0")},
        {"SessionWithoutMode", "10", kInvalidFormat("10")},
        // Anything else.
        {"UnknownService", "3E", failure("7F3E11", 2032, "Service not supported")},
        {"EmptyRequest", "", kInvalidFormat("00")},
        // DynamicallyDefineLocalIdentifier and ReadDataByLocalIdentifier.
        {"Define", "2CE0D001020001A2B3", positive("6CE0")},
        {"ReadDefined", "21E0", positive("61E01234"), "2CE0D001020001A2B3"},
        {"ReadRedefined", "21E0", positive("61E056"), "2CE0D001020001A2B3 2CE0D001010001A2B5"},
        {"ReadUndefined", "21E0", kOutOfRange("21")},
        {"ReadOtherIdentifier", "21E1", kOutOfRange("21"), "2CE0D001020001A2B3"},
        {"ReadDefinedMalformed", "21E000", kInvalidFormat("21"), "2CE0D001020001A2B3"},
        {"ReadDefinedSilent", "21E0", kNoAnswer, "2CE0D0010200030000"},
        {"ReadSeveralPositions", "21E0", positive("61E012349A1234"),
         "2CE0D001020001A2B3 2CE0D002010001A2B7 2CE0D003020001A2B3"},
        {"ReadAfterReplacing", "21E0", positive("61E01234BC"),
         "2CE0D001020001A2B3 2CE0D002010001A2B7 2CE0D002010001A2B8"},
        {"DefinePositionGap", "2CE0D002020001A2B3", kOutOfRange("2C")},
        {"DefinePositionZero", "2CE0D000020001A2B3", kInvalidFormat("2C")},
        {"ReadPositionSilent", "21E0", kNoAnswer, "2CE0D001020001A2B3 2CE0D0020100030001"},
        {"DefineIdentifierBeyondEF", "2CF0D001020001A2B3", kOutOfRange("2C")},
        {"DefineOtherMode", "2CE0D101020001A2B3", kInvalidFormat("2C")},
        {"DefineShortAddress", "2CE0D0010200A2B3", kInvalidFormat("2C")},
        {"DefineUnmapped", "2CE0D00102000FFFFF", kOutOfRange("2C")},
        {"DefineRefused", "2CE0D0010100020000", failure("7F2C11", 2032, "Service not supported")},
    };
    for (const C& c : cases) {
        const auto ecu = testing::ecuFrom(kEcu);
        std::istringstream before(c.before);
        for (std::string request; before >> request;) {
            ASSERT_EQ(sendReceive(*ecu, request).error, 0) << c.name << " " << request;
        }
        EXPECT_EQ(sendReceive(*ecu, c.request), c.expected) << c.name;
    }
}

TEST(SimServices, AddressSizeDecidesWhichSizeFieldARequestCarries) {
    // The address size of the ECU, where its two bytes 12 34 lie, a request for both.
    for (const auto& [size, address, request] : {std::tuple{"2", "A2B3", "23A2B302"},
                                                 {"2", "A2B3", "23A2B30002"},
                                                 {"3", "A2B300", "23A2B30002"},
                                                 {"4", "A2B3", "230000A2B30002"}}) {
        const auto ecu =
            testing::ecuFrom(std::string("<ecu addressSize=\"") + size + "\"><memory address=\"" +
                             address + "\">12 34</memory></ecu>");
        EXPECT_EQ(sendReceive(*ecu, request), positive("631234")) << size << " " << request;
    }
}

} // namespace
} // namespace vistrel
