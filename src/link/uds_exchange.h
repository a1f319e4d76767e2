// SPDX-License-Identifier: MIT
#pragma once

#include "components/byte_string.h"
#include "link/message_link.h"
#include "link/uds_timing.h"

#include <chrono>

namespace vistrel {

namespace uds_time {
// An ECU may ask for more time again and again; past this many "response
// pending" replies in a row the exchange counts as unanswered.
inline constexpr int kMaxPendingReplies = 20;
// busyRepeatRequest (21): the request goes out again after this pause, this
// many times, before the refusal stands.
inline constexpr std::chrono::milliseconds kBusyPause{100};
inline constexpr int kBusyRetries = 3;
} // namespace uds_time

// One UDS exchange over any message link: sends the request and returns the
// ECU's positive reply, which must answer the request's service (sid +
// 0x40). Waits out "response pending" (7F sid 78) for P2*server_max each
// time, repeats a request refused as busy (7F sid 21), and throws every
// other negative reply as the error of its name; silence is "No answer at
// due time". A positive reply to a session request sets the timing for the
// exchanges that follow. Replies to the link's own TesterPresent (7E, or
// 7F 3E) that arrive meanwhile are passed over.
ByteString udsExchange(MessageLink& link, const ByteString& request, UdsTiming& timing);

} // namespace vistrel
