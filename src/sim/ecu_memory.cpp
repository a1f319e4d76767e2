// SPDX-License-Identifier: MIT
#include "sim/ecu_memory.h"

#include "components/negative_response.h"
#include "sim/ecu_description.h"

#include <algorithm>
#include <optional>

namespace vistrel {
namespace {

std::vector<MemoryBlock> mappedBlocks(const EcuDescription& description) {
    std::vector<MemoryBlock> blocks = description.blocks;
    // Signals own their bytes too; their contents are written at read time.
    for (const Signal& signal : description.signals) {
        blocks.push_back({signal.range.address, std::vector<std::uint8_t>(signal.range.length)});
    }
    return blocks;
}

std::vector<Signal> sortedSignals(std::vector<Signal> signals) {
    std::sort(signals.begin(), signals.end(),
              [](const Signal& a, const Signal& b) { return a.range.address < b.range.address; });
    return signals;
}

} // namespace

EcuMemory::EcuMemory(const EcuDescription& description)
    : memory_(mappedBlocks(description)), signals_(sortedSignals(description.signals)) {}

bool EcuMemory::mapped(const AddressRange& range) const noexcept {
    return memory_.find(range.address, range.length) != nullptr;
}

Answer EcuMemory::read(std::uint8_t service, const AddressRange& range, const EcuFaults& faults,
                       const EcuClock& clock, ByteString& reply) const {
    if (faults.silences(range)) {
        reply.clear();
        return {Answer::Kind::None};
    }
    if (const RefusedRange* refused = faults.refusal(service, range)) {
        return negativeAnswer(service, refused->nrc, reply);
    }
    const std::uint8_t* bytes = memory_.find(range.address, range.length);
    if (bytes == nullptr) {
        return negativeAnswer(service, nrc::kRequestOutOfRange, reply);
    }
    const std::size_t dataStart = reply.length();
    for (std::uint32_t i = 0; i < range.length; ++i) {
        reply.append(bytes[i]);
    }
    overlaySignals(range, clock, reply, dataStart);
    return {};
}

void EcuMemory::overlaySignals(const AddressRange& range, const EcuClock& clock, ByteString& reply,
                               std::size_t dataStart) const {
    // Signals do not overlap, so their ends are sorted as their starts: the
    // first one ending after the read's start is the first that may touch it.
    auto signal = std::upper_bound(signals_.begin(), signals_.end(), std::uint64_t{range.address},
                                   [](std::uint64_t address, const Signal& candidate) {
                                       return address < candidate.range.end();
                                   });
    std::optional<std::chrono::steady_clock::time_point> now;
    for (; signal != signals_.end() && signal->range.address < range.end(); ++signal) {
        if (!now) {
            now = clock();
        }
        std::uint8_t value[8];
        signal->store(signal->valueAt(*now), value);
        const std::uint64_t from = std::max<std::uint64_t>(signal->range.address, range.address);
        const std::uint64_t to = std::min(signal->range.end(), range.end());
        for (std::uint64_t address = from; address < to; ++address) {
            reply.setByte(dataStart + (address - range.address),
                          value[address - signal->range.address]);
        }
    }
}

} // namespace vistrel
