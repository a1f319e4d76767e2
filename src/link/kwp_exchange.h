// SPDX-License-Identifier: MIT
#pragma once

#include "components/byte_string.h"
#include "link/message_link.h"
#include "link/reply_step.h"

#include <chrono>

namespace vistrel {

namespace kwp_time {
// The longest wait for the reply after the ECU said "response pending",
// counted again from each such reply.
inline constexpr std::chrono::milliseconds kP2star{5000};
// An ECU may ask for more time again and again; past this many requests for
// patience in a row the exchange counts as unanswered.
inline constexpr int kMaxPendingReplies = 20;
} // namespace kwp_time

// What keeps a KWP2000 link's replies in step, bringing the line back in
// step with TesterPresent (3E 01, a reply required).
ReplyStep kwpReplyStep();

// Checks the head of a negative reply 7F sid nrc, in either family: throws
// a reply too short to hold a code as garbled, and one naming another
// service than ours as an illegal negative reply (it answers some other
// request, a late one or another tester's, so its code says nothing of
// ours).
void checkNegativeReplyHead(const ByteString& reply, std::uint8_t service);

// One KWP2000 exchange over any link: sends the request and returns the
// ECU's answer, service byte first. Waits through "response pending"
// (7F sid 78); throws a negative reply as the error of its code, a negative
// reply or a positive one that answers another service as an illegal or
// malformed reply, and silence as "No answer at due time". step keeps the
// link's requests and replies in step: a late answer to an earlier request
// is never taken for this one's (the request fails as "late or out-of-step
// reply" when the line cannot be brought back in step).
ByteString kwpExchange(MessageLink& link, const ByteString& request, ReplyStep& step);

} // namespace vistrel
