// SPDX-License-Identifier: MIT
#include "sim/uds_responder.h"

#include "sim/ecu_description.h"
#include "sim/uds_codes.h"

#include <algorithm>
#include <optional>

namespace vistrel {

using namespace uds_codes;

namespace {

// The longest reply a classic ISO-TP message carries.
constexpr std::size_t kMaxReply = 0xFFF;

std::uint32_t bigEndian(std::span<const std::uint8_t> bytes) noexcept {
    std::uint32_t value = 0;
    for (const std::uint8_t byte : bytes) {
        value = value << 8 | byte;
    }
    return value;
}

// The address-and-length format byte: the size's bytes in the high nibble,
// the address's in the low one, each 1 to 4 here.
struct Format {
    std::size_t addressBytes;
    std::size_t sizeBytes;
    std::size_t elementBytes() const noexcept { return addressBytes + sizeBytes; }
};
std::optional<Format> formatOf(std::uint8_t alfid) noexcept {
    const Format format{alfid & 0x0Fu, static_cast<std::size_t>(alfid >> 4)};
    if (format.addressBytes == 0 || format.addressBytes > 4 || format.sizeBytes == 0 ||
        format.sizeBytes > 4) {
        return std::nullopt;
    }
    return format;
}
AddressRange elementAt(std::span<const std::uint8_t> bytes, const Format& format) noexcept {
    return {bigEndian(bytes.first(format.addressBytes)),
            bigEndian(bytes.subspan(format.addressBytes, format.sizeBytes))};
}

Answer positive(std::uint8_t sid, ByteString& reply) {
    reply.append(static_cast<std::uint8_t>(sid + kPositiveOffset));
    return {};
}

void appendIdentifier(std::uint16_t identifier, ByteString& reply) {
    reply.append(static_cast<std::uint8_t>(identifier >> 8));
    reply.append(static_cast<std::uint8_t>(identifier));
}

bool isDynamic(std::uint16_t identifier) noexcept {
    return identifier >= kFirstDynamicIdentifier && identifier <= kLastDynamicIdentifier;
}

} // namespace

UdsResponder::UdsResponder(const EcuDescription& description, std::size_t periodicDataBytes)
    : settings_(description.uds), periodicDataBytes_(periodicDataBytes), memory_(description),
      faults_(description.faults), clock_(clockOrSteady({})), security_(description.uds),
      scheduler_(description.uds.maxPeriodic), session_(kDefaultSession) {}

void UdsResponder::setClock(EcuClock clock) {
    clock_ = clockOrSteady(std::move(clock));
}

Answer UdsResponder::answer(std::span<const std::uint8_t> request, ByteString& reply) {
    reply.clear();
    if (request.empty()) {
        return negativeAnswer(0x00, uds_refusal::kIncorrectLength, reply);
    }
    const TimePoint now = clock_();
    expireSession(now);
    lastRequest_ = now;
    const std::uint8_t sid = request[0];
    switch (sid) {
    case kSessionControl:
        return sessionControl(request, reply);
    case kTesterPresent:
        return testerPresent(request, reply);
    case kReadDataByIdentifier:
        return readIdentifiers(request, reply);
    case kReadMemoryByAddress:
    case kSecurityAccess:
    case kReadDataByPeriodicIdentifier:
    case kDynamicallyDefineDataIdentifier:
        break;
    default:
        return negativeAnswer(sid, uds_refusal::kServiceNotSupported, reply);
    }
    // Memory, security and the identifiers' definitions open only in the
    // extended session.
    if (session_ == kDefaultSession) {
        return negativeAnswer(sid, uds_refusal::kServiceNotSupportedInActiveSession, reply);
    }
    switch (sid) {
    case kReadMemoryByAddress:
        return readMemory(request, reply);
    case kSecurityAccess:
        return security_.answer(request, now, faults_, reply);
    case kReadDataByPeriodicIdentifier:
        return readPeriodic(request, now, reply);
    default:
        return defineIdentifier(request, reply);
    }
}

void UdsResponder::expireSession(TimePoint now) {
    if (session_ != kDefaultSession && now - lastRequest_ > settings_.s3) {
        enterDefaultSession();
    }
}

void UdsResponder::enterDefaultSession() {
    session_ = kDefaultSession;
    definitions_.clear();
    scheduler_.stopAll();
    security_.lock();
}

Answer UdsResponder::sessionControl(std::span<const std::uint8_t> request, ByteString& reply) {
    if (request.size() != 2) {
        return negativeAnswer(kSessionControl, uds_refusal::kIncorrectLength, reply);
    }
    const std::uint8_t session = request[1] & ~kSuppressPositiveReply;
    if (session != kDefaultSession && session != kExtendedSession &&
        session != kProgrammingSession) {
        return negativeAnswer(kSessionControl, uds_refusal::kSubFunctionNotSupported, reply);
    }
    if (faults_.sessionFailures > 0) {
        --faults_.sessionFailures;
        return negativeAnswer(kSessionControl, faults_.sessionNrc, reply);
    }
    // Programming goes only through the extended session, and not while the
    // engine runs, as the demo car's always does.
    if (session == kProgrammingSession) {
        return negativeAnswer(kSessionControl,
                              session_ == kDefaultSession
                                  ? uds_refusal::kSubFunctionNotSupportedInActiveSession
                                  : uds_refusal::kConditionsNotCorrect,
                              reply);
    }
    if (session == kDefaultSession) {
        enterDefaultSession();
    } else {
        session_ = session;
        security_.lock();
    }
    if ((request[1] & kSuppressPositiveReply) != 0) {
        return {Answer::Kind::Suppressed};
    }
    positive(kSessionControl, reply);
    reply.append(session);
    const auto p2 = static_cast<std::uint16_t>(settings_.p2.count());
    const auto p2Star = static_cast<std::uint16_t>(settings_.p2Star.count() / 10);
    appendIdentifier(p2, reply);
    appendIdentifier(p2Star, reply);
    return {};
}

Answer UdsResponder::testerPresent(std::span<const std::uint8_t> request, ByteString& reply) {
    if (request.size() != 2) {
        return negativeAnswer(kTesterPresent, uds_refusal::kIncorrectLength, reply);
    }
    if ((request[1] & ~kSuppressPositiveReply) != 0) {
        return negativeAnswer(kTesterPresent, uds_refusal::kSubFunctionNotSupported, reply);
    }
    if ((request[1] & kSuppressPositiveReply) != 0) {
        return {Answer::Kind::Suppressed};
    }
    positive(kTesterPresent, reply);
    reply.append(0x00);
    return {};
}

Answer UdsResponder::readMemory(std::span<const std::uint8_t> request, ByteString& reply) {
    if (request.size() < 2) {
        return negativeAnswer(kReadMemoryByAddress, uds_refusal::kIncorrectLength, reply);
    }
    const std::optional<Format> format = formatOf(request[1]);
    if (!format) {
        return negativeAnswer(kReadMemoryByAddress, uds_refusal::kRequestOutOfRange, reply);
    }
    if (request.size() != 2 + format->elementBytes()) {
        return negativeAnswer(kReadMemoryByAddress, uds_refusal::kIncorrectLength, reply);
    }
    const AddressRange range = elementAt(request.subspan(2), *format);
    if (range.length == 0 || !memory_.mapped(range)) {
        return negativeAnswer(kReadMemoryByAddress, uds_refusal::kRequestOutOfRange, reply);
    }
    if (!security_.allows(range)) {
        return negativeAnswer(kReadMemoryByAddress, uds_refusal::kSecurityAccessDenied, reply);
    }
    if (range.length >= kMaxReply) {
        return negativeAnswer(kReadMemoryByAddress, uds_refusal::kResponseTooLong, reply);
    }
    positive(kReadMemoryByAddress, reply);
    return memory_.read(kReadMemoryByAddress, range, faults_, clock_, reply);
}

Answer UdsResponder::defineIdentifier(std::span<const std::uint8_t> request, ByteString& reply) {
    if (request.size() < 2) {
        return negativeAnswer(kDynamicallyDefineDataIdentifier, uds_refusal::kIncorrectLength,
                              reply);
    }
    Answer answer;
    switch (request[1] & ~kSuppressPositiveReply) {
    case 0x02:
        answer = defineByAddress(request, reply);
        break;
    case 0x03:
        answer = clearIdentifier(request, reply);
        break;
    default:
        // Definition by identifier (01) is left to ECUs with data of their own.
        return negativeAnswer(kDynamicallyDefineDataIdentifier,
                              uds_refusal::kSubFunctionNotSupported, reply);
    }
    if (answer.kind == Answer::Kind::Positive && (request[1] & kSuppressPositiveReply) != 0) {
        reply.clear();
        return {Answer::Kind::Suppressed};
    }
    return answer;
}

Answer UdsResponder::defineByAddress(std::span<const std::uint8_t> request, ByteString& reply) {
    // 2C 02 identifier(2) format, then address and size pairs.
    constexpr std::uint8_t sid = kDynamicallyDefineDataIdentifier;
    if (request.size() < 5) {
        return negativeAnswer(sid, uds_refusal::kIncorrectLength, reply);
    }
    const std::optional<Format> format = formatOf(request[4]);
    if (!format) {
        return negativeAnswer(sid, uds_refusal::kRequestOutOfRange, reply);
    }
    const auto elements = request.subspan(5);
    if (elements.empty() || elements.size() % format->elementBytes() != 0) {
        return negativeAnswer(sid, uds_refusal::kIncorrectLength, reply);
    }
    const auto identifier = static_cast<std::uint16_t>(bigEndian(request.subspan(2, 2)));
    if (!isDynamic(identifier)) {
        return negativeAnswer(sid, uds_refusal::kRequestOutOfRange, reply);
    }
    const auto found = definitions_.find(identifier);
    const bool fresh = found == definitions_.end();
    std::vector<AddressRange> ranges = fresh ? std::vector<AddressRange>{} : found->second;
    std::uint64_t bytes = dataLength(identifier);
    for (std::size_t at = 0; at < elements.size(); at += format->elementBytes()) {
        const AddressRange range = elementAt(elements.subspan(at), *format);
        if (range.length == 0 || !memory_.mapped(range)) {
            return negativeAnswer(sid, uds_refusal::kRequestOutOfRange, reply);
        }
        if (!security_.allows(range)) {
            return negativeAnswer(sid, uds_refusal::kSecurityAccessDenied, reply);
        }
        if (const RefusedRange* refused = faults_.refusal(sid, range)) {
            return negativeAnswer(sid, refused->nrc, reply);
        }
        ranges.push_back(range);
        bytes += range.length;
    }
    // The definition appends to what the identifier holds; beyond the
    // ECU's limits it is refused whole, and the identifier stays as it was.
    if ((fresh && definitions_.size() >= settings_.maxIdentifiers) ||
        ranges.size() > settings_.maxElements || 3 + bytes > kMaxReply) {
        return negativeAnswer(sid, settings_.limitNrc, reply);
    }
    definitions_[identifier] = std::move(ranges);
    positive(sid, reply);
    reply.append(0x02);
    appendIdentifier(identifier, reply);
    return {};
}

Answer UdsResponder::clearIdentifier(std::span<const std::uint8_t> request, ByteString& reply) {
    constexpr std::uint8_t sid = kDynamicallyDefineDataIdentifier;
    if (request.size() == 2) {
        definitions_.clear();
        scheduler_.stopAll();
        positive(sid, reply);
        reply.append(0x03);
        return {};
    }
    if (request.size() != 4) {
        return negativeAnswer(sid, uds_refusal::kIncorrectLength, reply);
    }
    const auto identifier = static_cast<std::uint16_t>(bigEndian(request.subspan(2, 2)));
    if (!isDynamic(identifier)) {
        return negativeAnswer(sid, uds_refusal::kRequestOutOfRange, reply);
    }
    // Clearing an identifier that holds nothing is no error.
    definitions_.erase(identifier);
    if ((identifier & 0xFF00) == kPeriodicIdentifierBase) {
        scheduler_.stop(static_cast<std::uint8_t>(identifier));
    }
    positive(sid, reply);
    reply.append(0x03);
    appendIdentifier(identifier, reply);
    return {};
}

bool UdsResponder::supports(std::uint16_t identifier) const {
    return identifier == kActiveSessionIdentifier || definitions_.contains(identifier);
}

std::uint32_t UdsResponder::dataLength(std::uint16_t identifier) const {
    const auto found = definitions_.find(identifier);
    std::uint32_t length = 0;
    if (found != definitions_.end()) {
        for (const AddressRange& range : found->second) {
            length += range.length;
        }
    }
    return length;
}

Answer UdsResponder::identifierData(std::uint8_t service, std::uint16_t identifier,
                                    ByteString& reply) {
    if (identifier == kActiveSessionIdentifier) {
        reply.append(session_);
        return {};
    }
    const std::vector<AddressRange>& ranges = definitions_.at(identifier);
    if (!std::all_of(ranges.begin(), ranges.end(),
                     [&](const AddressRange& range) { return security_.allows(range); })) {
        return negativeAnswer(service, uds_refusal::kSecurityAccessDenied, reply);
    }
    for (const AddressRange& range : ranges) {
        if (const Answer answer = memory_.read(service, range, faults_, clock_, reply);
            answer.kind != Answer::Kind::Positive) {
            return answer;
        }
    }
    return {};
}

Answer UdsResponder::readIdentifiers(std::span<const std::uint8_t> request, ByteString& reply) {
    // 22, then one or more identifiers of two bytes. Those the ECU does not
    // support are left out of the reply; it refuses only when none is left.
    constexpr std::uint8_t sid = kReadDataByIdentifier;
    if (request.size() < 3 || request.size() % 2 == 0) {
        return negativeAnswer(sid, uds_refusal::kIncorrectLength, reply);
    }
    positive(sid, reply);
    bool any = false;
    for (std::size_t at = 1; at < request.size(); at += 2) {
        const auto identifier = static_cast<std::uint16_t>(bigEndian(request.subspan(at, 2)));
        if (!supports(identifier)) {
            continue;
        }
        any = true;
        appendIdentifier(identifier, reply);
        if (const Answer answer = identifierData(sid, identifier, reply);
            answer.kind != Answer::Kind::Positive) {
            return answer;
        }
    }
    if (!any) {
        return negativeAnswer(sid, uds_refusal::kRequestOutOfRange, reply);
    }
    if (reply.length() > kMaxReply) {
        return negativeAnswer(sid, uds_refusal::kResponseTooLong, reply);
    }
    return {};
}

Answer UdsResponder::readPeriodic(std::span<const std::uint8_t> request, TimePoint now,
                                  ByteString& reply) {
    // 2A mode, then the low bytes of F2xx identifiers: 01 slow, 02 medium,
    // 03 fast, 04 stop (all of them when none is named).
    constexpr std::uint8_t sid = kReadDataByPeriodicIdentifier;
    constexpr std::uint8_t kStop = 0x04;
    if (request.size() < 2) {
        return negativeAnswer(sid, uds_refusal::kIncorrectLength, reply);
    }
    const std::uint8_t mode = request[1];
    const auto identifiers = request.subspan(2);
    if (mode == 0 || mode > kStop) {
        return negativeAnswer(sid, uds_refusal::kRequestOutOfRange, reply);
    }
    if (mode == kStop) {
        if (identifiers.empty()) {
            scheduler_.stopAll();
        }
        for (const std::uint8_t identifier : identifiers) {
            scheduler_.stop(identifier);
        }
        return positive(sid, reply);
    }
    if (identifiers.empty()) {
        return negativeAnswer(sid, uds_refusal::kIncorrectLength, reply);
    }
    std::vector<std::uint8_t> supported;
    for (const std::uint8_t low : identifiers) {
        const auto identifier = static_cast<std::uint16_t>(kPeriodicIdentifierBase | low);
        const auto found = definitions_.find(identifier);
        if (found == definitions_.end()) {
            continue;
        }
        // One frame carries each identifier: its data must fit after the
        // identifier's byte.
        if (dataLength(identifier) > periodicDataBytes_) {
            return negativeAnswer(sid, uds_refusal::kRequestOutOfRange, reply);
        }
        if (!std::all_of(found->second.begin(), found->second.end(),
                         [&](const AddressRange& range) { return security_.allows(range); })) {
            return negativeAnswer(sid, uds_refusal::kSecurityAccessDenied, reply);
        }
        supported.push_back(low);
    }
    if (supported.empty() || !scheduler_.fits(supported)) {
        return negativeAnswer(sid, uds_refusal::kRequestOutOfRange, reply);
    }
    for (const std::uint8_t identifier : supported) {
        scheduler_.schedule(identifier, settings_.rates[mode - 1], now);
    }
    return positive(sid, reply);
}

std::vector<ByteString> UdsResponder::periodicFrames() {
    const TimePoint now = clock_();
    expireSession(now);
    std::vector<ByteString> frames;
    for (const PeriodicScheduler::Due& due : scheduler_.due(now)) {
        if (due.place == 0 && faults_.periodicStopsAfter != 0 &&
            due.count > faults_.periodicStopsAfter) {
            continue;
        }
        // A frame whose memory meets a fault, a lock or a definition grown
        // too long is not sent: the tester sees the identifier go quiet.
        ByteString frame{due.identifier};
        const auto identifier =
            static_cast<std::uint16_t>(kPeriodicIdentifierBase | due.identifier);
        if (supports(identifier) &&
            identifierData(kReadDataByPeriodicIdentifier, identifier, frame).kind ==
                Answer::Kind::Positive &&
            frame.length() <= 1 + periodicDataBytes_) {
            frames.push_back(std::move(frame));
        }
    }
    return frames;
}

std::optional<EcuResponder::TimePoint> UdsResponder::nextPeriodic() const {
    return scheduler_.next();
}

} // namespace vistrel
