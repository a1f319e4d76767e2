// SPDX-License-Identifier: MIT
// The DoIP message codec: every payload type this system speaks round-trips
// through the stream reader however TCP cuts it, and each header fault is
// caught by its generic negative acknowledgement code before any payload is
// kept.

#include "link/doip_message.h"

#include <gtest/gtest.h>
#include <optional>
#include <tuple>

namespace vistrel::doip {
namespace {

std::vector<std::uint8_t> bytes(std::size_t n, std::uint8_t value = 0x11) {
    return std::vector<std::uint8_t>(n, value);
}

// Every message, fed to a reader in pieces of each size from 1 byte to the
// whole stream at once, comes out whole and in order.
TEST(DoipMessage, EveryTypeSurvivesAnySplit) {
    const std::pair<std::uint16_t, std::vector<std::uint8_t>> messages[] = {
        {kGenericNack, {kInvalidPayloadLength}},
        {kVehicleIdentificationRequest, {}},
        {kVehicleAnnouncement, bytes(32)},
        {kVehicleAnnouncement, bytes(33)},
        {kRoutingActivationRequest, bytes(7)},
        {kRoutingActivationRequest, bytes(11)},
        {kRoutingActivationResponse, bytes(9)},
        {kRoutingActivationResponse, bytes(13)},
        {kAliveCheckRequest, {}},
        {kAliveCheckResponse, {0x0E, 0x00}},
        {kDiagnosticMessage, addressedPayload(0x0E00, 0x1001, bytes(3000, 0x62))},
        {kDiagnosticAck, addressedPayload(0x1001, 0x0E00, {{0x00}})},
        {kDiagnosticNack, addressedPayload(0x1001, 0x0E00, {{0x06, 0x22, 0xF2}})},
        {0x4001, bytes(3)},
    };
    std::vector<std::uint8_t> stream;
    for (const auto& [type, payload] : messages) {
        const auto encoded = encode(kVersion2012, type, payload);
        stream.insert(stream.end(), encoded.begin(), encoded.end());
    }
    for (const std::size_t piece :
         {std::size_t{1}, std::size_t{7}, std::size_t{9}, std::size_t{1000}, stream.size()}) {
        StreamReader reader;
        std::vector<Message> got;
        for (std::size_t at = 0; at < stream.size(); at += piece) {
            reader.push(std::span(stream).subspan(at, std::min(piece, stream.size() - at)));
            while (auto message = reader.next()) {
                got.push_back(std::move(*message));
            }
        }
        ASSERT_EQ(got.size(), std::size(messages)) << "pieces of " << piece;
        for (std::size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(std::tie(got[i].type, got[i].payload),
                      std::tie(messages[i].first, messages[i].second))
                << "message " << i << ", pieces of " << piece;
        }
    }
}

// Each fault is found from the header alone (the payload never arrives), and
// the reader stays failed.
TEST(DoipMessage, HeaderFaultsEarnTheirCode) {
    const std::tuple<std::vector<std::uint8_t>, std::uint8_t, const char*> cases[] = {
        {{0x02, 0xFC, 0x80, 0x01, 0, 0, 0, 5}, kIncorrectPattern, "do not match"},
        {{0x00, 0x00, 0x80, 0x01, 0, 0, 0, 5}, kIncorrectPattern, "do not match"},
        {{0x02, 0xFD, 0x80, 0x01, 0x00, 0x40, 0x00, 0x01}, kMessageTooLarge, "4194305 bytes"},
        {{0x02, 0xFD, 0x12, 0x34, 0xFF, 0xFF, 0xFF, 0xFF}, kMessageTooLarge, "more than any"},
        {{0x02, 0xFD, 0x80, 0x01, 0, 0, 0, 4}, kInvalidPayloadLength, "takes at least 5"},
        {{0x02, 0xFD, 0x80, 0x02, 0, 0, 0, 0}, kInvalidPayloadLength, "at least 5"},
        {{0x02, 0xFD, 0x00, 0x00, 0, 0, 0, 2}, kInvalidPayloadLength, "takes 1"},
        {{0x02, 0xFD, 0x00, 0x07, 0, 0, 0, 1}, kInvalidPayloadLength, "takes 0"},
        {{0x02, 0xFD, 0x00, 0x06, 0, 0, 0, 10}, kInvalidPayloadLength, "takes 9 or 13"},
        {{0x02, 0xFD, 0x00, 0x05, 0, 0, 0, 8}, kInvalidPayloadLength, "takes 7 or 11"},
        {{0x02, 0xFD, 0x00, 0x04, 0, 0, 0, 31}, kInvalidPayloadLength, "takes 32 or 33"},
        {{0x02, 0xFD, 0x00, 0x08, 0, 0, 0, 3}, kInvalidPayloadLength, "takes 2"},
    };
    for (const auto& [header, code, text] : cases) {
        StreamReader reader;
        reader.push(header);
        for (int call = 0; call < 2; ++call) {
            try {
                reader.next();
                ADD_FAILURE() << "no fault for header " << int(header[3]);
            } catch (const StreamFault& fault) {
                EXPECT_EQ(fault.code(), code) << fault.description();
                EXPECT_NE(fault.description().find(text), std::string::npos) << fault.description();
            }
        }
    }
}

} // namespace
} // namespace vistrel::doip
