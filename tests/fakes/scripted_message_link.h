// SPDX-License-Identifier: MIT
#pragma once

#include "link/message_link.h"

#include <deque>
#include <optional>
#include <vector>

namespace vistrel::testing {

// A message link that hands out scripted replies in turn, then silence, and
// records every message sent and every wait asked for.
struct ScriptedMessageLink : MessageLink {
    std::deque<std::optional<ByteString>> replies;
    std::vector<ByteString> sent;
    std::vector<std::chrono::milliseconds> waits;
    std::chrono::milliseconds ownTimeout{150};

    void sendMessage(const ByteString& request) override { sent.push_back(request); }
    std::optional<ByteString> receiveMessage(std::chrono::milliseconds timeout) override {
        waits.push_back(timeout);
        if (replies.empty()) {
            return std::nullopt;
        }
        std::optional<ByteString> reply = std::move(replies.front());
        replies.pop_front();
        return reply;
    }
    std::chrono::milliseconds replyTimeout() const override { return ownTimeout; }
};

} // namespace vistrel::testing
