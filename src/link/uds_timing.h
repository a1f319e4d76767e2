// SPDX-License-Identifier: MIT
#pragma once

#include "components/byte_string.h"
#include "link/message_link.h"

#include <chrono>
#include <optional>

namespace vistrel {

// How long a UDS ECU may take, as its session reply announces: P2server_max
// (the wait for a reply) and P2*server_max (the wait after each "response
// pending"). Until a session reply came, or for a value outside sane bounds,
// the link's own times hold.
class UdsTiming {
public:
    using Milliseconds = std::chrono::milliseconds;

    // Takes the times from a positive session reply 50 xx P2(2 bytes, ms)
    // P2*(2 bytes, 10 ms); a reply without them leaves the link's own.
    void takeSessionReply(const ByteString& reply);
    // Back to the link's own times (the link was opened anew).
    void reset() noexcept { *this = UdsTiming(); }

    // The wait for the first reply: the link's own, or P2server_max plus a
    // margin for the bus and the adapter when that is longer.
    Milliseconds replyWait(const MessageLink& link) const;
    // The wait after each "response pending".
    Milliseconds pendingWait() const noexcept { return p2Star_.value_or(kLinkP2Star); }

    std::optional<Milliseconds> p2Server() const noexcept { return p2_; }
    std::optional<Milliseconds> p2StarServer() const noexcept { return p2Star_; }

    // The link's own wait after "response pending", as for KWP2000.
    static constexpr Milliseconds kLinkP2Star{5000};

private:
    std::optional<Milliseconds> p2_;
    std::optional<Milliseconds> p2Star_;
};

} // namespace vistrel
