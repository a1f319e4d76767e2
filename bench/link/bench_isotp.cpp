// SPDX-License-Identifier: MIT
// The CAN link's own CPU time per exchange (goal: 5 µs): ISO-TP segmenting
// and reassembly, flow control and the KWP2000 or UDS reply checks, on a bus
// whose ECU answers at once on a clock that never moves. The exchange is the
// packed method's read of 20 two-byte items: a short request in a single
// frame, a 42-byte reply in a first frame and 6 consecutive frames. And the
// CPU time per periodic frame taken from the bus (goal: 2 µs).
#include "link/can_protocol.h"
#include "link/isotp_transport.h"
#include "link/link_string.h"

#include <benchmark/benchmark.h>
#include <deque>

namespace vistrel {
namespace {

class InstantBus : public CanBus {
public:
    // A reply to 21 E0 (KWP2000) or 22 F200 (UDS).
    explicit InstantBus(std::vector<std::uint8_t> head) : reply_(std::move(head)) {
        reply_.resize(42, 0x5A);
    }
    Clock::time_point now() const override { return {}; }
    void waitUntil(Clock::time_point) override {}
    void send(const CanFrame& frame) override {
        const isotp::Addressing ecu{0x7E8, false, 0xAA, std::nullopt};
        if (frame.data[0] <= 0x07) {
            incoming_.push_back(isotp::firstFrame(ecu, reply_));
        } else if ((frame.data[0] & 0xF0) == 0x30) {
            std::uint8_t number = 1;
            for (std::size_t at = isotp::kFirstFrameData; at < reply_.size();
                 at += isotp::kConsecutiveData) {
                incoming_.push_back(isotp::consecutiveFrame(
                    ecu, number++, std::span<const std::uint8_t>(reply_).subspan(at)));
            }
        }
    }
    std::optional<CanFrame> receive(Clock::time_point) override {
        if (incoming_.empty()) {
            return std::nullopt;
        }
        const CanFrame frame = incoming_.front();
        incoming_.pop_front();
        return frame;
    }

private:
    std::vector<std::uint8_t> reply_;
    std::deque<CanFrame> incoming_;
};

void canExchange(benchmark::State& state, const char* linkString, const ByteString& request) {
    const CanSettings settings = CanSettings::fromLinkString(parseLinkString(linkString));
    const auto link = std::make_shared<CanProtocol>(settings, [&] {
        return std::make_unique<IsoTpTransport>(
            std::make_unique<InstantBus>(std::vector<std::uint8_t>(
                {static_cast<std::uint8_t>(request.byte(0) + 0x40), request.byte(1)})),
            settings.isotp);
    });
    link->InitCommunication();
    ByteString reply;
    for (auto _ : state) {
        link->SendReceive(request, reply);
        benchmark::DoNotOptimize(reply);
    }
    if (reply.length() != 42) {
        state.SkipWithError("wrong reply");
    }
}

void BM_CanExchange(benchmark::State& state) {
    canExchange(state, "socketcand:h", ByteString{0x21, 0xE0});
}
BENCHMARK(BM_CanExchange);

void BM_UdsCanExchange(benchmark::State& state) {
    canExchange(state, "socketcand:h,diag=uds", ByteString{0x22, 0xF2, 0x00});
}
BENCHMARK(BM_UdsCanExchange);

// Periodic frames on the response id, one after the other.
class PeriodicBus : public CanBus {
public:
    Clock::time_point now() const override { return {}; }
    void waitUntil(Clock::time_point) override {}
    void send(const CanFrame&) override {}
    std::optional<CanFrame> receive(Clock::time_point) override { return frame_; }

private:
    CanFrame frame_{0x7E8, false, 8, {0xF2, 1, 2, 3, 4, 5, 6, 7}};
};

void BM_PeriodicFrame(benchmark::State& state) {
    IsoTpSettings settings;
    settings.periodicId = settings.rx;
    IsoTpTransport transport(std::make_unique<PeriodicBus>(), settings);
    for (auto _ : state) {
        benchmark::DoNotOptimize(transport.receiveUnsolicited(std::chrono::milliseconds(0)));
    }
}
BENCHMARK(BM_PeriodicFrame);

} // namespace
} // namespace vistrel
