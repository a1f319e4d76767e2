// SPDX-License-Identifier: MIT
#pragma once

#include "link/can_frame.h"

#include <chrono>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vistrel {

// Cuts the byte stream of a socketcand connection into its messages, each
// "< ... >", whatever way TCP splits them. What stands between messages is
// skipped; a message that grows beyond any socketcand message is dropped.
class SocketcandReader {
public:
    // Adds bytes; the text inside each complete message (without the angle
    // brackets, trimmed) goes to messages.
    void push(std::span<const std::uint8_t> bytes, std::vector<std::string>& messages);

private:
    std::string partial_;
    bool inside_ = false;
};

// The words of a message: "frame 7E8 1.5 0210" gives frame, 7E8, 1.5, 0210.
std::vector<std::string_view> socketcandWords(std::string_view message);

// A received frame: "frame ID SECONDS.MICROS DATA", DATA one joined hex
// string (current servers) or bytes apart (older ones); an id of 8 digits is
// 29-bit. Nothing for anything else or data that does not make a frame.
std::optional<CanFrame> parseSocketcandFrame(std::string_view message);

// "< send ID LEN B0 B1 ... >" for a frame to send.
std::string socketcandSendText(const CanFrame& frame);

// The server's side: a "send ID LEN B0 B1 ..." message read back (nothing
// when its length and bytes disagree), and the "< frame ... >" it reports
// a frame of the bus with, its data as one joined hex string.
std::optional<CanFrame> parseSocketcandSend(std::string_view message);
std::string socketcandFrameText(const CanFrame& frame, std::chrono::microseconds time);

} // namespace vistrel
