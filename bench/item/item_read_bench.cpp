// SPDX-License-Identifier: MIT
#include "components/protocol.h"
#include "item/vistrel_item.h"

#include <array>
#include <benchmark/benchmark.h>
#include <memory>
#include <string>
#include <vector>

namespace vistrel {
namespace {

// An ECU with no latency: answers every ReadMemoryByAddress request (one-byte
// length field) at once with 63 and as many bytes as asked for.
class InstantEcu final : public Protocol {
public:
    std::string title() const override { return "bench"; }
    std::string subtitle() const override { return "instant ECU"; }
    std::string protocolName() const override { return "bench"; }
    std::int32_t canRid() const override { return 0; }
    std::int32_t canXid() const override { return 0; }
    CanXmlProcessor* canXml() override { return nullptr; }
    void InitCommunication() override {}

    void SendReceive(const ByteString& request, ByteString& reply) override {
        const std::size_t length = request.byte(request.length() - 1);
        reply.setLength(length + 1);
        reply.setByte(0, 0x63);
        for (std::size_t i = 1; i <= length; ++i) {
            reply.setByte(i, static_cast<std::uint8_t>(request.byte(i % request.length()) + i));
        }
    }
};

constexpr std::size_t kItemCount = 64;

// A list's worth of items of every length and coding, shown in one format.
std::vector<VistrelItem> makeItems(const char* format) {
    static constexpr std::array<const char*, 4> kCodings{"LE+", "LE", "BE+", "BE"};
    auto numberFormat = std::make_shared<const NumberFormat>(NumberFormat::invariant());
    std::vector<VistrelItem> items;
    items.reserve(kItemCount);
    for (std::size_t i = 0; i < kItemCount; ++i) {
        VistrelItem& item = items.emplace_back(numberFormat);
        const std::array<char, 7> address{'0', '1', 'A', "0123456789ABCDEF"[i % 16], '0', '0', 0};
        item.setAddress(address.data());
        item.setLength(static_cast<std::int32_t>(i % 8) + 1);
        item.setCodingText(kCodings[i % 4]);
        item.setFormatText(format);
        item.setCoefA(0.125);
        item.setCoefB(-40);
        item.setCoefC(3);
    }
    return items;
}

// One item read and shown per iteration, as the polling cycle does for each
// row of the grid.
void readMemoryAndText(benchmark::State& state, const char* format) {
    std::vector<VistrelItem> items = makeItems(format);
    InstantEcu ecu;
    std::size_t next = 0;
    for (auto _ : state) {
        VistrelItem& item = items[next];
        next = (next + 1) % kItemCount;
        item.ReadMemory(ecu, 1);
        std::string text = item.text();
        benchmark::DoNotOptimize(text);
    }
    state.SetItemsProcessed(state.iterations());
}

BENCHMARK_CAPTURE(readMemoryAndText, D, "D");
BENCHMARK_CAPTURE(readMemoryAndText, H, "H");
BENCHMARK_CAPTURE(readMemoryAndText, B, "B");
BENCHMARK_CAPTURE(readMemoryAndText, P, "P");

} // namespace
} // namespace vistrel
