// SPDX-License-Identifier: MIT
// What each reading method gives on a real link, where the exchange and not
// the program sets the pace: one K-line exchange takes about 100 ms with the
// ISO 14230 default timings. The simulated ECU answers at once and counts
// its exchanges; the rate is worked out from that count and the modelled
// 100 ms an exchange, so the benchmark runs in a moment.
//
// The list: 20 two-byte items, three bytes apart, all within 64 bytes.
// Goals: DynamicallyDefinedPacked gives at least 15 times the values per
// second of ReadMemoryByAddress and 30 times those of DynamicallyDefined;
// ReadMemoryByAddressMerged (default window) at least 10 times those of
// ReadMemoryByAddress, also in time: with 20 ms an exchange on the simulator,
// the window that the link's costs give reads the list in one exchange.
#include "itemlist/vistrel_items.h"
#include "sim/simulated_ecu.h"

#include <array>
#include <benchmark/benchmark.h>
#include <chrono>
#include <string>

namespace vistrel {
namespace {

constexpr int kItems = 20;
constexpr double kSecondsPerExchange = 0.1;

std::shared_ptr<SimulatedEcu> ecuWith64Bytes() {
    std::string memory;
    for (int i = 0; i < 64; ++i) {
        memory += "5A ";
    }
    return SimulatedEcu::fromText("<ecu><memory address=\"010000\">" + memory + "</memory></ecu>",
                                  "bench.xml");
}

void fill(VistrelItems& items) {
    for (int i = 0; i < kItems; ++i) {
        const auto offset = static_cast<std::uint8_t>(3 * i);
        items.add(ByteString{0x01, 0x00, offset}.text()).setLength(2);
    }
}

// Exchanges of one read of the list once it runs: the packed method's
// definitions are made by the first read, before the ones counted.
double exchangesPerRead(Method method, benchmark::State* state = nullptr) {
    const auto ecu = ecuWith64Bytes();
    VistrelItems items(NumberFormat::invariant());
    fill(items);
    items.setMethode(VistrelItems::MethodeLabel(method));
    items.setProtocol(ecu);
    items.read();
    const std::uint64_t before = ecu->exchangeCount();
    std::int64_t reads = 0;
    if (state != nullptr) {
        for (auto _ : *state) {
            items.read();
            ++reads;
        }
    } else {
        items.read();
        reads = 1;
    }
    return static_cast<double>(ecu->exchangeCount() - before) / static_cast<double>(reads);
}

double valuesPerSecond(double exchanges) {
    return kItems / (exchanges * kSecondsPerExchange);
}

// The program's own cost of one read, and the modelled rate as counters.
void BM_ReadList(benchmark::State& state) {
    const auto method = static_cast<Method>(state.range(0));
    state.SetLabel(VistrelItems::MethodeLabel(method));
    const double exchanges = exchangesPerRead(method, &state);
    state.counters["exchanges_per_read"] = exchanges;
    state.counters["values_per_s_at_100ms"] = valuesPerSecond(exchanges);
}
BENCHMARK(BM_ReadList)->DenseRange(0, 3);

// The goals, checked: the run reports an error when one is missed.
void BM_RateGoals(benchmark::State& state) {
    std::array<double, 4> rate{};
    for (auto _ : state) {
        for (std::int32_t m = 0; m < 4; ++m) {
            rate[static_cast<std::size_t>(m)] =
                valuesPerSecond(exchangesPerRead(static_cast<Method>(m)));
        }
    }
    state.counters["packed_vs_by_address"] = rate[2] / rate[0];
    state.counters["packed_vs_dynamically_defined"] = rate[2] / rate[1];
    state.counters["merged_vs_by_address"] = rate[3] / rate[0];
    if (rate[2] < 15 * rate[0] || rate[2] < 30 * rate[1] || rate[3] < 10 * rate[0]) {
        state.SkipWithError("a rate goal is missed");
    }
}
BENCHMARK(BM_RateGoals)->Iterations(1);

// Seconds of one read of the list on a simulator that takes latency an
// exchange, the window left to the link.
double secondsPerRead(Method method, std::chrono::microseconds latency) {
    const auto ecu = ecuWith64Bytes();
    ecu->setLatencyMicroseconds(static_cast<std::uint32_t>(latency.count()));
    VistrelItems items(NumberFormat::invariant());
    fill(items);
    items.setMethode(VistrelItems::MethodeLabel(method));
    items.setProtocol(ecu);
    constexpr int kReads = 3;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kReads; ++i) {
        items.read();
    }
    const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - start;
    return spent.count() / kReads;
}

void BM_MergedInTimeAt20ms(benchmark::State& state) {
    double byAddress = 0;
    double merged = 0;
    for (auto _ : state) {
        byAddress = secondsPerRead(Method::ReadMemoryByAddress, std::chrono::milliseconds(20));
        merged = secondsPerRead(Method::ReadMemoryByAddressMerged, std::chrono::milliseconds(20));
    }
    state.counters["by_address_ms"] = byAddress * 1000;
    state.counters["merged_ms"] = merged * 1000;
    state.counters["merged_vs_by_address"] = byAddress / merged;
    if (byAddress < 10 * merged) {
        state.SkipWithError("merged is not 10 times as fast as by address");
    }
}
BENCHMARK(BM_MergedInTimeAt20ms)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace vistrel
