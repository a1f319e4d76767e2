// SPDX-License-Identifier: MIT
#pragma once

#include "components/byte_string.h"

#include <chrono>
#include <optional>

namespace vistrel {

// A link that moves whole diagnostic messages: the request goes out as one,
// the reply comes back as one, however the bus cuts them into frames. What
// the messages mean (pending replies, negative replies) is the business of
// the layer above. A link failure throws Error.
class MessageLink {
public:
    virtual ~MessageLink() = default;

    virtual void sendMessage(const ByteString& request) = 0;
    // The next message from the ECU, or nothing when none began within
    // timeout.
    virtual std::optional<ByteString> receiveMessage(std::chrono::milliseconds timeout) = 0;
};

} // namespace vistrel
