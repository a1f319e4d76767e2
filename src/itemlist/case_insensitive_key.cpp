// SPDX-License-Identifier: MIT
#include "itemlist/case_insensitive_key.h"

#include "components/utf8.h"

#include <algorithm>
#include <unicode/uchar.h>

namespace vistrel {
namespace {

bool isAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

std::string foldAscii(std::string_view text) {
    std::string folded(text);
    for (char& c : folded) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return folded;
}

// Simple folding, one character for one: letters that differ only in case
// meet (Ω and ω, Œ and œ), while "ß" stays apart from "ss".
std::string foldUnicode(std::string_view text) {
    std::string folded;
    folded.reserve(text.size());
    while (!text.empty()) {
        const auto decoded = decodeUtf8(text);
        if (!decoded) {
            folded.push_back(text.front());
            text.remove_prefix(1);
            continue;
        }
        appendUtf8(folded, static_cast<char32_t>(u_foldCase(
                               static_cast<UChar32>(decoded->codePoint), U_FOLD_CASE_DEFAULT)));
        text.remove_prefix(decoded->length);
    }
    return folded;
}

} // namespace

std::string foldKey(std::string_view key) {
    // Most names are plain ASCII and never need the tables.
    return isAscii(key) ? foldAscii(key) : foldUnicode(key);
}

} // namespace vistrel
