// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace vistrel {

// Converts the control's UTF-8 text into windows-1252, the single-byte code
// page of the recording and snapshot files, through iconv. One converter
// keeps its iconv descriptor for all the lines it converts.
class Windows1252Encoder {
public:
    // What a character that windows-1252 cannot hold becomes.
    enum class Unrepresentable {
        QuestionMark,          // "?": plain text files
        XmlCharacterReference, // "&#937;": XML text and attribute values keep it whole
    };

    // Throws Error when the system offers no windows-1252 conversion.
    explicit Windows1252Encoder(Unrepresentable fallback);
    ~Windows1252Encoder();
    Windows1252Encoder(const Windows1252Encoder&) = delete;
    Windows1252Encoder& operator=(const Windows1252Encoder&) = delete;

    // Appends the converted text to out. Bytes that are not valid UTF-8
    // become "?".
    void append(std::string& out, std::string_view utf8);
    std::string encode(std::string_view utf8);

private:
    void appendConverted(std::string& out, std::string_view utf8);
    void appendFallback(std::string& out, char32_t codePoint) const;

    void* descriptor_;
    Unrepresentable fallback_;
};

} // namespace vistrel
