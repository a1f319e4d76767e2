// SPDX-License-Identifier: MIT
// The cost of one exchange with the simulated ECU at zero latency: the
// control, the CLI and the other benchmarks run on it, so it must stay far
// below the cost of what they measure (goal: 150 ns a read).
#include "components/byte_string.h"
#include "sim/ecu_description.h"
#include "sim/simulated_ecu.h"
#include "sim/uds_responder.h"

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

// UDS: a dynamically defined identifier of three elements read with 22.
void BM_UdsReadDefinedIdentifier(benchmark::State& state) {
    const auto ecu = SimulatedEcu::demoUds();
    ByteString reply;
    ecu->SendReceive(ByteString::fromText("1003"), reply);
    ecu->SendReceive(ByteString::fromText("2C02F2001301A0000201A0040201A01002"), reply);
    const ByteString read = ByteString::fromText("22F200");
    for (auto _ : state) {
        ecu->SendReceive(read, reply);
        benchmark::DoNotOptimize(reply);
    }
}
BENCHMARK(BM_UdsReadDefinedIdentifier);

// UDS: what the ECU spends on one periodic frame (a signal and a memory
// byte), with sixteen identifiers due at every step.
void BM_UdsPeriodicFrame(benchmark::State& state) {
    EcuDescription description = loadEcuDescription("uds");
    // No tester keeps the session here: it must not time out.
    description.uds.s3 = std::chrono::hours(24);
    UdsResponder ecu(description);
    auto now = std::chrono::steady_clock::time_point(std::chrono::hours(1));
    ecu.setClock([&now] { return now; });
    ByteString reply;
    ecu.answer(ByteString::fromText("1003").bytes(), reply);
    ByteString schedule = ByteString::fromText("2A03");
    for (std::uint8_t low = 0x40; low < 0x50; ++low) {
        ByteString define = ByteString::fromText("2C02F2001301A0000201A00601");
        define.setByte(3, low);
        ecu.answer(define.bytes(), reply);
        schedule.append(low);
    }
    ecu.answer(schedule.bytes(), reply);
    std::size_t frames = 0;
    for (auto _ : state) {
        now += std::chrono::milliseconds(10);
        frames += ecu.periodicFrames().size();
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(frames));
}
BENCHMARK(BM_UdsPeriodicFrame);

} // namespace
} // namespace vistrel
