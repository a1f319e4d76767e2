// SPDX-License-Identifier: MIT
#include "link/kwp_exchange.h"

#include "components/error.h"
#include "components/error_numbers.h"
#include "components/negative_response.h"

namespace vistrel {
namespace {

constexpr const char* kSource = "SendReceive";
constexpr std::uint8_t kTesterPresent = 0x3E;
constexpr std::uint8_t kResponseRequired = 0x01;

bool isPending(const ByteString& reply) {
    return reply.length() == 3 && reply.byte(0) == kwp::kNegativeReply &&
           reply.byte(2) == kwp::kResponsePending;
}

// A negative reply names the service it refuses; one naming another service
// is an answer to some other request (a late one, or another tester's), so
// its code says nothing about ours.
[[noreturn]] void throwNegative(const ByteString& reply, std::uint8_t service) {
    checkNegativeReplyHead(reply, service);
    const Error refusal = negativeResponseError(reply.byte(1), reply.byte(2));
    throw Error(refusal.number(), refusal.description(), kSource);
}

} // namespace

void checkNegativeReplyHead(const ByteString& reply, std::uint8_t service) {
    if (reply.length() < 3) {
        throw Error(link_error::kGarbledFrame, "negative reply too short (" + reply.text() + ")",
                    kSource);
    }
    if (reply.byte(1) != service) {
        throw Error(nrc_error::kIllegalNegativeReply,
                    "Illegal negative reply (" + reply.text() + ")", kSource);
    }
}

ReplyStep kwpReplyStep() {
    return ReplyStep(ByteString{kTesterPresent, kResponseRequired});
}

ByteString kwpExchange(MessageLink& link, const ByteString& request, ReplyStep& step) {
    if (request.empty()) {
        throw Error(link_error::kGarbledFrame, "an empty request cannot be sent", kSource);
    }
    const std::uint8_t service = request.byte(0);
    step.beforeRequest(link, request);
    link.sendMessage(request);
    auto timeout = link.replyTimeout();
    for (int pending = 0;;) {
        std::optional<ByteString> reply = link.receiveMessage(timeout);
        if (!reply) {
            step.unanswered(request);
            throw Error(kNoAnswerError, kNoAnswerText, kSource);
        }
        if (reply->empty()) {
            throw Error(link_error::kGarbledFrame, "empty reply", kSource);
        }
        if (isPending(*reply) && reply->byte(1) == service) {
            if (++pending > kwp_time::kMaxPendingReplies) {
                step.unanswered(request);
                throw Error(kNoAnswerError, kNoAnswerText, kSource);
            }
            timeout = kwp_time::kP2star;
            continue;
        }
        if (step.judge(request, *reply) == ReplyStep::Verdict::Earlier) {
            continue;
        }
        if (reply->byte(0) != kwp::kNegativeReply) {
            if (reply->byte(0) != static_cast<std::uint8_t>(service + kwp::kPositiveReplyOffset)) {
                throw Error(reply_error::kAnswerFormatIllegal,
                            "Answer format illegal (" + reply->text() + ")", kSource);
            }
            return std::move(*reply);
        }
        throwNegative(*reply, service);
    }
}

} // namespace vistrel
