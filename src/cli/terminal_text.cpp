// SPDX-License-Identifier: MIT
#include "cli/terminal_text.h"

namespace vistrel::cli {
namespace {

bool isContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// The length of the well-formed UTF-8 sequence at the start of text, 0 when
// there is none (overlong forms and surrogates included).
std::size_t sequenceLength(std::string_view text) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead < 0x80) {
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (text.size() < length || byte(1) < low || byte(1) > high) {
        return 0;
    }
    for (std::size_t i = 2; i < length; ++i) {
        if (!isContinuation(byte(i))) {
            return 0;
        }
    }
    return length;
}

bool isControl(std::string_view sequence) {
    const auto lead = static_cast<unsigned char>(sequence[0]);
    if (sequence.size() == 1) {
        return lead < 0x20 || lead == 0x7F;
    }
    // U+0080 to U+009F, the C1 controls, are C2 80 to C2 9F.
    return lead == 0xC2 && static_cast<unsigned char>(sequence[1]) < 0xA0;
}

} // namespace

std::string printable(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    while (!text.empty()) {
        const std::size_t length = sequenceLength(text);
        const std::string_view sequence = text.substr(0, length == 0 ? 1 : length);
        if (length == 0 || isControl(sequence)) {
            out += '?';
        } else {
            out += sequence;
        }
        text.remove_prefix(sequence.size());
    }
    return out;
}

std::size_t displayWidth(std::string_view text) {
    std::size_t width = 0;
    for (const char c : text) {
        width += isContinuation(static_cast<unsigned char>(c)) ? 0 : 1;
    }
    return width;
}

std::string_view firstCharacters(std::string_view text, std::size_t width) {
    std::size_t end = 0;
    std::size_t characters = 0;
    while (end < text.size()) {
        if (!isContinuation(static_cast<unsigned char>(text[end]))) {
            if (characters == width) {
                break;
            }
            ++characters;
        }
        ++end;
    }
    return text.substr(0, end);
}

std::string middleElided(std::string_view text, std::size_t width) {
    const std::size_t length = displayWidth(text);
    if (length <= width) {
        return std::string(text);
    }
    if (width == 0) {
        return {};
    }
    const std::size_t kept = width - 1;
    const std::size_t head = (kept + 1) / 2;
    const std::size_t tailStart = firstCharacters(text, length - (kept - head)).size();
    return std::string(firstCharacters(text, head)) + "\u2026" +
           std::string(text.substr(tailStart));
}

} // namespace vistrel::cli
