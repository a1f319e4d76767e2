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

} // namespace

KwpResponder::KwpResponder(const EcuDescription& description)
    : addressSize_(description.addressSize), ddliExtraByte_(description.ddliExtraByte),
      ddliMaxBytes_(description.ddliMaxBytes), memory_(description), faults_(description.faults),
      clock_(clockOrSteady({})) {}

void KwpResponder::setClock(EcuClock clock) {
    clock_ = clockOrSteady(std::move(clock));
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
    return memory_.read(request[0], range, faults_, clock_, reply);
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
    if (!memory_.mapped(range)) {
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
        if (const Answer answer = memory_.read(sid, range, faults_, clock_, reply);
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

std::uint32_t KwpResponder::addressAt(std::span<const std::uint8_t> bytes) const noexcept {
    std::uint32_t address = 0;
    for (std::uint32_t i = 0; i < addressSize_; ++i) {
        address = address << 8 | bytes[i];
    }
    return address;
}

} // namespace vistrel
