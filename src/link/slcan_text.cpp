// SPDX-License-Identifier: MIT
#include "link/slcan_text.h"

#include "components/byte_string.h"

#include <charconv>

namespace vistrel {
namespace {

// T, 8 id digits, length, 16 data digits, 4 timestamp digits.
constexpr std::size_t kLongestLine = 1 + 8 + 1 + 16 + 4;
constexpr char kCarriageReturn = '\r';
constexpr char kBellByte = '\a';

std::optional<std::uint32_t> hexField(std::string_view text) {
    std::uint32_t value = 0;
    const auto [end, failed] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    if (text.empty() || failed != std::errc{} || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

} // namespace

std::string slcanFrameText(const CanFrame& frame) {
    std::string text(1, frame.extended ? 'T' : 't');
    text += hexPadded(frame.id, frame.extended ? 8 : 3);
    text += static_cast<char>('0' + frame.length);
    for (const std::uint8_t byte : frame.bytes()) {
        text += hexPadded(byte, 2);
    }
    return text;
}

std::optional<CanFrame> parseSlcanFrame(std::string_view line) {
    if (line.empty() || (line[0] != 't' && line[0] != 'T')) {
        return std::nullopt;
    }
    CanFrame frame;
    frame.extended = line[0] == 'T';
    const std::size_t idDigits = frame.extended ? 8 : 3;
    if (line.size() < 1 + idDigits + 1) {
        return std::nullopt;
    }
    const auto id = hexField(line.substr(1, idDigits));
    const char length = line[1 + idDigits];
    if (!id || *id > (frame.extended ? 0x1FFFFFFFU : 0x7FFU) || length < '0' || length > '8') {
        return std::nullopt;
    }
    frame.id = *id;
    frame.length = static_cast<std::uint8_t>(length - '0');
    const std::string_view data = line.substr(2 + idDigits);
    // The data, then nothing or a timestamp of 4 digits.
    if (data.size() != 2U * frame.length && data.size() != 2U * frame.length + 4) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < frame.length; ++i) {
        const auto byte = hexField(data.substr(2 * i, 2));
        if (!byte) {
            return std::nullopt;
        }
        frame.data[i] = static_cast<std::uint8_t>(*byte);
    }
    if (data.size() > 2U * frame.length && !hexField(data.substr(2U * frame.length))) {
        return std::nullopt;
    }
    return frame;
}

void SlcanLineSplitter::push(std::span<const std::uint8_t> bytes, std::vector<std::string>& lines) {
    for (const std::uint8_t byte : bytes) {
        const char c = static_cast<char>(byte);
        if (c == kCarriageReturn || c == kBellByte) {
            if (!overlong_) {
                lines.push_back(c == kBellByte ? partial_ + c : partial_);
            }
            partial_.clear();
            overlong_ = false;
            continue;
        }
        if (c == '\n') {
            continue;
        }
        if (partial_.size() >= kLongestLine) {
            overlong_ = true;
            partial_.clear();
        }
        if (!overlong_) {
            partial_ += c;
        }
    }
}

} // namespace vistrel
