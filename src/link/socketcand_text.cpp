// SPDX-License-Identifier: MIT
#include "link/socketcand_text.h"

#include "components/byte_string.h"

#include <charconv>

namespace vistrel {
namespace {

// "frame", an id, a time and 8 bytes apart fit well within this.
constexpr std::size_t kLongestMessage = 256;

std::optional<std::uint32_t> hexField(std::string_view text) {
    std::uint32_t value = 0;
    const auto [end, failed] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    if (text.empty() || text.size() > 8 || failed != std::errc{} ||
        end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

} // namespace

void SocketcandReader::push(std::span<const std::uint8_t> bytes,
                            std::vector<std::string>& messages) {
    for (const std::uint8_t byte : bytes) {
        const char c = static_cast<char>(byte);
        if (!inside_) {
            inside_ = c == '<';
            continue;
        }
        if (c == '>') {
            const auto first = partial_.find_first_not_of(' ');
            const auto last = partial_.find_last_not_of(' ');
            messages.push_back(first == std::string::npos
                                   ? std::string()
                                   : partial_.substr(first, last - first + 1));
            partial_.clear();
            inside_ = false;
            continue;
        }
        if (c == '<' || partial_.size() >= kLongestMessage) {
            // A message that never closed: start again at this one.
            partial_.clear();
            inside_ = c == '<';
            continue;
        }
        partial_ += c;
    }
}

std::vector<std::string_view> socketcandWords(std::string_view message) {
    std::vector<std::string_view> words;
    std::size_t at = 0;
    while ((at = message.find_first_not_of(' ', at)) != std::string_view::npos) {
        const auto end = message.find(' ', at);
        words.push_back(message.substr(at, end == std::string_view::npos ? end : end - at));
        at = end;
    }
    return words;
}

std::optional<CanFrame> parseSocketcandFrame(std::string_view message) {
    const auto words = socketcandWords(message);
    if (words.size() < 3 || words[0] != "frame") {
        return std::nullopt;
    }
    CanFrame frame;
    const auto id = hexField(words[1]);
    frame.extended = words[1].size() == 8;
    if (!id || *id > (frame.extended ? 0x1FFFFFFFU : 0x7FFU)) {
        return std::nullopt;
    }
    frame.id = *id;
    // The data: the words after the time, joined.
    std::string data;
    for (std::size_t i = 3; i < words.size(); ++i) {
        data += words[i];
    }
    if (data.size() % 2 != 0 || data.size() > 16) {
        return std::nullopt;
    }
    frame.length = static_cast<std::uint8_t>(data.size() / 2);
    for (std::size_t i = 0; i < frame.length; ++i) {
        const auto byte = hexField(std::string_view(data).substr(2 * i, 2));
        if (!byte) {
            return std::nullopt;
        }
        frame.data[i] = static_cast<std::uint8_t>(*byte);
    }
    return frame;
}

std::optional<CanFrame> parseSocketcandSend(std::string_view message) {
    const auto words = socketcandWords(message);
    if (words.size() < 3 || words[0] != "send" || words[2].size() != 1) {
        return std::nullopt;
    }
    CanFrame frame;
    const auto id = hexField(words[1]);
    frame.extended = words[1].size() == 8;
    const unsigned length = static_cast<unsigned>(words[2][0] - '0');
    if (!id || *id > (frame.extended ? 0x1FFFFFFFU : 0x7FFU) || length > 8 ||
        words.size() != 3 + length) {
        return std::nullopt;
    }
    frame.id = *id;
    frame.length = static_cast<std::uint8_t>(length);
    for (std::size_t i = 0; i < length; ++i) {
        const auto byte = hexField(words[3 + i]);
        if (!byte || words[3 + i].size() > 2) {
            return std::nullopt;
        }
        frame.data[i] = static_cast<std::uint8_t>(*byte);
    }
    return frame;
}

std::string socketcandFrameText(const CanFrame& frame, std::chrono::microseconds time) {
    const auto seconds = time.count() / 1000000;
    std::string micros = std::to_string(time.count() % 1000000);
    micros.insert(0, 6 - micros.size(), '0');
    std::string text = "< frame ";
    text += hexPadded(frame.id, frame.extended ? 8 : 3);
    text += ' ';
    text += std::to_string(seconds);
    text += '.';
    text += micros;
    text += ' ';
    for (const std::uint8_t byte : frame.bytes()) {
        text += hexPadded(byte, 2);
    }
    return text + " >";
}

std::string socketcandSendText(const CanFrame& frame) {
    std::string text = "< send ";
    text += hexPadded(frame.id, frame.extended ? 8 : 3);
    text += ' ';
    text += std::to_string(frame.length);
    for (const std::uint8_t byte : frame.bytes()) {
        text += ' ';
        text += hexPadded(byte, 2);
    }
    return text + " >";
}

} // namespace vistrel
