// SPDX-License-Identifier: MIT
#include "link/uds_session.h"

#include "components/error_numbers.h"
#include "components/uds_negative_response.h"
#include "link/family_mismatch.h"
#include "link/uds_exchange.h"

#include <algorithm>

namespace vistrel {
namespace {

constexpr const char* kSource = "SecurityAccess";
constexpr std::uint8_t kSessionControl = 0x10;
constexpr std::uint8_t kSecurityAccess = 0x27;
constexpr std::uint8_t kTesterPresent = 0x3E;
constexpr std::uint8_t kSuppressPositiveReply = 0x80;

// After a time-out the line is brought back in step with TesterPresent, a
// reply required.
ReplyStep udsReplyStep() {
    return ReplyStep(ByteString{kTesterPresent, 0x00});
}

bool isRefusal(const Error& failure, std::uint8_t nrc) {
    return failure.number() == udsNegativeResponseError(kSecurityAccess, nrc).number();
}

} // namespace

UdsLinkSession::UdsLinkSession(std::optional<std::uint8_t> securityLevel,
                               std::unique_ptr<KeyProgram> keyProgram, Clock clock)
    : level_(securityLevel), keyProgram_(std::move(keyProgram)), clock_(std::move(clock)),
      lastRequestAt_(clock_()), replyStep_(udsReplyStep()) {}

ByteString UdsLinkSession::exchange(MessageLink& link, const ByteString& request) {
    const bool session = !request.empty() && request.byte(0) == kSessionControl;
    if (!session && securityDue(clock_()) && retryAt_) {
        try {
            unlock(link);
        } catch (const Error&) {
            // The request goes out all the same: memory that is not locked
            // reads on, and locked memory's refusal tells why (trouble_).
        }
    }
    lastRequestAt_ = clock_();
    if (!session) {
        try {
            return exchangeInStep(link, request);
        } catch (const Error& failure) {
            throw explainedDenial(failure);
        }
    }
    ByteString reply;
    try {
        reply = exchangeInStep(link, request);
    } catch (const Error& failure) {
        throw udsSessionFailure(request, failure);
    }
    checkUdsSessionReply(request, reply);
    // A new session locks the ECU again.
    unlocked_ = false;
    if (securityDue(clock_())) {
        unlock(link);
    }
    return reply;
}

ByteString UdsLinkSession::exchangeInStep(MessageLink& link, const ByteString& request) {
    replyStep_.beforeRequest(link, request);
    try {
        return udsExchange(link, request, timing_);
    } catch (const Error& failure) {
        if (failure.number() == kNoAnswerError) {
            replyStep_.unanswered(request);
        }
        throw;
    }
}

void UdsLinkSession::keepAlive(MessageLink& link) {
    const TimePoint now = clock_();
    if (now - lastRequestAt_ < kKeepAliveAfter) {
        return;
    }
    lastRequestAt_ = now;
    link.sendMessage(ByteString{kTesterPresent, kSuppressPositiveReply});
}

void UdsLinkSession::linkOpened() {
    timing_.reset();
    unlocked_ = false;
    lastRequestAt_ = clock_();
    // The ECU answers nothing of an earlier connection.
    replyStep_ = udsReplyStep();
}

Error UdsLinkSession::explainedDenial(const Error& failure) const {
    if (failure.number() != udsNegativeResponseError(0, uds_nrc::kSecurityAccessDenied).number()) {
        return failure;
    }
    // Locked memory is where the user looks: the reason goes there, on
    // every read, not only into the step that met it once.
    const std::string why = !level_ ? "the link has no security=LL and key=PROGRAM to unlock it"
                            : trouble_.empty() ? ""
                                               : trouble_;
    return why.empty()
               ? failure
               : Error(failure.number(), failure.description() + ": " + why, failure.source());
}

bool UdsLinkSession::securityDue(TimePoint now) const {
    return level_ && !unlocked_ && !givenUp_ && (!retryAt_ || now >= *retryAt_);
}

void UdsLinkSession::unlock(MessageLink& link) {
    retryAt_.reset();
    try {
        requestAccess(link);
        trouble_.clear();
    } catch (const Error& failure) {
        trouble_ = failure.description();
        throw;
    }
}

void UdsLinkSession::requestAccess(MessageLink& link) {
    const ByteString seedReply = securityExchange(link, ByteString{kSecurityAccess, *level_});
    if (seedReply.length() < 3 || seedReply.byte(1) != *level_) {
        retryAt_ = clock_() + kSecurityRetryAfter;
        throw Error(uds_error::kSecurityReplyMalformed,
                    "security access " + levelText() + ": the reply to the seed request (" +
                        std::to_string(seedReply.length()) + " bytes) holds no seed for this level",
                    kSource);
    }
    const ByteString seed = seedReply.mid(2, seedReply.length() - 2);
    const auto bytes = seed.bytes();
    if (std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b == 0; })) {
        unlocked_ = true;
        delays_ = 0;
        return;
    }
    if (!keyProgram_) {
        giveUp(uds_error::kKeyProgramFailed,
               "the ECU is locked and the link names no key program (key=PROGRAM)");
    }
    ByteString keyRequest{kSecurityAccess, static_cast<std::uint8_t>(*level_ + 1)};
    try {
        keyRequest.append(keyProgram_->keyFor(*level_, seed));
    } catch (const Error&) {
        retryAt_ = clock_() + kSecurityRetryAfter;
        throw;
    }
    const ByteString keyReply = securityExchange(link, keyRequest);
    if (keyReply.length() < 2 || keyReply.byte(1) != keyRequest.byte(1)) {
        retryAt_ = clock_() + kSecurityRetryAfter;
        throw Error(uds_error::kSecurityReplyMalformed,
                    "security access " + levelText() +
                        ": the reply to the key does not confirm this level",
                    kSource);
    }
    unlocked_ = true;
    delays_ = 0;
}

ByteString UdsLinkSession::securityExchange(MessageLink& link, const ByteString& request) {
    lastRequestAt_ = clock_();
    try {
        return udsExchange(link, request, timing_);
    } catch (const Error& failure) {
        securityFailed(failure);
    }
}

void UdsLinkSession::securityFailed(const Error& failure) {
    if (isRefusal(failure, uds_nrc::kInvalidKey)) {
        giveUp(failure.number(), "the ECU refused the key program's key (invalidKey): no further "
                                 "key is sent on this link, so that the ECU does not lock "
                                 "itself; check the key program and the level");
    }
    if (isRefusal(failure, uds_nrc::kExceedNumberOfAttempts)) {
        giveUp(failure.number(),
               "the ECU counts too many failed attempts (exceedNumberOfAttempts): no further key "
               "is sent on this link; the ECU may have to be switched off and on, or its lock-out "
               "waited out, before a new link");
    }
    if (isRefusal(failure, uds_nrc::kRequiredTimeDelayNotExpired)) {
        if (++delays_ > kMostSecurityDelays) {
            giveUp(failure.number(), "the ECU still asks to wait (requiredTimeDelayNotExpired) "
                                     "after " +
                                         std::to_string(kMostSecurityDelays) +
                                         " waits of 10 s: no further seed is asked for on this "
                                         "link");
        }
        retryAt_ = clock_() + kSecurityRetryAfter;
        throw Error(failure.number(),
                    "security access " + levelText() +
                        ": the ECU asks to wait before a new attempt "
                        "(requiredTimeDelayNotExpired); the session is kept and a new seed asked "
                        "for in 10 s (wait " +
                        std::to_string(delays_) + " of " + std::to_string(kMostSecurityDelays) +
                        ")",
                    kSource);
    }
    retryAt_ = clock_() + kSecurityRetryAfter;
    throw Error(failure.kind(), failure.number(),
                "security access " + levelText() + ": " + failure.description(), kSource);
}

void UdsLinkSession::giveUp(std::int32_t number, const std::string& why) {
    givenUp_ = true;
    throw Error(number, "security access " + levelText() + ": " + why, kSource);
}

std::string UdsLinkSession::levelText() const {
    return "level " + hexPadded(level_.value_or(0), 2);
}

} // namespace vistrel
