// SPDX-License-Identifier: MIT
// Arbitrary bytes, meant as UTF-8, into windows-1252 under both stand-ins
// for characters the code page lacks. ASCII comes out unchanged; anything
// else takes one byte a character with "?", and a character reference of at
// most ten bytes for a character of two to four bytes with "&#...;".
#include "engine/code_page.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using vistrel::Windows1252Encoder;
    static Windows1252Encoder plain(Windows1252Encoder::Unrepresentable::QuestionMark);
    static Windows1252Encoder xml(Windows1252Encoder::Unrepresentable::XmlCharacterReference);

    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const bool ascii = std::all_of(text.begin(), text.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    const std::string questionMarks = plain.encode(text);
    const std::string references = xml.encode(text);
    if (questionMarks.size() > text.size() || references.size() > 5 * text.size() ||
        (ascii && (questionMarks != text || references != text))) {
        __builtin_trap();
    }
    // The converter is reused from run to run: the text must not depend on
    // what came before.
    if (plain.encode(text) != questionMarks) {
        __builtin_trap();
    }
    return 0;
}
