// SPDX-License-Identifier: MIT
#include "link/reply_step.h"

#include "components/error.h"
#include "link/message_link.h"

#include <algorithm>
#include <utility>

namespace vistrel {
namespace {

constexpr const char* kSource = "SendReceive";
constexpr std::uint8_t kNegativeReply = 0x7F;
constexpr std::uint8_t kPositiveOffset = 0x40;
constexpr std::uint8_t kResponsePending = 0x78;
// Requests remembered at most: older ones are long answered or never will be.
constexpr std::size_t kMostRemembered = 4;
// Messages dropped at most while waiting for the line to go in step: a line
// that chatters on must not hold the next request for ever.
constexpr int kMostDropped = 16;

} // namespace

ReplyStep::ReplyStep(ByteString syncRequest) : syncRequest_(std::move(syncRequest)) {}

bool ReplyStep::couldAnswer(const ByteString& request, const ByteString& reply) {
    if (request.empty() || reply.empty()) {
        return false;
    }
    if (reply.byte(0) == kNegativeReply) {
        return reply.length() >= 2 && reply.byte(1) == request.byte(0);
    }
    return reply.byte(0) == static_cast<std::uint8_t>(request.byte(0) + kPositiveOffset);
}

bool ReplyStep::answersEarlier(const ByteString& reply) {
    const auto answered =
        std::find_if(unanswered_.rbegin(), unanswered_.rend(),
                     [&](const ByteString& earlier) { return couldAnswer(earlier, reply); });
    if (answered == unanswered_.rend()) {
        return false;
    }
    unanswered_.erase(unanswered_.begin(), answered.base());
    return true;
}

bool ReplyStep::confusable(const ByteString& request) const {
    return std::any_of(unanswered_.begin(), unanswered_.end(),
                       [&](const ByteString& asked) { return asked.byte(0) == request.byte(0); });
}

void ReplyStep::beforeRequest(MessageLink& link, const ByteString& request) {
    if (!inStep() && !request.empty() && confusable(request)) {
        resync(link);
    }
}

void ReplyStep::resync(MessageLink& link) {
    link.sendMessage(syncRequest_);
    bool heard = false;
    for (int dropped = 0; dropped < kMostDropped; ++dropped) {
        const std::optional<ByteString> reply = link.receiveMessage(link.replyTimeout());
        if (!reply) {
            break;
        }
        heard = true;
        const bool pending = reply->length() == 3 && reply->byte(0) == kNegativeReply &&
                             reply->byte(2) == kResponsePending;
        if (!pending && couldAnswer(syncRequest_, *reply)) {
            unanswered_.clear();
            return;
        }
    }
    if (!heard) {
        throw Error(kNoAnswerError, kNoAnswerText, kSource);
    }
    throw Error(step_error::kLateReply, step_error::kLateReplyText, kSource);
}

ReplyStep::Verdict ReplyStep::judge(const ByteString& request, const ByteString& reply) {
    if (inStep()) {
        return Verdict::Ours;
    }
    if (couldAnswer(request, reply)) {
        // It names this request: whatever was late came before it, or
        // never will (a reply that could answer an earlier request as well
        // is not waited for: the line was brought in step before).
        unanswered_.clear();
        return Verdict::Ours;
    }
    return answersEarlier(reply) ? Verdict::Earlier : Verdict::Ours;
}

void ReplyStep::unanswered(const ByteString& request) {
    unanswered_.push_back(request);
    if (unanswered_.size() > kMostRemembered) {
        unanswered_.erase(unanswered_.begin());
    }
}

} // namespace vistrel
