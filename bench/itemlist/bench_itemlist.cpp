// SPDX-License-Identifier: MIT
// The list's bulk operations at the size of a large watch list.
#include "itemlist/vistrel_items.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kItems = 10000;
const vistrel::NumberFormat kFrench{",", " "};

std::vector<std::string> itemLines() {
    std::vector<std::string> lines;
    lines.reserve(kItems);
    for (int i = 0; i < kItems; ++i) {
        char address[16];
        std::snprintf(address, sizeof address, "%06X", 0x0A0000 + i * 4);
        lines.push_back(std::string(address) + "\t" + std::to_string(1 + i % 4) +
                        "\tBE\tTempérature " + std::to_string(i) + "\t°C\t0,75\t-40\t1 000\tP\t1");
    }
    return lines;
}

void fill(vistrel::VistrelItems& items) {
    for (const std::string& line : itemLines()) {
        items.addLine(line);
    }
}

std::string scratchFile() {
    return (std::filesystem::temp_directory_path() /
            ("bench_itemlist_" + std::to_string(::getpid()) + ".xml"))
        .string();
}

void BM_AddLine10000(benchmark::State& state) {
    const std::vector<std::string> lines = itemLines();
    for (auto _ : state) {
        vistrel::VistrelItems items(kFrench);
        for (const std::string& line : lines) {
            benchmark::DoNotOptimize(items.addLine(line));
        }
    }
}
BENCHMARK(BM_AddLine10000)->Unit(benchmark::kMillisecond);

void BM_SaveConfigXML10000(benchmark::State& state) {
    vistrel::VistrelItems items(kFrench);
    fill(items);
    const std::string path = scratchFile();
    for (auto _ : state) {
        items.saveConfigXML(path);
    }
    std::filesystem::remove(path);
}
BENCHMARK(BM_SaveConfigXML10000)->Unit(benchmark::kMillisecond);

void BM_LoadConfigXML10000(benchmark::State& state) {
    const std::string path = scratchFile();
    {
        vistrel::VistrelItems items(kFrench);
        fill(items);
        items.saveConfigXML(path);
    }
    for (auto _ : state) {
        vistrel::VistrelItems items(kFrench);
        items.loadConfigXML(path);
        benchmark::DoNotOptimize(items.count());
    }
    std::filesystem::remove(path);
}
BENCHMARK(BM_LoadConfigXML10000)->Unit(benchmark::kMillisecond);

} // namespace
