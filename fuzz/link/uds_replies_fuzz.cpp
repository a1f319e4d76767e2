// SPDX-License-Identifier: MIT
// Arbitrary frames from the ECU while a UDS link opens its session, unlocks
// security and reads, with periodic frames on the response id: whatever
// comes, the link answers with a value or an Error, never a crash or a hang;
// no periodic frame is longer than a frame, and the session's timing stays
// within its bounds.
#include "components/error.h"
#include "components/uds_negative_response.h"
#include "input_bus.h"
#include "link/isotp_transport.h"
#include "link/uds_session.h"

#include <cstdint>
#include <cstdlib>

namespace {

using namespace vistrel;

using fuzzing::InputBus;

struct FixedKey : KeyProgram {
    ByteString keyFor(std::uint8_t, const ByteString&) override { return {0x12, 0x34}; }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    // The first byte chooses the addressing and the periodic id.
    IsoTpSettings settings;
    if ((data[0] & 1) != 0) {
        settings.address = 0x10;
        settings.rxAddress = data[1];
    }
    settings.periodicId = (data[0] & 2) != 0 ? 0x5E8 : 0x7E8;
    auto owned = std::make_unique<InputBus>(data + 2, size - 2, 0x5E8);
    InputBus& bus = *owned;
    IsoTpTransport transport(std::move(owned), settings);
    UdsLinkSession session(std::uint8_t{0x01}, std::make_unique<FixedKey>(),
                           [&bus] { return bus.now(); });
    const ByteString requests[] = {
        {0x10, 0x03}, {0x23, 0x14, 0x00, 0x10, 0x00, 0x02}, {0x10, 0xA0}};
    for (std::size_t turn = 0; !bus.exhausted(); ++turn) {
        try {
            session.exchange(transport, requests[turn % std::size(requests)]);
        } catch (const Error& e) {
            (void)isUdsRefusal(e.number());
        }
        while (const auto frame = transport.receiveUnsolicited(std::chrono::milliseconds(0))) {
            if (frame->length() > 8) {
                std::abort();
            }
        }
        session.keepAlive(transport);
        const auto p2 = session.timing().p2Server();
        const auto p2Star = session.timing().p2StarServer();
        if ((p2 && (p2->count() < 10 || p2->count() > 1000)) ||
            (p2Star && (p2Star->count() <= 0 || p2Star->count() > 30000))) {
            std::abort();
        }
    }
    return 0;
}
