// SPDX-License-Identifier: MIT
#include "link/doip_message.h"

#include "components/byte_string.h"

namespace vistrel::doip {
namespace {

// A compacting read buffer: the bytes before start_ are dropped once they
// outweigh what still waits, so a long run of small messages costs no copies
// per message.
constexpr std::size_t kCompactAt = 4096;

struct LengthRule {
    std::uint16_t type;
    std::uint32_t least;
    std::uint32_t most;
    // A second fixed length (an optional trailing field), kNone when none.
    std::uint32_t alternative;
};

constexpr std::uint32_t kNone = 0xFFFFFFFF;

// What each known payload may measure. The addressed messages carry at
// least their two addresses and one byte.
constexpr LengthRule kLengthRules[] = {
    {kGenericNack, 1, 1, kNone},
    {kVehicleIdentificationRequest, 0, 0, kNone},
    {kVehicleAnnouncement, kAnnouncementLength, kAnnouncementLength, kAnnouncementLength + 1},
    {kRoutingActivationRequest, 7, 7, 11},
    {kRoutingActivationResponse, 9, 9, 13},
    {kAliveCheckRequest, 0, 0, kNone},
    {kAliveCheckResponse, 2, 2, kNone},
    {kDiagnosticMessage, kAddressPairLength + 1, kMaxPayload, kNone},
    {kDiagnosticAck, kAddressPairLength + 1, kMaxPayload, kNone},
    {kDiagnosticNack, kAddressPairLength + 1, kMaxPayload, kNone},
};

const LengthRule* ruleOf(std::uint16_t type) noexcept {
    for (const LengthRule& rule : kLengthRules) {
        if (rule.type == type) {
            return &rule;
        }
    }
    return nullptr;
}

std::uint32_t lengthAt(std::span<const std::uint8_t> bytes) {
    return (std::uint32_t{bytes[4]} << 24) | (std::uint32_t{bytes[5]} << 16) |
           (std::uint32_t{bytes[6]} << 8) | bytes[7];
}

} // namespace

std::vector<std::uint8_t> encode(std::uint8_t version, std::uint16_t type,
                                 std::span<const std::uint8_t> payload) {
    std::vector<std::uint8_t> out;
    out.reserve(kHeaderLength + payload.size());
    out.push_back(version);
    out.push_back(static_cast<std::uint8_t>(~version));
    appendWord(out, type);
    const auto length = static_cast<std::uint32_t>(payload.size());
    appendWord(out, static_cast<std::uint16_t>(length >> 16));
    appendWord(out, static_cast<std::uint16_t>(length));
    out.insert(out.end(), payload.begin(), payload.end());
    return out;
}

std::vector<std::uint8_t> addressedPayload(std::uint16_t source, std::uint16_t target,
                                           std::span<const std::uint8_t> data) {
    std::vector<std::uint8_t> out;
    out.reserve(kAddressPairLength + data.size());
    appendWord(out, source);
    appendWord(out, target);
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

std::uint16_t wordAt(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::uint16_t>((bytes[at] << 8) | bytes[at + 1]);
}

void appendWord(std::vector<std::uint8_t>& out, std::uint16_t value) {
    out.push_back(static_cast<std::uint8_t>(value >> 8));
    out.push_back(static_cast<std::uint8_t>(value));
}

bool isKnownType(std::uint16_t type) noexcept {
    return ruleOf(type) != nullptr;
}

std::optional<HeaderFault> checkHeader(std::span<const std::uint8_t, kHeaderLength> header) {
    if (header[1] != static_cast<std::uint8_t>(~header[0])) {
        return HeaderFault{kIncorrectPattern, "a DoIP header with version " +
                                                  hexPadded(header[0], 2) + " and inverse " +
                                                  hexPadded(header[1], 2) +
                                                  " that do not match (not DoIP, or out of step)"};
    }
    const std::uint16_t type = wordAt(header, 2);
    const std::uint32_t length = lengthAt(header);
    const std::string what = "a DoIP message of type " + hexPadded(type, 4) + " claims " +
                             std::to_string(length) + " bytes";
    if (length > kMaxPayload) {
        return HeaderFault{kMessageTooLarge, what + ", more than any message may carry (" +
                                                 std::to_string(kMaxPayload) + ")"};
    }
    const LengthRule* rule = ruleOf(type);
    if (rule != nullptr && (length < rule->least || length > rule->most) &&
        length != rule->alternative) {
        const bool fixed = rule->least == rule->most;
        return HeaderFault{
            kInvalidPayloadLength,
            what + ", where its type takes " +
                (fixed ? std::to_string(rule->least) : "at least " + std::to_string(rule->least)) +
                (rule->alternative != kNone ? " or " + std::to_string(rule->alternative) : "")};
    }
    return std::nullopt;
}

void StreamReader::push(std::span<const std::uint8_t> bytes) {
    if (start_ >= kCompactAt && start_ * 2 >= pending_.size()) {
        pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(start_));
        start_ = 0;
    }
    pending_.insert(pending_.end(), bytes.begin(), bytes.end());
}

std::optional<Message> StreamReader::next() {
    if (fault_) {
        throw StreamFault(*fault_);
    }
    const std::span<const std::uint8_t> waiting(pending_.data() + start_, pending_.size() - start_);
    if (waiting.size() < kHeaderLength) {
        return std::nullopt;
    }
    const auto header = waiting.first<kHeaderLength>();
    if (auto fault = checkHeader(header)) {
        fault_ = std::move(fault);
        throw StreamFault(*fault_);
    }
    const std::uint32_t length = lengthAt(header);
    if (waiting.size() - kHeaderLength < length) {
        return std::nullopt;
    }
    Message message;
    message.version = header[0];
    message.type = wordAt(header, 2);
    const auto payload = waiting.subspan(kHeaderLength, length);
    message.payload.assign(payload.begin(), payload.end());
    start_ += kHeaderLength + length;
    if (start_ == pending_.size()) {
        pending_.clear();
        start_ = 0;
    }
    return message;
}

} // namespace vistrel::doip
