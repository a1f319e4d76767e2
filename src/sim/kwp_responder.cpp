// SPDX-License-Identifier: MIT
#include "sim/kwp_responder.h"

#include "components/negative_response.h"

#include <algorithm>
#include <optional>

namespace vistrel {
namespace {

// The definition the items send: 2C identifier D0 position size 00 address.
constexpr std::uint8_t kDefinitionMode = 0xD0;
constexpr std::size_t kDefinitionHeader = 6;
// The byte between the identifier and the data in the extra-byte form.
constexpr std::uint8_t kRecordPosition = 0x01;

std::vector<MemoryBlock> mappedBlocks(const EcuDescription& description) {
    std::vector<MemoryBlock> blocks = description.blocks;
    // Signals own their bytes too; their contents are written at read time.
    for (const Signal& signal : description.signals) {
        blocks.push_back({signal.range.address, std::vector<std::uint8_t>(signal.range.length)});
    }
    return blocks;
}

std::chrono::steady_clock::time_point steadyNow() {
    return std::chrono::steady_clock::now();
}

std::vector<Signal> sortedSignals(std::vector<Signal> signals) {
    std::sort(signals.begin(), signals.end(),
              [](const Signal& a, const Signal& b) { return a.range.address < b.range.address; });
    return signals;
}

} // namespace

Answer negativeAnswer(std::uint8_t sid, std::uint8_t code, ByteString& reply) {
    reply.clear();
    reply.append(kwp::kNegativeReply);
    reply.append(sid);
    reply.append(code);
    return {Answer::Kind::Negative, sid, code};
}

KwpResponder::KwpResponder(const EcuDescription& description)
    : addressSize_(description.addressSize), ddliExtraByte_(description.ddliExtraByte),
      ddliMaxBytes_(description.ddliMaxBytes), memory_(mappedBlocks(description)),
      signals_(sortedSignals(description.signals)), faults_(description.faults), clock_(steadyNow) {
}

void KwpResponder::setClock(EcuClock clock) {
    clock_ = clock ? std::move(clock) : steadyNow;
}

Answer KwpResponder::answer(std::span<const std::uint8_t> request, ByteString& reply) {
    reply.clear();
    if (request.empty()) {
        return negativeAnswer(0x00, nrc::kInvalidFormat, reply);
    }
    switch (request[0]) {
    case kwp::kStartDiagnosticSession:
        return startSession(request, reply);
    case kwp::kReadMemoryByAddress:
        return readMemoryByAddress(request, reply);
    case kwp::kDynamicallyDefineLocalIdentifier:
        return defineIdentifier(request, reply);
    case kwp::kReadDataByLocalIdentifier:
        return readIdentifier(request, reply);
    default:
        return negativeAnswer(request[0], nrc::kServiceNotSupported, reply);
    }
}

Answer KwpResponder::startSession(std::span<const std::uint8_t> request, ByteString& reply) {
    if (request.size() != 2) {
        return negativeAnswer(request[0], nrc::kInvalidFormat, reply);
    }
    if (faults_.sessionFailures > 0) {
        --faults_.sessionFailures;
        return negativeAnswer(request[0], faults_.sessionNrc, reply);
    }
    reply.append(static_cast<std::uint8_t>(request[0] + kwp::kPositiveReplyOffset));
    reply.append(request[1]);
    return {};
}

Answer KwpResponder::readMemoryByAddress(std::span<const std::uint8_t> request, ByteString& reply) {
    // 23, the address, then the size in one byte or, one byte longer, in two
    // (most significant first).
    const std::size_t sizeAt = 1 + addressSize_;
    AddressRange range;
    if (request.size() == sizeAt + 1) {
        range.length = request[sizeAt];
    } else if (request.size() == sizeAt + 2) {
        range.length = static_cast<std::uint32_t>(request[sizeAt] << 8 | request[sizeAt + 1]);
    } else {
        return negativeAnswer(request[0], nrc::kInvalidFormat, reply);
    }
    if (range.length == 0) {
        return negativeAnswer(request[0], nrc::kInvalidFormat, reply);
    }
    range.address = addressAt(request.subspan(1, addressSize_));
    reply.append(static_cast<std::uint8_t>(request[0] + kwp::kPositiveReplyOffset));
    return readRange(request[0], range, reply);
}

Answer KwpResponder::defineIdentifier(std::span<const std::uint8_t> request, ByteString& reply) {
    const std::uint8_t sid = request[0];
    if (request.size() != kDefinitionHeader + addressSize_ || request[2] != kDefinitionMode ||
        request[3] == 0 || request[4] == 0 || request[5] != 0x00) {
        return negativeAnswer(sid, nrc::kInvalidFormat, reply);
    }
    std::vector<AddressRange>* records = definition(request[1]);
    // Position 1 starts a new definition; each further position adds to
    // it, or replaces the records from that position on. A gap is refused.
    const std::size_t position = request[3];
    if (records == nullptr || position > records->size() + 1) {
        return negativeAnswer(sid, nrc::kRequestOutOfRange, reply);
    }
    const AddressRange range{addressAt(request.subspan(kDefinitionHeader)), request[4]};
    if (const RefusedRange* refused = faults_.refusal(sid, range)) {
        return negativeAnswer(sid, refused->nrc, reply);
    }
    if (memory_.find(range.address, range.length) == nullptr) {
        return negativeAnswer(sid, nrc::kRequestOutOfRange, reply);
    }
    std::uint32_t kept = 0;
    for (std::size_t i = 0; i + 1 < position; ++i) {
        kept += (*records)[i].length;
    }
    if (kept + range.length > ddliMaxBytes_) {
        return negativeAnswer(sid, nrc::kRequestOutOfRange, reply);
    }
    records->resize(position - 1);
    records->push_back(range);
    reply.append(static_cast<std::uint8_t>(sid + kwp::kPositiveReplyOffset));
    reply.append(request[1]);
    return {};
}

Answer KwpResponder::readIdentifier(std::span<const std::uint8_t> request, ByteString& reply) {
    const std::uint8_t sid = request[0];
    if (request.size() != 2) {
        return negativeAnswer(sid, nrc::kInvalidFormat, reply);
    }
    const std::vector<AddressRange>* records = definition(request[1]);
    if (records == nullptr || records->empty()) {
        return negativeAnswer(sid, nrc::kRequestOutOfRange, reply);
    }
    reply.append(static_cast<std::uint8_t>(sid + kwp::kPositiveReplyOffset));
    reply.append(request[1]);
    if (ddliExtraByte_) {
        reply.append(kRecordPosition);
    }
    for (const AddressRange& range : *records) {
        if (const Answer answer = readRange(sid, range, reply);
            answer.kind != Answer::Kind::Positive) {
            return answer;
        }
    }
    return {};
}

std::vector<AddressRange>* KwpResponder::definition(std::uint8_t identifier) noexcept {
    if (identifier < kwp::kDynamicIdentifier || identifier > kwp::kLastDynamicIdentifier) {
        return nullptr;
    }
    return &definitions_[identifier - kwp::kDynamicIdentifier];
}

Answer KwpResponder::readRange(std::uint8_t service, const AddressRange& range, ByteString& reply) {
    if (faults_.silences(range)) {
        reply.clear();
        return {Answer::Kind::None};
    }
    if (const RefusedRange* refused = faults_.refusal(service, range)) {
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
    overlaySignals(range, reply, dataStart);
    return {};
}

void KwpResponder::overlaySignals(const AddressRange& range, ByteString& reply,
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
            now = clock_();
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

std::uint32_t KwpResponder::addressAt(std::span<const std::uint8_t> bytes) const noexcept {
    std::uint32_t address = 0;
    for (std::uint32_t i = 0; i < addressSize_; ++i) {
        address = address << 8 | bytes[i];
    }
    return address;
}

} // namespace vistrel
