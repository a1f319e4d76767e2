// SPDX-License-Identifier: MIT
// Importing a large measurement description: a generated file of about
// 50 MB with 50,000 measurements, each among the blocks a real one holds
// (conversions, IF_DATA with nested blocks, comments, long strings). The
// goal is at most 2 s on one core for the whole import.
#include "itemlist/a2l_mapping.h"
#include "itemlist/a2l_reader.h"
#include "itemlist/vistrel_items.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

constexpr int kMeasurements = 50000;
constexpr std::size_t kMeasurementBytes = 1000; // 50 MB in all

std::string measurementText(int i) {
    char head[512];
    std::snprintf(head, sizeof head,
                  "    /begin MEASUREMENT Signal_%05d \"Signal number %d of the generated "
                  "description, with a \\\"quoted\\\" word\"\n"
                  "      %s CM_%d 0.1 0 -1000 1000\n"
                  "      ECU_ADDRESS 0x%08X\n"
                  "      BIT_MASK 0x%X\n"
                  "      /* a comment inside the block */\n"
                  "      /begin IF_DATA XCP\n"
                  "        /begin LINK_MAP \"ref_%d\" 0x%X 0x0 0 0x0 1 0x8F 0x0 /end LINK_MAP\n"
                  "        /begin DAQ_EVENT FIXED_EVENT_LIST EVENT 0x1 /end DAQ_EVENT\n"
                  "      /end IF_DATA\n",
                  i, i, (i % 3 == 0) ? "UWORD" : (i % 3 == 1 ? "FLOAT32_IEEE" : "SLONG"), i % 100,
                  0x80000000U + static_cast<unsigned>(i) * 4, (i % 3 == 0) ? 0xFFF0 : 0xFFFFFFFF, i,
                  0x80000000U + static_cast<unsigned>(i) * 4);
    std::string text = head;
    text += "      // ";
    const std::size_t used = text.size() + 40; // the comment's start and the /end line
    text.append(used < kMeasurementBytes ? kMeasurementBytes - used : 0, '-');
    text += "\n    /end MEASUREMENT\n";
    return text;
}

const std::string& description() {
    static const std::string text = [] {
        std::string out = "ASAP2_VERSION 1 61\n/begin PROJECT Big \"\"\n/begin MODULE M \"\"\n"
                          "/begin MOD_COMMON \"\" BYTE_ORDER MSB_LAST /end MOD_COMMON\n";
        for (int i = 0; i < 100; ++i) {
            out += "/begin COMPU_METHOD CM_" + std::to_string(i) +
                   " \"\" LINEAR \"%6.2\" \"unit\" COEFFS_LINEAR 0." + std::to_string(i + 1) +
                   " -4 /end COMPU_METHOD\n";
        }
        out.reserve(out.size() + kMeasurements * (kMeasurementBytes + 64));
        for (int i = 0; i < kMeasurements; ++i) {
            out += measurementText(i);
        }
        return out + "/end MODULE\n/end PROJECT\n";
    }();
    return text;
}

void BM_A2lImportToConfigurationFile(benchmark::State& state) {
    const std::string& text = description();
    const vistrel::A2lFileSource inMemory = [&text](const std::filesystem::path&) {
        return std::optional<std::string>(text);
    };
    const std::string out = (std::filesystem::temp_directory_path() /
                             ("bench_a2l_" + std::to_string(::getpid()) + ".xml"))
                                .string();
    std::size_t imported = 0;
    for (auto _ : state) {
        const vistrel::A2lDescription read = vistrel::readA2l("big.a2l", inMemory);
        const vistrel::A2lImport import = vistrel::importMeasurements(
            read, {-0x80000000LL, 3}, [](const vistrel::A2lMeasurement&) { return true; });
        vistrel::VistrelItems items(vistrel::NumberFormat::invariant());
        for (const vistrel::ItemLineFields& item : import.items) {
            items.addLine(vistrel::itemLine(item, items.numberFormat()));
        }
        items.saveConfigXML(out);
        imported = import.items.size();
    }
    std::filesystem::remove(out);
    state.counters["measurements"] = static_cast<double>(imported);
    state.counters["MB"] = static_cast<double>(text.size()) / 1e6;
}
BENCHMARK(BM_A2lImportToConfigurationFile)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_A2lReadOnly(benchmark::State& state) {
    const std::string& text = description();
    const vistrel::A2lFileSource inMemory = [&text](const std::filesystem::path&) {
        return std::optional<std::string>(text);
    };
    for (auto _ : state) {
        benchmark::DoNotOptimize(vistrel::readA2l("big.a2l", inMemory));
    }
}
BENCHMARK(BM_A2lReadOnly)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
