// SPDX-License-Identifier: MIT
// ISO-TP with an address byte in every frame, and the periodic frames that
// the transport keeps apart from the replies, on a fake bus and clock.

#include "fakes/fake_bus.h"
#include "link/isotp_transport.h"

#include <gtest/gtest.h>
#include <sstream>

namespace vistrel {
namespace {

using std::chrono::milliseconds;

// Each row: the request; the ECU's frames "n:frame[@id]", each sent 1 ms
// after the tester's n-th frame (on 7E8 unless an id is given); then what
// came of it: "reply | the tester's frames | what receiveUnsolicited holds".
struct Row {
    const char* request;
    const char* ecu;
    const char* outcome;
    bool addressed;
    std::optional<std::uint32_t> periodic;
};

TEST(IsoTpAddressing, AddressBytesAndPeriodicFrames) {
    const Row rows[] = {
        // Extended addressing: six bytes fit a single frame, seven do not;
        // our flow control carries the address; other addresses are not for us.
        {"220102030405", "1:F1036201025555", "620102 | 1006220102030405 |", true, {}},
        {"22010203040506", "1:F1300000", "none | 1010072201020304 10210506CCCCCCCC |", true, {}},
        {"22F200",
         "1:F1100862F2000102 2:F121030405CCCC",
         "62F2000102030405 | 100322F200CCCCCC 10300000CCCCCCCC |",
         true,
         {}},
        {"22F200", "1:F203620102 1:F1037F2231", "7F2231 | 100322F200CCCCCC |", true, {}},
        // Periodic frames: on the response id from 40 up, on an id of their
        // own whatever they hold, after our address byte.
        {"22F200", "1:F2112233445566CC 1:0562F20001AA",
         "62F20001AA | 0322F200CCCCCCCC | F2112233445566CC", false, 0x7E8},
        {"22F200", "1:0511223344@5E8 1:0562F20001AA", "62F20001AA | 0322F200CCCCCCCC | 0511223344",
         false, 0x5E8},
        {"22F200", "1:F1F2112233445566 1:F0F21122 1:F10362F200",
         "62F200 | 100322F200CCCCCC | F2112233445566", true, 0x7E8},
    };
    for (const Row& row : rows) {
        IsoTpSettings settings;
        if (row.addressed) {
            settings.address = 0x10;
            settings.rxAddress = 0xF1;
        }
        settings.periodicId = row.periodic;
        auto owned = std::make_unique<testing::FakeBus>();
        testing::FakeBus* bus = owned.get();
        bus->ecu = [&row](testing::FakeBus& on, const CanFrame&) {
            std::istringstream words(row.ecu);
            for (std::string word; words >> word;) {
                const auto colon = word.find(':');
                const auto at = word.find('@');
                const std::uint32_t id =
                    at == std::string::npos ? 0x7E8 : std::stoul(word.substr(at + 1), nullptr, 16);
                if (std::stoul(word.substr(0, colon)) == on.sent.size()) {
                    on.arrive(testing::canFrame(id, word.substr(colon + 1, at - colon - 1)),
                              on.now() + milliseconds(1));
                }
            }
        };
        IsoTpTransport transport(std::move(owned), settings);
        transport.sendMessage(ByteString::fromText(row.request));
        const auto reply = transport.receiveMessage(milliseconds(150));
        std::string outcome = (reply ? reply->text() : "none") + " |";
        for (const auto& frame : bus->sent) {
            outcome += " " + testing::canText(frame.frame);
        }
        outcome += " |";
        while (const auto frame = transport.receiveUnsolicited(milliseconds(0))) {
            outcome += " " + frame->text();
        }
        EXPECT_EQ(outcome, row.outcome) << row.ecu;
    }
}

} // namespace
} // namespace vistrel
