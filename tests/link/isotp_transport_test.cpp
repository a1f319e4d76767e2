// SPDX-License-Identifier: MIT
// The ISO-TP transport's rules on a fake bus and a fake clock: each row is
// one exchange, the ECU's frames scheduled in answer to the tester's. The
// rows include the faults other implementations are known for: single-frame
// and first-frame lengths taken on trust, N_Cr not re-armed after a block's
// flow control, STmin ignored.

#include "components/error.h"
#include "fakes/error_of.h"
#include "fakes/fake_bus.h"
#include "link/isotp_transport.h"

#include <gtest/gtest.h>
#include <sstream>

namespace vistrel {
namespace {

using std::chrono::milliseconds;
using testing::canFrame;
using testing::canText;
using testing::FakeBus;

constexpr std::uint32_t kEcu = 0x7E8;
constexpr milliseconds kP2max{150};

struct Exchange {
    // The transport under test and the bus it owns.
    FakeBus* bus;
    std::unique_ptr<IsoTpTransport> transport;
};

// The ECU's frames as blank-separated words "n+ms:frame": when the tester's
// n-th frame (from 1) is sent, the frame (hexadecimal, from 7E8 unless it
// ends in "@id") arrives ms later.
Exchange makeExchange(const std::string& script, IsoTpSettings settings = {}) {
    auto owned = std::make_unique<FakeBus>();
    FakeBus* bus = owned.get();
    bus->ecu = [script](FakeBus& on, const CanFrame&) {
        std::istringstream words(script);
        std::size_t afterFrame = 0;
        int delayMs = 0;
        char plus = 0;
        char colon = 0;
        std::string hex;
        while (words >> afterFrame >> plus >> delayMs >> colon >> hex) {
            const auto at = hex.find('@');
            const std::uint32_t id =
                at == std::string::npos ? kEcu : std::stoul(hex.substr(at + 1), nullptr, 16);
            if (afterFrame == on.sent.size()) {
                on.arrive(canFrame(id, hex.substr(0, at)), on.now() + milliseconds(delayMs));
            }
        }
        EXPECT_TRUE(words.eof()) << "unreadable ECU frames: " << script;
    };
    return {bus, std::make_unique<IsoTpTransport>(std::move(owned), settings)};
}

// The reply as hex, "none", or "error: " and the text.
std::string outcome(IsoTpTransport& transport, const std::string& request) {
    std::optional<ByteString> reply;
    const auto error = testing::errorOf([&] {
        transport.sendMessage(ByteString::fromText(request));
        reply = transport.receiveMessage(kP2max);
    });
    return error ? "error: " + error->description() : reply ? reply->text() : "none";
}

std::string bytes(std::size_t n) {
    std::string hex;
    for (std::size_t i = 0; i < n; ++i) {
        hex += hexPadded(static_cast<std::uint32_t>(i & 0xFF), 2);
    }
    return hex;
}

TEST(IsoTpTransport, Rules) {
    struct Row {
        const char* rule;
        std::string request;
        std::string ecuFrames; // as makeExchange reads them
        std::string outcome;
        std::size_t framesSent;
        std::uint8_t ourBlockSize = 0;
    };
    const std::string longRequest = bytes(20);
    const std::string noFlowControl =
        "error: CAN: no flow control from the ECU within 1000 ms (N_Bs)";
    std::string elevenWaits;
    for (int i = 1; i <= 11; ++i) {
        elevenWaits += "1+" + std::to_string(i * 5) + ":310000 ";
    }
    const std::vector<Row> rows = {
        {"single frame both ways", "2301000004", "1+5:056356495344", "6356495344", 1},
        {"a long request waits for CTS, then sends every CF", longRequest, "1+5:300000 3+5:027E00",
         "7E00", 3},
        {"WAIT, WAIT, WAIT, CTS", longRequest,
         "1+5:310000 1+10:310000 1+15:310000 1+20:300000 3+5:027E00", "7E00", 3},
        {"more than 10 WAITs fail", longRequest, elevenWaits,
         "error: CAN: the ECU asked to wait more than 10 times in a row (flow control WAIT)", 1},
        {"overflow fails and sends no CF", longRequest, "1+5:320000",
         "error: CAN: the ECU refused the request (flow control overflow)", 1},
        {"a reserved flow status fails", longRequest, "1+5:330000",
         "error: CAN: the ECU sent a flow control of unknown status 3", 1},
        {"no flow control fails after N_Bs", longRequest, "", noFlowControl, 1},
        {"block size 2: a new flow control after two CFs", bytes(30),
         "1+5:300200 3+5:300200 5+5:027E00", "7E00", 5},
        {"block size 2 without the next flow control fails after N_Bs", bytes(30), "1+5:300200",
         noFlowControl, 3},
        {"a multi-frame reply: first frame, our flow control, consecutive frame", "2101",
         "1+5:100A630102030405 2+1:2106070809", "63010203040506070809", 2},
        {"our block size 1: a flow control after each CF", "2101",
         "1+5:1014000102030405 2+1:2106070809101112 3+1:2213141516171819",
         "0001020304050607080910111213141516171819", 3, 1},
        {"N_Cr runs again from each frame and from our flow control", "2101",
         "1+5:1014000102030405 2+900:2106070809101112 3+900:2213141516171819",
         "0001020304050607080910111213141516171819", 3, 1},
        {"a missing CF fails after N_Cr", "2101", "1+5:1014000102030405 2+1:2106070809101112",
         "error: CAN: the reply stopped after 13 of 20 bytes (no frame within 1000 ms, N_Cr)", 2},
        {"a wrong sequence number fails", "2101", "1+5:100A630102030405 2+1:2206070809",
         "error: CAN: consecutive frame 2 where frame 1 was due (a frame was lost)", 2},
        {"a single frame during a reception starts over", "2101",
         "1+5:100A630102030405 2+1:03630102", "630102", 2},
        {"a first frame during a reception starts over", "2101",
         "1+5:100A630102030405 2+1:1008AABBCCDDEEFF 3+1:210102", "AABBCCDDEEFF0102", 3},
        {"other ids, stray flow controls and CFs are ignored", "2101",
         "1+1:0462010203@7E9 1+2:300000 1+3:2101020304050607 1+4:0462AABBCC", "62AABBCC", 1},
        {"a reply padded with any byte is taken", "2101", "1+5:0462AABBCC555555", "62AABBCC", 1},
        {"a single frame of length 0 is no frame", "2101", "1+5:0062AABBCC", "none", 1},
        {"a single frame of length 8 is no frame", "2101", "1+5:0862AABBCC01020304", "none", 1},
        {"a single frame shorter than its length is no frame", "2101", "1+5:0562AABB", "none", 1},
        {"a first frame of length below 8 is no frame", "2101", "1+5:1007630102030405", "none", 1},
        {"a first frame shorter than 8 bytes is no frame", "2101", "1+5:100A6301", "none", 1},
        {"a request beyond 4095 bytes is refused", bytes(4096), "",
         "error: CAN: a request of 4096 bytes does not fit one transfer (1 to 4095)", 0},
    };
    for (const Row& row : rows) {
        IsoTpSettings settings;
        settings.blockSize = row.ourBlockSize;
        auto [bus, transport] = makeExchange(row.ecuFrames, settings);
        EXPECT_EQ(outcome(*transport, row.request), row.outcome) << row.rule;
        EXPECT_EQ(bus->sent.size(), row.framesSent) << row.rule;
        for (const auto& sent : bus->sent) {
            EXPECT_EQ(sent.frame.id, 0x7E0U) << row.rule;
            EXPECT_EQ(sent.frame.length, 8) << row.rule;
        }
    }
}

TEST(IsoTpTransport, FramesAndFlowControlAsSent) {
    IsoTpSettings settings;
    settings.blockSize = 4;
    settings.separation = 2;
    auto [bus, transport] =
        makeExchange("1+5:300000 3+5:100A630102030405 4+1:2106070809", settings);
    EXPECT_EQ(outcome(*transport, bytes(20)), "63010203040506070809");
    std::vector<std::string> sent;
    for (const auto& s : bus->sent) {
        sent.push_back(canText(s.frame));
    }
    EXPECT_EQ(sent, (std::vector<std::string>{"1014000102030405", "21060708090A0B0C",
                                              "220D0E0F10111213", "300402CCCCCCCCCC"}));
    // Without padding each frame is as long as its content.
    settings.padding.reset();
    auto [plainBus, plain] = makeExchange("1+5:300000", settings);
    outcome(*plain, bytes(8));
    ASSERT_EQ(plainBus->sent.size(), 2U);
    EXPECT_EQ(canText(plainBus->sent[0].frame), "1008000102030405");
    EXPECT_EQ(canText(plainBus->sent[1].frame), "210607");
}

// The gap between consecutive frames that the ECU's STmin asks for; the
// first frame after the first frame's flow control goes at once.
TEST(IsoTpTransport, SeparationTimeBetweenConsecutiveFrames) {
    const std::pair<const char*, std::chrono::microseconds> cases[] = {
        {"300014", milliseconds(20)},
        {"3000F5", std::chrono::microseconds(500)},
        {"300080", milliseconds(127)},
        {"3000FA", milliseconds(127)},
    };
    for (const auto& [flow, gap] : cases) {
        auto [bus, transport] = makeExchange(std::string("1+5:") + flow);
        outcome(*transport, bytes(27));
        ASSERT_EQ(bus->sent.size(), 4U) << flow;
        EXPECT_EQ(bus->sent[1].at - bus->sent[0].at, milliseconds(5)) << flow;
        EXPECT_EQ(bus->sent[2].at - bus->sent[1].at, gap) << flow;
        EXPECT_EQ(bus->sent[3].at - bus->sent[2].at, gap) << flow;
    }
}

// A flow control between two blocks does not shorten the gap: the next
// block's first frame keeps STmin from the last consecutive frame.
TEST(IsoTpTransport, SeparationTimeAcrossAFlowControl) {
    auto [bus, transport] = makeExchange("1+5:30027F 3+1:30027F 5+1:027E00");
    EXPECT_EQ(outcome(*transport, bytes(34)), "7E00");
    ASSERT_EQ(bus->sent.size(), 5U);
    for (std::size_t frame = 2; frame < bus->sent.size(); ++frame) {
        EXPECT_EQ(bus->sent[frame].at - bus->sent[frame - 1].at, milliseconds(127)) << frame;
    }
}

TEST(IsoTpTransport, AFailedReceptionLeavesTheNextExchangeWorking) {
    auto [bus, transport] =
        makeExchange("1+5:100A630102030405 2+1:2206070809 2+2:2306070809 3+5:027E00");
    EXPECT_NE(outcome(*transport, "2101").find("error"), std::string::npos);
    EXPECT_EQ(outcome(*transport, "3E01"), "7E00");
}

} // namespace
} // namespace vistrel
