// SPDX-License-Identifier: MIT
#include "link/uds_exchange.h"

#include "components/error.h"
#include "components/error_numbers.h"
#include "components/uds_negative_response.h"
#include "link/kwp_exchange.h"

#include <optional>

namespace vistrel {
namespace {

constexpr const char* kSource = "SendReceive";
constexpr std::uint8_t kNegativeReply = 0x7F;
constexpr std::uint8_t kPositiveOffset = 0x40;
constexpr std::uint8_t kSessionControl = 0x10;
constexpr std::uint8_t kTesterPresent = 0x3E;

// What one reply means for the exchange going on.
enum class Verdict { Answer, Pending, Busy, Unrelated };

// An answer to the TesterPresent the link sends on its own, which expects
// none: some ECUs answer it all the same, or refuse it.
bool answersTesterPresent(const ByteString& reply) {
    return reply.byte(0) == kTesterPresent + kPositiveOffset ||
           (reply.byte(0) == kNegativeReply && reply.length() >= 2 &&
            reply.byte(1) == kTesterPresent);
}

Verdict judge(const ByteString& reply, std::uint8_t service) {
    if (reply.empty()) {
        throw Error(link_error::kGarbledFrame, "empty reply", kSource);
    }
    if (service != kTesterPresent && answersTesterPresent(reply)) {
        return Verdict::Unrelated;
    }
    if (reply.byte(0) != kNegativeReply) {
        if (reply.byte(0) != static_cast<std::uint8_t>(service + kPositiveOffset)) {
            throw Error(reply_error::kAnswerFormatIllegal,
                        "Answer format illegal (" + reply.text() + ")", kSource);
        }
        return Verdict::Answer;
    }
    checkNegativeReplyHead(reply, service);
    switch (reply.byte(2)) {
    case uds_nrc::kResponsePending:
        return Verdict::Pending;
    case uds_nrc::kBusyRepeatRequest:
        return Verdict::Busy;
    default: {
        const Error refusal = udsNegativeResponseError(service, reply.byte(2));
        throw Error(refusal.number(), refusal.description(), kSource);
    }
    }
}

// The reply to the request just sent, "response pending" waited out; a busy
// refusal comes back as it is, for the caller to repeat the request.
ByteString awaitReply(MessageLink& link, std::uint8_t service, const UdsTiming& timing) {
    auto wait = timing.replyWait(link);
    for (int pending = 0;;) {
        std::optional<ByteString> reply = link.receiveMessage(wait);
        if (!reply) {
            throw Error(kNoAnswerError, kNoAnswerText, kSource);
        }
        switch (judge(*reply, service)) {
        case Verdict::Answer:
        case Verdict::Busy:
            return std::move(*reply);
        case Verdict::Unrelated:
            continue;
        case Verdict::Pending:
            if (++pending > uds_time::kMaxPendingReplies) {
                throw Error(kNoAnswerError, kNoAnswerText, kSource);
            }
            wait = timing.pendingWait();
            continue;
        }
    }
}

} // namespace

ByteString udsExchange(MessageLink& link, const ByteString& request, UdsTiming& timing) {
    if (request.empty()) {
        throw Error(link_error::kGarbledFrame, "an empty request cannot be sent", kSource);
    }
    const std::uint8_t service = request.byte(0);
    for (int busy = 0;; ++busy) {
        link.sendMessage(request);
        ByteString reply = awaitReply(link, service, timing);
        if (reply.byte(0) != kNegativeReply) {
            if (service == kSessionControl) {
                timing.takeSessionReply(reply);
            }
            return reply;
        }
        if (busy == uds_time::kBusyRetries) {
            const Error refusal = udsNegativeResponseError(service, uds_nrc::kBusyRepeatRequest);
            throw Error(refusal.number(), refusal.description(), kSource);
        }
        // The pause is a wait for nothing: whatever comes meanwhile answers
        // the refused request or an older one, never the repeated one.
        link.receiveMessage(uds_time::kBusyPause);
    }
}

} // namespace vistrel
