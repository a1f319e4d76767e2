// SPDX-License-Identifier: MIT
// ISO-TP with an address byte in every frame, and the periodic frames that
// the transport keeps apart from the replies, on a fake bus and clock.

#include "fakes/error_of.h"
#include "fakes/fake_bus.h"
#include "link/isotp_transport.h"

#include <gtest/gtest.h>

namespace vistrel {
namespace {

using std::chrono::milliseconds;
using testing::canFrame;
using testing::canText;
using testing::FakeBus;

struct Row {
    const char* what;
    const char* request;
    // The ECU's frames (on 7E8 unless "@id" follows), each sent when the
    // tester's frame of that number (from 1) goes out.
    std::vector<std::pair<std::size_t, std::string>> ecu;
    const char* reply;                    // hex or "none"
    std::vector<std::string> sent;        // the tester's frames
    std::vector<std::string> unsolicited; // what receiveUnsolicited then holds
};

IsoTpSettings settingsFor(bool addressed, std::optional<std::uint32_t> periodic) {
    IsoTpSettings settings;
    if (addressed) {
        settings.address = 0x10;
        settings.rxAddress = 0xF1;
    }
    settings.periodicId = periodic;
    return settings;
}

void run(const Row& row, const IsoTpSettings& settings) {
    auto owned = std::make_unique<FakeBus>();
    FakeBus* bus = owned.get();
    bus->ecu = [&row](FakeBus& on, const CanFrame&) {
        for (const auto& [after, frame] : row.ecu) {
            if (after == on.sent.size()) {
                const auto at = frame.find('@');
                const std::uint32_t id =
                    at == std::string::npos ? 0x7E8 : std::stoul(frame.substr(at + 1), nullptr, 16);
                on.arrive(canFrame(id, frame.substr(0, at)), on.now() + milliseconds(1));
            }
        }
    };
    IsoTpTransport transport(std::move(owned), settings);
    transport.sendMessage(ByteString::fromText(row.request));
    const auto reply = transport.receiveMessage(milliseconds(150));
    EXPECT_EQ(reply ? reply->text() : "none", row.reply) << row.what;
    std::vector<std::string> sent;
    for (const auto& frame : bus->sent) {
        sent.push_back(canText(frame.frame));
    }
    EXPECT_EQ(sent, row.sent) << row.what;
    std::vector<std::string> unsolicited;
    while (const auto frame = transport.receiveUnsolicited(milliseconds(0))) {
        unsolicited.push_back(frame->text());
    }
    EXPECT_EQ(unsolicited, row.unsolicited) << row.what;
}

TEST(IsoTpAddressing, EveryFrameCarriesTheAddressByte) {
    const Row rows[] = {
        {"six bytes fit one frame",
         "220102030405",
         {{1, "F1036201025555"}},
         "620102",
         {"1006220102030405"},
         {}},
        {"seven do not; the flow control is addressed too",
         "22010203040506",
         {{1, "F1300000"}},
         "none",
         {"1010072201020304", "102105 06CCCCCCCC"},
         {}},
        {"a long reply, our flow control with the address",
         "22F200",
         {{1, "F1100862F2000102"}, {2, "F121030405CCCC"}},
         "62F2000102030405",
         {"100322F200CCCCCC", "10300000CCCCCCCC"},
         {}},
        {"frames with another address are not for us",
         "22F200",
         {{1, "F203620102"}, {1, "F1037F2231"}},
         "7F2231",
         {"100322F200CCCCCC"},
         {}},
    };
    for (const Row& row : rows) {
        Row fixed = row;
        for (auto& frame : fixed.sent) {
            frame.erase(std::remove(frame.begin(), frame.end(), ' '), frame.end());
        }
        run(fixed, settingsFor(true, std::nullopt));
    }
}

TEST(IsoTpAddressing, PeriodicFramesGoToTheirOwnQueue) {
    const struct {
        Row row;
        bool addressed;
        std::optional<std::uint32_t> periodic;
    } cases[] = {
        {{"on the response id, 40 and above is periodic",
          "22F200",
          {{1, "F2112233445566CC"}, {1, "0562F20001AA"}},
          "62F20001AA",
          {"0322F200CCCCCCCC"},
          {"F2112233445566CC"}},
         false,
         0x7E8},
        {{"without a periodic id, such a frame is only noise",
          "22F200",
          {{1, "F2112233445566CC"}, {1, "0562F20001AA"}},
          "62F20001AA",
          {"0322F200CCCCCCCC"},
          {}},
         false,
         std::nullopt},
        {{"on an id of their own, any first byte",
          "22F200",
          {{1, "0511223344@5E8"}, {1, "0562F20001AA"}},
          "62F20001AA",
          {"0322F200CCCCCCCC"},
          {"0511223344"}},
         false,
         0x5E8},
        {{"with an address byte, after it, and only ours",
          "22F200",
          {{1, "F1F2112233445566"}, {1, "F0F21122"}, {1, "F10362F200"}},
          "62F200",
          {"100322F200CCCCCC"},
          {"F2112233445566"}},
         true,
         0x7E8},
    };
    for (const auto& c : cases) {
        run(c.row, settingsFor(c.addressed, c.periodic));
    }
}

TEST(IsoTpAddressing, UnsolicitedWaitsNoLongerThanItsTimeout) {
    auto owned = std::make_unique<FakeBus>();
    FakeBus* bus = owned.get();
    IsoTpTransport transport(std::move(owned), settingsFor(false, 0x7E8));
    const auto start = bus->now();
    bus->arrive(canFrame(0x7E8, "F2AA"), start + milliseconds(30));
    EXPECT_FALSE(transport.receiveUnsolicited(milliseconds(20)));
    EXPECT_EQ(bus->now(), start + milliseconds(20));
    const auto frame = transport.receiveUnsolicited(milliseconds(20));
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->text(), "F2AA");
    EXPECT_EQ(bus->now(), start + milliseconds(30));
}

} // namespace
} // namespace vistrel
