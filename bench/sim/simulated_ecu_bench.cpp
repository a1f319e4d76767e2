// SPDX-License-Identifier: MIT
// The cost of one exchange with the simulated ECU at zero latency: the
// control, the CLI and the other benchmarks run on it, so it must stay far
// below the cost of what they measure (goal: 150 ns a read).
#include "components/byte_string.h"
#include "sim/simulated_ecu.h"

#include <benchmark/benchmark.h>
#include <pugixml.hpp>

namespace vistrel {
namespace {

void readMemory(benchmark::State& state, const char* requestHex) {
    const auto ecu = SimulatedEcu::demo();
    const ByteString request = ByteString::fromText(requestHex);
    ByteString reply;
    for (auto _ : state) {
        ecu->SendReceive(request, reply);
        benchmark::DoNotOptimize(reply);
    }
}

// A plain memory block.
void BM_ReadMemoryByAddress(benchmark::State& state) {
    readMemory(state, "2301A01002");
}
BENCHMARK(BM_ReadMemoryByAddress);

// A moving signal: the clock is read and the wave computed.
void BM_ReadMemoryByAddressSignal(benchmark::State& state) {
    readMemory(state, "2301A00002");
}
BENCHMARK(BM_ReadMemoryByAddressSignal);

// The two-byte size field and a longer read.
void BM_ReadMemoryByAddressEightBytes(benchmark::State& state) {
    readMemory(state, "230100000008");
}
BENCHMARK(BM_ReadMemoryByAddressEightBytes);

// Define then read, as an item reading through the dynamic identifier does.
void BM_DynamicallyDefinedRead(benchmark::State& state) {
    const auto ecu = SimulatedEcu::demo();
    const ByteString define = ByteString::fromText("2CE0D0010200"
                                                   "01A010");
    const ByteString read = ByteString::fromText("21E0");
    ByteString reply;
    for (auto _ : state) {
        ecu->SendReceive(define, reply);
        ecu->SendReceive(read, reply);
        benchmark::DoNotOptimize(reply);
    }
}
BENCHMARK(BM_DynamicallyDefinedRead);

// A batch of 16 reads in one CAN-XML document, copied fresh each time as the
// control does.
void BM_CanXmlBatch16(benchmark::State& state) {
    const auto ecu = SimulatedEcu::demo();
    pugi::xml_document request;
    pugi::xml_node x = request.append_child("can").append_child("x");
    for (int i = 0; i < 16; ++i) {
        x.append_child("s").append_child("d").text().set("052301A010020000");
        x.append_child("r").append_attribute("c").set_value(i);
    }
    for (auto _ : state) {
        pugi::xml_document document;
        document.reset(request);
        ecu->canXml()->CanXmlExecute(document);
        benchmark::DoNotOptimize(document);
    }
}
BENCHMARK(BM_CanXmlBatch16);

} // namespace
} // namespace vistrel
