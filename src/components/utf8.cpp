// SPDX-License-Identifier: MIT
#include "components/utf8.h"

#include <cstdint>

namespace vistrel {

std::optional<DecodedCharacter> decodeUtf8(std::string_view text) noexcept {
    if (text.empty()) {
        return std::nullopt;
    }
    const auto lead = static_cast<unsigned char>(text.front());
    if (lead < 0x80) {
        return DecodedCharacter{lead, 1};
    }
    std::size_t length = 0;
    char32_t codePoint = 0;
    if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        codePoint = lead & 0x07U;
    } else if (lead >= 0xE0) {
        length = lead <= 0xEF ? 3 : 0;
        codePoint = lead & 0x0FU;
    } else if (lead >= 0xC2) {
        length = 2;
        codePoint = lead & 0x1FU;
    }
    if (length == 0 || text.size() < length) {
        return std::nullopt;
    }
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[i]);
        if ((next & 0xC0U) != 0x80U) {
            return std::nullopt;
        }
        codePoint = (codePoint << 6U) | (next & 0x3FU);
    }
    static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (codePoint < kSmallest[length] || codePoint > 0x10FFFF ||
        (codePoint >= 0xD800 && codePoint <= 0xDFFF)) {
        return std::nullopt;
    }
    return DecodedCharacter{codePoint, length};
}

bool isValidUtf8(std::string_view text) noexcept {
    while (!text.empty()) {
        const auto decoded = decodeUtf8(text);
        if (!decoded) {
            return false;
        }
        text.remove_prefix(decoded->length);
    }
    return true;
}

std::size_t utf8CharacterCount(std::string_view text) noexcept {
    std::size_t count = 0;
    while (!text.empty()) {
        const auto decoded = decodeUtf8(text);
        text.remove_prefix(decoded ? decoded->length : 1);
        ++count;
    }
    return count;
}

void appendUtf8(std::string& out, char32_t codePoint) {
    const auto c = static_cast<std::uint32_t>(codePoint);
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

} // namespace vistrel
