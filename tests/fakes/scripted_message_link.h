// SPDX-License-Identifier: MIT
#pragma once

#include "link/message_link.h"

#include <deque>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace vistrel::testing {

// Replies as blank-separated hexadecimal; "-" is silence.
inline std::deque<std::optional<ByteString>> replyScript(const std::string& texts) {
    std::istringstream in(texts);
    std::deque<std::optional<ByteString>> replies;
    for (std::string text; in >> text;) {
        replies.push_back(text == "-" ? std::nullopt : std::optional(ByteString::fromText(text)));
    }
    return replies;
}

// A message link that hands out scripted replies in turn, then silence, and
// records every message sent (blank-separated hexadecimal) and every wait.
struct ScriptedMessageLink : MessageLink {
    std::deque<std::optional<ByteString>> replies;
    std::string sent;
    std::vector<std::chrono::milliseconds> waits;

    explicit ScriptedMessageLink(const std::string& script = "") : replies(replyScript(script)) {}

    void sendMessage(const ByteString& request) override {
        sent += (sent.empty() ? "" : " ") + request.text();
    }
    std::optional<ByteString> receiveMessage(std::chrono::milliseconds timeout) override {
        waits.push_back(timeout);
        if (replies.empty()) {
            return std::nullopt;
        }
        std::optional<ByteString> reply = std::move(replies.front());
        replies.pop_front();
        return reply;
    }
    std::chrono::milliseconds replyTimeout() const override {
        return std::chrono::milliseconds(150);
    }
};

} // namespace vistrel::testing
