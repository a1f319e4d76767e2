// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vistrel {

struct DecodedCharacter {
    char32_t codePoint;
    std::size_t length; // bytes of UTF-8 it took
};

// The character that starts text when text starts with a valid UTF-8
// sequence (shortest form, no surrogate, at most U+10FFFF); nullopt for an
// empty text or bytes that are no such sequence.
std::optional<DecodedCharacter> decodeUtf8(std::string_view text) noexcept;

bool isValidUtf8(std::string_view text) noexcept;

// Characters, not bytes; a byte that starts no valid sequence counts as one.
std::size_t utf8CharacterCount(std::string_view text) noexcept;

void appendUtf8(std::string& out, char32_t codePoint);

} // namespace vistrel
