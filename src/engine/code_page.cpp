// SPDX-License-Identifier: MIT
#include "engine/code_page.h"

#include "components/error.h"
#include "components/error_numbers.h"
#include "components/utf8.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <iconv.h>
#include <optional>

namespace vistrel {
namespace {

iconv_t asIconv(void* descriptor) {
    return static_cast<iconv_t>(descriptor);
}

bool isAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

} // namespace

Windows1252Encoder::Windows1252Encoder(Unrepresentable fallback)
    : descriptor_(iconv_open("WINDOWS-1252", "UTF-8")), fallback_(fallback) {
    if (asIconv(descriptor_) == reinterpret_cast<iconv_t>(-1)) {
        throw Error(kFileWriteError, "Code page windows-1252 not available", "Windows1252Encoder");
    }
}

Windows1252Encoder::~Windows1252Encoder() {
    iconv_close(asIconv(descriptor_));
}

void Windows1252Encoder::append(std::string& out, std::string_view utf8) {
    // ASCII reads the same in both encodings: most lines never reach iconv.
    if (isAscii(utf8)) {
        out.append(utf8);
    } else {
        appendConverted(out, utf8);
    }
}

std::string Windows1252Encoder::encode(std::string_view utf8) {
    std::string out;
    append(out, utf8);
    return out;
}

void Windows1252Encoder::appendConverted(std::string& out, std::string_view utf8) {
    const iconv_t cd = asIconv(descriptor_);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    // A single-byte target never needs more bytes than the UTF-8 source.
    std::string buffer(utf8.size(), '\0');
    while (!utf8.empty()) {
        char* in = const_cast<char*>(utf8.data());
        std::size_t inLeft = utf8.size();
        char* outStart = buffer.data();
        char* outPtr = outStart;
        std::size_t outLeft = buffer.size();
        const std::size_t result = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        out.append(outStart, static_cast<std::size_t>(outPtr - outStart));
        utf8.remove_prefix(utf8.size() - inLeft);
        if (result != static_cast<std::size_t>(-1)) {
            break;
        }
        // Stopped at a character the code page lacks, or at bytes that are
        // not UTF-8: write its stand-in and go on after it.
        if (const auto decoded = decodeUtf8(utf8)) {
            appendFallback(out, decoded->codePoint);
            utf8.remove_prefix(decoded->length);
        } else {
            out.push_back('?');
            utf8.remove_prefix(1);
        }
    }
}

void Windows1252Encoder::appendFallback(std::string& out, char32_t codePoint) const {
    if (fallback_ == Unrepresentable::QuestionMark) {
        out.push_back('?');
        return;
    }
    char digits[16];
    const auto end =
        std::to_chars(std::begin(digits), std::end(digits), static_cast<std::uint32_t>(codePoint))
            .ptr;
    out.append("&#").append(digits, end).push_back(';');
}

} // namespace vistrel
