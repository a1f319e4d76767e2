// SPDX-License-Identifier: MIT
// Arbitrary frames from the ECU while a UDS link opens its session, unlocks
// security and reads, with periodic frames on the response id: whatever
// comes, the link answers with a value or an Error, never a crash or a hang;
// no periodic frame is longer than a frame, and the session's timing stays
// within its bounds.
#include "components/error.h"
#include "components/uds_negative_response.h"
#include "link/isotp_transport.h"
#include "link/uds_session.h"

#include <cstdint>
#include <cstdlib>

namespace {

using namespace vistrel;

// The input as frames, one every millisecond on a fake clock: a byte whose
// low nibble is the length (0 to 15, so that impossible lengths come too) and
// whose top bit puts the frame on the periodic id of its own, then the data.
class InputBus : public CanBus {
public:
    InputBus(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool exhausted() const noexcept { return at_ >= size_; }
    Clock::time_point now() const override { return now_; }
    void waitUntil(Clock::time_point deadline) override { now_ = std::max(now_, deadline); }
    void send(const CanFrame&) override {}
    std::optional<CanFrame> receive(Clock::time_point deadline) override {
        if (exhausted()) {
            waitUntil(deadline);
            return std::nullopt;
        }
        CanFrame frame;
        const std::uint8_t head = data_[at_++];
        frame.id = (head & 0x80) != 0 ? 0x5E8 : 0x7E8;
        frame.length = static_cast<std::uint8_t>(head & 0x0F);
        for (std::size_t i = 0; i < frame.data.size() && at_ < size_; ++i) {
            frame.data[i] = data_[at_++];
        }
        now_ += std::chrono::milliseconds(1);
        return frame;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
    Clock::time_point now_{};
};

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
    auto owned = std::make_unique<InputBus>(data + 2, size - 2);
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
