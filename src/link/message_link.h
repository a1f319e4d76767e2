// SPDX-License-Identifier: MIT
#pragma once

#include "components/byte_string.h"

#include <chrono>
#include <optional>

namespace vistrel {

// A link seen as whole KWP2000 messages: what a K-line frame, an adapter's
// reply line or an ISO-TP transfer carries, service byte first. It only
// moves messages; what they mean (response pending, negative replies) is
// the KWP2000 layer's business, the same for every link. Failures of the
// link itself (a lost device, a garbled frame) are thrown as Error.
class MessageLink {
public:
    virtual ~MessageLink() = default;

    // Sends one request; the wait for its replies starts at its end.
    virtual void sendMessage(const ByteString& request) = 0;
    // The next message for us that begins within timeout of the end of the
    // request or of the message before it; nothing when none came in time.
    virtual std::optional<ByteString> receiveMessage(std::chrono::milliseconds timeout) = 0;
    // How long the ECU has for its first reply to a request (P2max, or the
    // adapter's own timeout).
    virtual std::chrono::milliseconds replyTimeout() const = 0;
    // What the ECU sent without a request (UDS periodic frames, identifier
    // byte first), kept apart from the replies whenever it came; nothing when
    // none came within timeout, or where the link carries none. Never
    // blocks longer than timeout.
    virtual std::optional<ByteString> receiveUnsolicited(std::chrono::milliseconds /*timeout*/) {
        return std::nullopt;
    }
};

} // namespace vistrel
