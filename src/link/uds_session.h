// SPDX-License-Identifier: MIT
#pragma once

#include "components/byte_string.h"
#include "components/error.h"
#include "link/key_program.h"
#include "link/message_link.h"
#include "link/reply_step.h"
#include "link/uds_timing.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace vistrel {

// What every UDS link does around its exchanges, whatever carries them
// (ISO-TP on CAN, an ELM327's CAN modes, DoIP):
// - the session request: its failures and a KWP2000-looking reply become
//   messages that say what to change, and its positive reply sets the
//   timing of the exchanges that follow;
// - security access after each positive session reply when the link has a
//   level (security=LL): 27 LL -> 67 LL seed, the key program's key in
//   27 LL+1. An all-zero seed means unlocked already. When the ECU asks to
//   wait (37), the step says so and the next seed is asked for 10 s later,
//   before whatever request comes then (which goes out whatever the
//   outcome), at most 3 times in a row; after a
//   refused key (35), too many attempts (36) or the third wait, no further
//   key is sent on this link. Nothing is tried again sooner than 10 s, so a
//   key program never runs faster than the ECU allows. Meanwhile every
//   securityAccessDenied says why the memory is still locked. No seed or
//   key byte appears in a message;
// - TesterPresent 3E 80 (no reply expected) from keepAlive() once no request
//   went out for 2 s, so that the ECU keeps its session;
// - after a request got no answer, the next of the same service waits for
//   TesterPresent 3E 00's answer first, so that a late answer never passes
//   for its own (ReplyStep).
class UdsLinkSession {
public:
    using TimePoint = std::chrono::steady_clock::time_point;
    using Clock = std::function<TimePoint()>;

    // securityLevel: the odd level of security=, or none; keyProgram: the
    // key= program, or none.
    explicit UdsLinkSession(std::optional<std::uint8_t> securityLevel = std::nullopt,
                            std::unique_ptr<KeyProgram> keyProgram = nullptr,
                            Clock clock = &std::chrono::steady_clock::now);

    // One request and its positive reply (udsExchange), with the session
    // and security steps above. Throws Error.
    ByteString exchange(MessageLink& link, const ByteString& request);
    // Sends TesterPresent when no request went out for 2 s.
    void keepAlive(MessageLink& link);
    // The link was opened anew: its own times again, and locked.
    void linkOpened();

    const UdsTiming& timing() const noexcept { return timing_; }
    bool unlocked() const noexcept { return unlocked_; }

    static constexpr std::chrono::milliseconds kKeepAliveAfter{2000};
    static constexpr std::chrono::milliseconds kSecurityRetryAfter{10000};
    static constexpr int kMostSecurityDelays = 3;

private:
    bool securityDue(TimePoint now) const;
    void unlock(MessageLink& link);
    void requestAccess(MessageLink& link);
    // A refusal for locked memory, with why the memory is still locked.
    Error explainedDenial(const Error& failure) const;
    ByteString securityExchange(MessageLink& link, const ByteString& request);
    [[noreturn]] void securityFailed(const Error& failure);
    [[noreturn]] void giveUp(std::int32_t number, const std::string& why);
    std::string levelText() const;
    // udsExchange with the line kept in step.
    ByteString exchangeInStep(MessageLink& link, const ByteString& request);

    std::optional<std::uint8_t> level_;
    std::unique_ptr<KeyProgram> keyProgram_;
    Clock clock_;
    UdsTiming timing_;
    TimePoint lastRequestAt_{};
    bool unlocked_ = false;
    // A security access that failed for now is tried again at this time.
    std::optional<TimePoint> retryAt_;
    int delays_ = 0;
    bool givenUp_ = false;
    // Why the last security access failed; empty once it succeeded.
    std::string trouble_;
    ReplyStep replyStep_;
};

struct DiagnosticSettings;

// The session of a link with these keys: its security level and its key
// program, run with a 5 s limit; none for a KWP2000 link.
std::unique_ptr<UdsLinkSession> udsSessionFor(const DiagnosticSettings& settings);

} // namespace vistrel
