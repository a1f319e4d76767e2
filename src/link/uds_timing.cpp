// SPDX-License-Identifier: MIT
#include "link/uds_timing.h"

#include <algorithm>

namespace vistrel {
namespace {

constexpr std::size_t kSessionReplyLength = 6;
// What the bus, the adapter and our own scheduling add to the ECU's P2.
constexpr std::chrono::milliseconds kTransportMargin{50};
// Beyond these the value is more likely a misread reply than a real ECU's
// time; the link's own times serve better then.
constexpr std::chrono::milliseconds kLeastP2{10};
constexpr std::chrono::milliseconds kMostP2{1000};
constexpr std::chrono::milliseconds kMostP2Star{30000};
constexpr int kP2StarUnitMs = 10;

unsigned word(const ByteString& reply, std::size_t at) {
    return (static_cast<unsigned>(reply.byte(at)) << 8) | reply.byte(at + 1);
}

} // namespace

void UdsTiming::takeSessionReply(const ByteString& reply) {
    if (reply.length() < kSessionReplyLength) {
        return;
    }
    const Milliseconds p2(word(reply, 2));
    const Milliseconds p2Star(static_cast<long>(word(reply, 4)) * kP2StarUnitMs);
    p2_ = p2 >= kLeastP2 && p2 <= kMostP2 ? std::optional(p2) : std::nullopt;
    p2Star_ =
        p2Star > Milliseconds(0) && p2Star <= kMostP2Star ? std::optional(p2Star) : std::nullopt;
}

UdsTiming::Milliseconds UdsTiming::replyWait(const MessageLink& link) const {
    const Milliseconds own = link.replyTimeout();
    return p2_ ? std::max(own, *p2_ + kTransportMargin) : own;
}

} // namespace vistrel
