// SPDX-License-Identifier: MIT
// The K-line link's own CPU time per exchange: framing, checksum, echo
// removal and reply checks, over a line that answers at once, so that none
// of the line's waiting is counted (goal: 2 µs an exchange); and the share
// of it that the KWP2000 layer takes, over a link that hands back a reply
// at once.
#include "link/kline_protocol.h"
#include "link/kwp_exchange.h"

#include <benchmark/benchmark.h>

namespace vistrel {
namespace {

// A line that gives back the request's echo and a fixed reply the moment
// the request is written, on a clock that never moves.
class InstantLine : public ByteLine {
public:
    explicit InstantLine(std::vector<std::uint8_t> reply) : reply_(std::move(reply)) {}

    Clock::time_point now() const override { return {}; }
    void waitUntil(Clock::time_point) override {}
    void write(std::span<const std::uint8_t> bytes) override {
        pending_.assign(bytes.begin(), bytes.end());
        pending_.insert(pending_.end(), reply_.begin(), reply_.end());
        read_ = 0;
    }
    std::size_t read(std::span<std::uint8_t> out, Clock::time_point) override {
        const std::size_t n = std::min(out.size(), pending_.size() - read_);
        std::copy_n(pending_.begin() + static_cast<long>(read_), n, out.begin());
        read_ += n;
        return n;
    }
    void discardInput() override {}
    void setBaudRate(unsigned) override {}
    void setBreak(bool) override {}

private:
    std::vector<std::uint8_t> reply_;
    std::vector<std::uint8_t> pending_;
    std::size_t read_ = 0;
};

void BM_KLineExchange(benchmark::State& state) {
    KLineSettings settings;
    settings.init = KLineInit::None;
    settings.p4min = Milliseconds(0);
    // 63 12 34 from the ECU 10 to the tester F1.
    const std::vector<std::uint8_t> reply = {0x83, 0xF1, 0x10, 0x63, 0x12, 0x34, 0x2D};
    const auto link = std::make_shared<KLineProtocol>(
        settings, [&] { return std::make_unique<InstantLine>(reply); });
    const ByteString request = {0x23, 0x01, 0xA2, 0xB3, 0x02};
    ByteString answer;
    for (auto _ : state) {
        link->SendReceive(request, answer);
        benchmark::DoNotOptimize(answer);
    }
}
BENCHMARK(BM_KLineExchange);

// A link whose reply is there the moment it is asked for.
class InstantMessageLink : public MessageLink {
public:
    explicit InstantMessageLink(ByteString reply) : reply_(std::move(reply)) {}

    void sendMessage(const ByteString&) override {}
    std::optional<ByteString> receiveMessage(std::chrono::milliseconds) override { return reply_; }
    std::chrono::milliseconds replyTimeout() const override {
        return std::chrono::milliseconds(50);
    }

private:
    ByteString reply_;
};

void BM_KwpLayer(benchmark::State& state) {
    InstantMessageLink link({0x63, 0x12, 0x34});
    const ByteString request = {0x23, 0x01, 0xA2, 0xB3, 0x02};
    ReplyStep step = kwpReplyStep();
    for (auto _ : state) {
        benchmark::DoNotOptimize(kwpExchange(link, request, step));
    }
}
BENCHMARK(BM_KwpLayer);

} // namespace
} // namespace vistrel
