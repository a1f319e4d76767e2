// SPDX-License-Identifier: MIT
#include "link/elm_reply.h"

#include <gtest/gtest.h>
#include <string>

namespace vistrel {
namespace {

struct ReplyCase {
    bool kline;
    const char* text;
    // The messages' bytes as hexadecimal, comma-separated.
    std::string messages;
    ElmMessage message;
    const char* words = "";
};

std::string joined(const ElmReply& reply) {
    std::string out;
    for (const ByteString& message : reply.messages) {
        out += (out.empty() ? "" : ",") + message.text();
    }
    return out;
}

constexpr bool K = true;
constexpr bool C = false;
using M = ElmMessage;

TEST(ElmReply, Parse) {
    const ReplyCase cases[] = {
        // K-line with headers: checksum and addresses stripped, both spacings.
        {K, "83 F1 10 63 12 34 2D\r\r", "631234", M::None},
        {K, "83F1106312342D\r\n\r\n", "631234", M::None},
        {K, "83F1106312344D\r", "", M::Garbled},
        {K, "80 F1 10 02 63 12 F8\r", "6312", M::None},
        {K, "02 63 12 77\r", "6312", M::None},
        {K, "83 F1 11 63 12 34 2E\r83 F1 10 63 12 34 2D\r", "631234", M::None},
        {K, "83 F1 10 63 12 C9\r", "", M::Garbled},
        {K, "83 F1 10 7F 23 78 9E\r83 F1 10 63 12 34 2D\r", "7F2378,631234", M::None},
        {K, "BUS INIT: ...OK\r83 F1 10 63 12 34 2D\r", "631234", M::None},
        {K, "SEARCHING...\r...83 F1 10 63 12 34 2D\r", "631234", M::None},
        // Progress messages with the reply on their line, lower case, and the
        // wake-up's and the frame's complaints.
        {K, "BUS INIT: ...OK 83 F1 10 63 12 34 2D\r", "631234", M::None},
        {K, "SEARCHING...83F1106312342D\r", "631234", M::None},
        {K, "83 f1 10 63 12 34 2d\r", "631234", M::None},
        {K, "BUS INIT: STOPPED\r", "", M::Stopped},
        {K, "bus init: ...error\r", "", M::BusInitError, "bus init: ...error"},
        {K, "83 F1 10 63 12 34 2D <DATA ERROR\r", "", M::DataError, "<DATA ERROR"},
        {C, "DATA ERROR\r", "", M::DataError},
        {C, "no data\r", "", M::NoData},
        // CAN without headers: single frames as data, long replies numbered.
        {C, "63 12 34\r", "631234", M::None},
        {C, "00A\r0: 63 01 02 03 04 05\r1: 06 07 08 09 00 00 00\r", "63010203040506070809",
         M::None},
        {C, "00A\r0:630102030405\r1:06070809000000\r", "63010203040506070809", M::None},
        {C,
         "071\r0:630000000000\r1:00000000000000\r2:00000000000000\r3:00000000000000\r4:"
         "00000000000000\r5:00000000000000\r6:00000000000000\r7:00000000000000\r8:"
         "00000000000000\r9:00000000000000\rA:00000000000000\rB:00000000000000\rC:"
         "00000000000000\rD:00000000000000\rE:00000000000000\rF:00000000000000\r0:AABB0000000000\r",
         "63" + std::string(220, '0') + "AABB", M::None},
        {C, "00A\r0: 63 01 02 03 04 05\r2: 06 07 08 09 00 00 00\r", "", M::Garbled},
        {C, "00A\r0: 63 01 02 03 04 05\r", "", M::Garbled, "reply ends after 6 of 10 bytes"},
        {C, "0: 63 01 02\r", "", M::Garbled},
        // Adapter messages beside data, and words quoted as the adapter put them;
        // each message's own mapping is checked end to end against the adapter.
        {C, "SEARCHING...\rUNABLE TO CONNECT\r", "", M::UnableToConnect},
        {C, "63 12\rBUFFER FULL\r", "6312", M::BufferFull},
        {C, "63 12 <RX ERROR\r", "", M::RxError, "<RX ERROR"},
        {C, "NO DATA\r\rELM327 v1.5\r\r", "", M::Restarted, "ELM327 v1.5"},
        {C, "\x01\x7F", "", M::OtherError, ".."},
        {C, "63 12 3\r", "", M::Garbled},
    };
    for (const ReplyCase& c : cases) {
        SCOPED_TRACE(c.text);
        ElmLineFormat format;
        format.klineHeaders = c.kline;
        const ElmReply reply = parseElmReply(c.text, format);
        EXPECT_EQ(joined(reply), c.messages);
        EXPECT_EQ(reply.message, c.message);
        if (*c.words != '\0') {
            EXPECT_EQ(reply.words, c.words);
        }
    }
}

} // namespace
} // namespace vistrel
