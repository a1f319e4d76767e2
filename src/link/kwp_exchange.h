// SPDX-License-Identifier: MIT
#pragma once

#include "components/byte_string.h"
#include "link/message_link.h"

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

// One KWP2000 exchange over any link: sends the request and returns the
// ECU's answer, service byte first. Waits through "response pending"
// (7F sid 78); throws a negative reply as the error of its code, a negative
// reply or a positive one that answers another service as an illegal or
// malformed reply, and silence as "No answer at due time".
ByteString kwpExchange(MessageLink& link, const ByteString& request);

} // namespace vistrel
