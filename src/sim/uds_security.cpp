// SPDX-License-Identifier: MIT
#include "sim/uds_security.h"

#include "sim/seed_key.h"
#include "sim/uds_codes.h"

#include <algorithm>

namespace vistrel {

using namespace uds_codes;

UdsSecurity::UdsSecurity(const UdsSettings& settings)
    : locks_(settings.locks), attempts_(settings.attempts), delay_(settings.delay) {}

bool UdsSecurity::supports(std::uint8_t seedLevel) const noexcept {
    return std::any_of(locks_.begin(), locks_.end(),
                       [&](const SecuredRange& lock) { return lock.level == seedLevel; });
}

bool UdsSecurity::allows(const AddressRange& range) const noexcept {
    return std::none_of(locks_.begin(), locks_.end(), [&](const SecuredRange& lock) {
        return lock.level != unlocked_ && lock.range.touches(range.address, range.length);
    });
}

void UdsSecurity::lock() noexcept {
    unlocked_ = 0;
    seedLevel_ = 0;
}

Answer UdsSecurity::answer(std::span<const std::uint8_t> request, TimePoint now,
                           const EcuFaults& faults, ByteString& reply) {
    if (request.size() < 2) {
        return negativeAnswer(kSecurityAccess, uds_refusal::kIncorrectLength, reply);
    }
    const std::uint8_t level = request[1] & ~kSuppressPositiveReply;
    const bool suppress = (request[1] & kSuppressPositiveReply) != 0;
    const std::uint8_t seedLevel = level % 2 == 1 ? level : static_cast<std::uint8_t>(level - 1);
    if (level == 0 || level == 0x7F || !supports(seedLevel)) {
        return negativeAnswer(kSecurityAccess, uds_refusal::kSubFunctionNotSupported, reply);
    }
    if (level % 2 == 1) {
        // A seed is the whole point of its request: it cannot go unanswered.
        if (suppress) {
            return negativeAnswer(kSecurityAccess, uds_refusal::kSubFunctionNotSupported, reply);
        }
        if (request.size() != 2) {
            return negativeAnswer(kSecurityAccess, uds_refusal::kIncorrectLength, reply);
        }
        return requestSeed(level, now, faults, reply);
    }
    return sendKey(level, request.subspan(2), suppress, now, reply);
}

Answer UdsSecurity::requestSeed(std::uint8_t level, TimePoint now, const EcuFaults& faults,
                                ByteString& reply) {
    ++seedRequests_;
    if (delayUntil_ && now < *delayUntil_) {
        return negativeAnswer(kSecurityAccess, uds_refusal::kRequiredTimeDelayNotExpired, reply);
    }
    delayUntil_.reset();
    if (faults.seedDelayEvery != 0 && seedRequests_ % faults.seedDelayEvery == 0) {
        return negativeAnswer(kSecurityAccess, uds_refusal::kRequiredTimeDelayNotExpired, reply);
    }
    reply.append(kSecurityAccess + kPositiveOffset);
    reply.append(level);
    if (unlocked_ == level) {
        // All zeros: the level is open already, no key to send.
        for (std::size_t i = 0; i < seed_.size(); ++i) {
            reply.append(0x00);
        }
        return {};
    }
    // Asked again before a key, the ECU repeats its seed, unless the fault
    // makes it draw a new one each time.
    if (seedLevel_ != level || faults.newSeedEveryRequest) {
        nextSeed();
    }
    seedLevel_ = level;
    for (const std::uint8_t byte : seed_) {
        reply.append(byte);
    }
    return {};
}

Answer UdsSecurity::sendKey(std::uint8_t level, std::span<const std::uint8_t> key, bool suppress,
                            TimePoint now, ByteString& reply) {
    const std::uint8_t seedLevel = level - 1;
    if (seedLevel_ != seedLevel) {
        return negativeAnswer(kSecurityAccess, uds_refusal::kRequestSequenceError, reply);
    }
    if (key.size() != seed_.size()) {
        return negativeAnswer(kSecurityAccess, uds_refusal::kIncorrectLength, reply);
    }
    // A key is tried once: right or wrong, the next try needs a new seed.
    seedLevel_ = 0;
    if (!std::ranges::equal(key, toyKey(seedLevel, seed_))) {
        if (++failures_ < attempts_) {
            return negativeAnswer(kSecurityAccess, uds_refusal::kInvalidKey, reply);
        }
        failures_ = 0;
        delayUntil_ = now + delay_;
        return negativeAnswer(kSecurityAccess, uds_refusal::kExceededNumberOfAttempts, reply);
    }
    failures_ = 0;
    unlocked_ = seedLevel;
    if (suppress) {
        return {Answer::Kind::Suppressed};
    }
    reply.append(kSecurityAccess + kPositiveOffset);
    reply.append(level);
    return {};
}

void UdsSecurity::nextSeed() noexcept {
    // A fixed sequence, so that runs repeat; never all zeros, which would
    // mean the level is open.
    do {
        for (std::uint8_t& byte : seed_) {
            seedState_ = seedState_ * 1103515245U + 12345U;
            byte = static_cast<std::uint8_t>(seedState_ >> 24);
        }
    } while (std::all_of(seed_.begin(), seed_.end(), [](std::uint8_t b) { return b == 0; }));
}

} // namespace vistrel
