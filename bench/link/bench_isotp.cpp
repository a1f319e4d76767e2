// SPDX-License-Identifier: MIT
// The CAN link's own CPU time per exchange (goal: 5 µs): ISO-TP segmenting
// and reassembly, flow control and the KWP2000 reply checks, on a bus whose
// ECU answers at once on a clock that never moves. The exchange is the
// packed method's read of 20 two-byte items: a 2-byte request in a single
// frame, a 42-byte reply in a first frame and 6 consecutive frames.
#include "link/can_protocol.h"
#include "link/isotp_transport.h"

#include <benchmark/benchmark.h>
#include <deque>

namespace vistrel {
namespace {

class InstantBus : public CanBus {
public:
    Clock::time_point now() const override { return {}; }
    void waitUntil(Clock::time_point) override {}
    void send(const CanFrame& frame) override {
        const isotp::Addressing ecu{0x7E8, false, 0xAA, std::nullopt};
        if (frame.data[0] == 0x02) {
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
    std::vector<std::uint8_t> reply_ = [] {
        std::vector<std::uint8_t> reply{0x61, 0xE0};
        reply.resize(42, 0x5A);
        return reply;
    }();
    std::deque<CanFrame> incoming_;
};

void BM_CanExchange(benchmark::State& state) {
    const auto link = std::make_shared<CanProtocol>(CanSettings{}, [] {
        return std::make_unique<IsoTpTransport>(std::make_unique<InstantBus>(), IsoTpSettings{});
    });
    link->InitCommunication();
    const ByteString request{0x21, 0xE0};
    ByteString reply;
    for (auto _ : state) {
        link->SendReceive(request, reply);
        benchmark::DoNotOptimize(reply);
    }
    if (reply.length() != 42) {
        state.SkipWithError("wrong reply");
    }
}
BENCHMARK(BM_CanExchange);

} // namespace
} // namespace vistrel
