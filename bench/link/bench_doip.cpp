// SPDX-License-Identifier: MIT
// UDS over DoIP. On loopback against the simulated entity, whose ECU answers
// at once: exchanges per second (goal: 1000). In memory, against an entity
// that answers within the write: the link's own CPU per exchange (goal:
// 10 µs) — framing, the stream reader, acknowledgement and reply checks.
#include "connect/link_factory.h"
#include "link/doip_link.h"
#include "link/doip_protocol.h"
#include "link/tcp_socket.h"
#include "link/udp_socket.h"
#include "sim/doip_entity.h"

#include <atomic>
#include <benchmark/benchmark.h>
#include <deque>
#include <thread>

namespace vistrel {
namespace {

const ByteString kRequest{0x22, 0xF2, 0x40};

ByteString answerAtOnce(const ByteString& request) {
    ByteString reply{static_cast<std::uint8_t>(request.byte(0) + 0x40), 0xF2, 0x40};
    reply.setLength(3 + 20);
    return reply;
}

void BM_DoipExchangeLoopback(benchmark::State& state) {
    TcpListener listener(0);
    UdpSocket discovery("127.0.0.1", 0);
    DoipEntity entity({}, answerAtOnce);
    std::atomic<bool> running{true};
    std::thread server([&] { entity.serve(listener, discovery, [&] { return running.load(); }); });
    {
        const auto link = makeLink("doip:127.0.0.1:" + std::to_string(listener.port()));
        link->InitCommunication();
        ByteString reply;
        for (auto _ : state) {
            link->SendReceive(kRequest, reply);
        }
        state.counters["exchanges/s"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                                           benchmark::Counter::kIsRate);
    }
    running = false;
    server.join();
}
BENCHMARK(BM_DoipExchangeLoopback)->UseRealTime()->MinTime(2.0);

// A connection whose entity acknowledges and answers every diagnostic
// message within the write, on a clock that never moves.
class InstantEntityLine : public ByteLine {
public:
    Clock::time_point now() const override { return {}; }
    void waitUntil(Clock::time_point) override {}
    void write(std::span<const std::uint8_t> bytes) override {
        const std::uint16_t type = doip::wordAt(bytes, 2);
        if (type == doip::kRoutingActivationRequest) {
            queue(doip::kRoutingActivationResponse,
                  {0x0E, 0x00, 0x00, 0x10, doip::kActivationSuccess, 0, 0, 0, 0});
        } else if (type == doip::kDiagnosticMessage) {
            queue(doip::kDiagnosticAck, doip::addressedPayload(0x0010, 0x0E00, {{0x00}}));
            const ByteString reply = answerAtOnce(kRequest);
            queue(doip::kDiagnosticMessage, doip::addressedPayload(0x0010, 0x0E00, reply.bytes()));
        }
    }
    std::size_t read(std::span<std::uint8_t> out, Clock::time_point) override {
        const std::size_t n = std::min(out.size(), incoming_.size());
        std::copy_n(incoming_.begin(), n, out.begin());
        incoming_.erase(incoming_.begin(), incoming_.begin() + static_cast<std::ptrdiff_t>(n));
        return n;
    }
    void discardInput() override {}
    void setBaudRate(unsigned) override {}
    void setBreak(bool) override {}

private:
    void queue(std::uint16_t type, const std::vector<std::uint8_t>& payload) {
        const auto bytes = doip::encode(doip::kVersion2012, type, payload);
        incoming_.insert(incoming_.end(), bytes.begin(), bytes.end());
    }
    std::deque<std::uint8_t> incoming_;
};

void BM_DoipLinkCpu(benchmark::State& state) {
    DoipSettings settings;
    settings.host = "bench";
    DoipProtocol link(settings, [] { return std::make_unique<InstantEntityLine>(); });
    link.InitCommunication();
    ByteString reply;
    for (auto _ : state) {
        link.SendReceive(kRequest, reply);
        benchmark::DoNotOptimize(reply);
    }
    if (reply.length() != 23) {
        state.SkipWithError("wrong reply");
    }
}
BENCHMARK(BM_DoipLinkCpu);

} // namespace
} // namespace vistrel
