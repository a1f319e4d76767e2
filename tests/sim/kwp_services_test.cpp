// SPDX-License-Identifier: MIT
#include "sim_test_support.h"

#include <gtest/gtest.h>
#include <ostream>
#include <vector>

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

struct ServiceCase {
    const char* name;
    const char* request;
    Outcome expected;
    std::vector<const char*> before = {}; // requests sent first, on the same ECU
};

// Test names show the case name, not the bytes of the case.
void PrintTo(const ServiceCase& c, std::ostream* os) {
    *os << c.name;
}

class Services : public ::testing::TestWithParam<ServiceCase> {};

TEST_P(Services, AnswerAsAnEcuWould) {
    const ServiceCase& c = GetParam();
    const auto ecu = testing::ecuFrom(kEcu);
    for (const char* request : c.before) {
        ASSERT_EQ(sendReceive(*ecu, request).error, 0) << request;
    }
    EXPECT_EQ(sendReceive(*ecu, c.request), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Sim, Services,
    ::testing::Values(
        // ReadMemoryByAddress: the size field is told apart by the length.
        ServiceCase{"ReadOneByteSize", "2301A2B302", positive("631234")},
        ServiceCase{"ReadTwoByteSize", "2301A2B30002", positive("631234")},
        ServiceCase{"ReadAcrossJoinedBlocks", "2301A2B306", positive("63123456789ABC")},
        ServiceCase{"ReadPastTheEnd", "2301A2B307", kOutOfRange("23")},
        ServiceCase{"ReadUnmapped", "23FFFFFF01", kOutOfRange("23")},
        ServiceCase{"ReadLongTwoByteSize", "2301A2B30100", kOutOfRange("23")},
        ServiceCase{"ReadWithoutSize", "2301A2B3", kInvalidFormat("23")},
        ServiceCase{"ReadTooLong", "2301A2B3000200", kInvalidFormat("23")},
        ServiceCase{"ReadZeroBytes", "2301A2B300", kInvalidFormat("23")},
        ServiceCase{"ReadRefused", "2302000201", failure("7F2321", 2035, "Busy-repeat request")},
        ServiceCase{"ReadTouchingRefused", "2302000004",
                    failure("7F2321", 2035, "Busy-repeat request")},
        ServiceCase{"ReadBesideRefused", "2302000002", positive("630011")},
        ServiceCase{"ReadSilent", "2303000002", kNoAnswer},
        // StartDiagnosticSession.
        ServiceCase{"Session", "10A0", positive("50A0")},
        ServiceCase{"SessionWithoutMode", "10", kInvalidFormat("10")},
        // Anything else.
        ServiceCase{"UnknownService", "3E", failure("7F3E11", 2032, "Service not supported")},
        ServiceCase{"EmptyRequest", "", kInvalidFormat("00")},
        // DynamicallyDefineLocalIdentifier and ReadDataByLocalIdentifier.
        ServiceCase{"Define", "2CE0D001020001A2B3", positive("6CE0")},
        ServiceCase{"ReadDefined", "21E0", positive("61E01234"), {"2CE0D001020001A2B3"}},
        ServiceCase{"ReadRedefined",
                    "21E0",
                    positive("61E056"),
                    {"2CE0D001020001A2B3", "2CE0D001010001A2B5"}},
        ServiceCase{"ReadUndefined", "21E0", kOutOfRange("21")},
        ServiceCase{"ReadOtherIdentifier", "21E1", kOutOfRange("21"), {"2CE0D001020001A2B3"}},
        ServiceCase{"ReadDefinedMalformed", "21E000", kInvalidFormat("21"), {"2CE0D001020001A2B3"}},
        ServiceCase{"ReadDefinedSilent", "21E0", kNoAnswer, {"2CE0D0010200030000"}},
        ServiceCase{"ReadSeveralPositions",
                    "21E0",
                    positive("61E012349A1234"),
                    {"2CE0D001020001A2B3", "2CE0D002010001A2B7", "2CE0D003020001A2B3"}},
        ServiceCase{"ReadAfterReplacing",
                    "21E0",
                    positive("61E01234BC"),
                    {"2CE0D001020001A2B3", "2CE0D002010001A2B7", "2CE0D002010001A2B8"}},
        ServiceCase{"DefinePositionGap", "2CE0D002020001A2B3", kOutOfRange("2C")},
        ServiceCase{"DefinePositionZero", "2CE0D000020001A2B3", kInvalidFormat("2C")},
        ServiceCase{"IdentifiersAreApart",
                    "21EF",
                    positive("61EF9A"),
                    {"2CE0D001020001A2B3", "2CEFD001010001A2B7"}},
        ServiceCase{
            "ReadPositionSilent", "21E0", kNoAnswer, {"2CE0D001020001A2B3", "2CE0D0020100030001"}},
        ServiceCase{"DefineIdentifierBeyondEF", "2CF0D001020001A2B3", kOutOfRange("2C")},
        ServiceCase{"DefineOtherMode", "2CE0D101020001A2B3", kInvalidFormat("2C")},
        ServiceCase{"DefineZeroBytes", "2CE0D001000001A2B3", kInvalidFormat("2C")},
        ServiceCase{"DefineShortAddress", "2CE0D0010200A2B3", kInvalidFormat("2C")},
        ServiceCase{"DefineUnmapped", "2CE0D00102000FFFFF", kOutOfRange("2C")},
        ServiceCase{"DefineRefused", "2CE0D0010100020000",
                    failure("7F2C11", 2032, "Service not supported")}),
    [](const auto& info) { return info.param.name; });

TEST(SimServices, AddressSizeDecidesWhichSizeFieldARequestCarries) {
    struct Case {
        const char* description;
        const char* request;
        Outcome expected;
    };
    const char* twoByteAddresses =
        R"(<ecu addressSize="2"><memory address="A2B3">12 34</memory></ecu>)";
    const char* threeByteAddresses =
        R"(<ecu addressSize="3"><memory address="A2B300">56 78</memory></ecu>)";
    const char* fourByteAddresses =
        R"(<ecu addressSize="4"><memory address="A2B3">12 34</memory></ecu>)";
    for (const Case& c : {Case{twoByteAddresses, "23A2B302", positive("631234")},
                          Case{twoByteAddresses, "23A2B30002", positive("631234")},
                          Case{threeByteAddresses, "23A2B30002", positive("635678")},
                          Case{fourByteAddresses, "230000A2B30002", positive("631234")}}) {
        const auto ecu = testing::ecuFrom(c.description);
        EXPECT_EQ(sendReceive(*ecu, c.request), c.expected) << c.description << " " << c.request;
    }
}

TEST(SimServices, RecordsEveryExchange) {
    const auto ecu = testing::ecuFrom(kEcu);
    EXPECT_EQ(ecu->exchangeCount(), 0u);
    sendReceive(*ecu, "2301A2B302");
    sendReceive(*ecu, "3E");
    EXPECT_EQ(ecu->exchangeCount(), 2u);
    EXPECT_EQ(ecu->lastRequest().text(), "3E");
    EXPECT_EQ(ecu->lastReply().text(), "7F3E11");
    sendReceive(*ecu, "2303000002");
    EXPECT_EQ(ecu->lastRequest().text(), "2303000002");
    EXPECT_EQ(ecu->lastReply().text(), "");
}

} // namespace
} // namespace vistrel
