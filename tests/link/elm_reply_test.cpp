// SPDX-License-Identifier: MIT
#include "link/elm_reply.h"

#include <gtest/gtest.h>
#include <ostream>
#include <string>

namespace vistrel {
namespace {

struct ReplyCase {
    const char* name;
    bool kline;
    const char* text;
    // The messages' bytes as hexadecimal, comma-separated.
    std::string messages;
    ElmMessage message;
    const char* words = "";
};

void PrintTo(const ReplyCase& c, std::ostream* os) {
    *os << c.name;
}

std::string joined(const ElmReply& reply) {
    std::string out;
    for (const ByteString& message : reply.messages) {
        out += (out.empty() ? "" : ",") + message.text();
    }
    return out;
}

class ElmReplies : public ::testing::TestWithParam<ReplyCase> {};

TEST_P(ElmReplies, Parse) {
    const ReplyCase& c = GetParam();
    ElmLineFormat format;
    format.klineHeaders = c.kline;
    const ElmReply reply = parseElmReply(c.text, format);
    EXPECT_EQ(joined(reply), c.messages);
    EXPECT_EQ(reply.message, c.message);
    if (*c.words != '\0') {
        EXPECT_EQ(reply.words, c.words);
    }
}

constexpr bool K = true;
constexpr bool C = false;

INSTANTIATE_TEST_SUITE_P(
    Link, ElmReplies,
    ::testing::Values(
        // K-line with headers: checksum and addresses stripped, both spacings.
        ReplyCase{"KlineSpaces", K, "83 F1 10 63 12 34 2D\r\r", "631234", ElmMessage::None},
        ReplyCase{"KlineNoSpaces", K, "83F1106312342D\r\n\r\n", "631234", ElmMessage::None},
        ReplyCase{"KlineBadChecksum", K, "83F1106312344D\r", "", ElmMessage::Garbled},
        ReplyCase{"KlineLengthByte", K, "80 F1 10 02 63 12 F8\r", "6312", ElmMessage::None},
        ReplyCase{"KlineNoAddresses", K, "02 63 12 77\r", "6312", ElmMessage::None},
        ReplyCase{"KlineOtherEcuSkipped", K, "83 F1 11 63 12 34 2E\r83 F1 10 63 12 34 2D\r",
                  "631234", ElmMessage::None},
        ReplyCase{"KlineShortFrame", K, "83 F1 10 63 12 C9\r", "", ElmMessage::Garbled},
        ReplyCase{"KlinePendingThenReply", K, "83 F1 10 7F 23 78 9E\r83 F1 10 63 12 34 2D\r",
                  "7F2378,631234", ElmMessage::None},
        ReplyCase{"KlineAfterBusInit", K, "BUS INIT: ...OK\r83 F1 10 63 12 34 2D\r", "631234",
                  ElmMessage::None},
        ReplyCase{"KlineDotsBeforeData", K, "SEARCHING...\r...83 F1 10 63 12 34 2D\r", "631234",
                  ElmMessage::None},
        // CAN without headers: single frames as data, long replies numbered.
        ReplyCase{"CanSingle", C, "63 12 34\r", "631234", ElmMessage::None},
        ReplyCase{"CanSingleNoSpaces", C, "631234\r", "631234", ElmMessage::None},
        ReplyCase{"CanNumbered", C, "00A\r0: 63 01 02 03 04 05\r1: 06 07 08 09 00 00 00\r",
                  "63010203040506070809", ElmMessage::None},
        ReplyCase{"CanNumberedNoSpaces", C, "00A\r0:630102030405\r1:06070809000000\r",
                  "63010203040506070809", ElmMessage::None},
        ReplyCase{"CanNumberedWraps", C,
                  "071\r0:630000000000\r1:00000000000000\r2:00000000000000\r3:00000000000000\r"
                  "4:00000000000000\r5:00000000000000\r6:00000000000000\r7:00000000000000\r"
                  "8:00000000000000\r9:00000000000000\rA:00000000000000\rB:00000000000000\r"
                  "C:00000000000000\rD:00000000000000\rE:00000000000000\rF:00000000000000\r"
                  "0:AABB0000000000\r",
                  "63" + std::string(220, '0') + "AABB", ElmMessage::None},
        ReplyCase{"CanNumberedGap", C, "00A\r0: 63 01 02 03 04 05\r2: 06 07 08 09 00 00 00\r", "",
                  ElmMessage::Garbled},
        ReplyCase{"CanNumberedCut", C, "00A\r0: 63 01 02 03 04 05\r", "", ElmMessage::Garbled,
                  "reply ends after 6 of 10 bytes"},
        ReplyCase{"CanNumberWithoutLength", C, "0: 63 01 02\r", "", ElmMessage::Garbled},
        // Every adapter message, quoted in its own words.
        ReplyCase{"NoData", C, "NO DATA\r\r", "", ElmMessage::NoData, "NO DATA"},
        ReplyCase{"Unknown", C, "?\r\r", "", ElmMessage::Unknown, "?"},
        ReplyCase{"BusInitDots", K, "BUS INIT: ...ERROR\r", "", ElmMessage::BusInitError,
                  "BUS INIT: ...ERROR"},
        ReplyCase{"BusInitNoDots", K, "BUS INIT: ERROR\r", "", ElmMessage::BusInitError},
        ReplyCase{"UnableToConnect", C, "SEARCHING...\rUNABLE TO CONNECT\r", "",
                  ElmMessage::UnableToConnect},
        ReplyCase{"BufferFull", C, "63 12\rBUFFER FULL\r", "6312", ElmMessage::BufferFull},
        ReplyCase{"CanError", C, "CAN ERROR\r", "", ElmMessage::CanError},
        ReplyCase{"BusBusy", K, "BUS BUSY\r", "", ElmMessage::BusBusy},
        ReplyCase{"Stopped", C, "STOPPED\r", "", ElmMessage::Stopped},
        ReplyCase{"RxErrorAlone", C, "<RX ERROR\r", "", ElmMessage::RxError},
        ReplyCase{"RxErrorAfterData", C, "63 12 <RX ERROR\r", "", ElmMessage::RxError, "<RX ERROR"},
        ReplyCase{"OtherWords", C, "FB ERROR\r", "", ElmMessage::OtherError, "FB ERROR"},
        ReplyCase{"RebootWinsOverOthers", C, "NO DATA\r\rELM327 v1.5\r\r", "",
                  ElmMessage::Restarted, "ELM327 v1.5"},
        ReplyCase{"UnprintableQuoted", C, "\x01\x7F", "", ElmMessage::OtherError, ".."},
        ReplyCase{"OddDigits", C, "63 12 3\r", "", ElmMessage::Garbled}));

} // namespace
} // namespace vistrel
