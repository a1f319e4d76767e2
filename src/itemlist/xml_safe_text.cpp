// SPDX-License-Identifier: MIT
#include "itemlist/xml_safe_text.h"

#include "components/utf8.h"

#include <algorithm>

namespace vistrel {
namespace {

bool isXmlCharacter(char32_t c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
           (c >= 0xE000 && c <= 0xFFFD) || c >= 0x10000;
}

bool isPlainAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return (byte >= 0x20 && byte < 0x80) || c == '\t' || c == '\n' || c == '\r';
    });
}

} // namespace

std::string xmlSafeText(std::string_view text, bool& altered) {
    if (isPlainAscii(text)) {
        return std::string(text);
    }
    std::string safe;
    safe.reserve(text.size());
    while (!text.empty()) {
        const auto decoded = decodeUtf8(text);
        if (!decoded) {
            appendUtf8(safe, 0xFFFD);
            altered = true;
            text.remove_prefix(1);
            continue;
        }
        if (isXmlCharacter(decoded->codePoint)) {
            safe.append(text.substr(0, decoded->length));
        } else {
            altered = true;
        }
        text.remove_prefix(decoded->length);
    }
    return safe;
}

} // namespace vistrel
