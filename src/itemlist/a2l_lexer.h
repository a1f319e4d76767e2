// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vistrel {

// One word of a measurement description: a keyword, a name, a number or a
// quoted string (its escapes resolved).
struct A2lToken {
    enum class Kind { Word, String, End };
    Kind kind = Kind::End;
    std::string_view text; // the word, or the string's raw content between its quotes
    int line = 0;

    bool is(std::string_view word) const noexcept { return kind == Kind::Word && text == word; }
    // The string's text with \" and \\ escapes resolved; a word as it is.
    std::string value() const;
};

// Splits the UTF-8 text of one description file into tokens in one pass:
// blanks and /* */ and // comments between tokens are dropped; a quoted
// string may hold anything, "/end" and "*/" included. Throws Error
// kMeasurementFileError "FILE:LINE: reason" for an unterminated comment or
// string.
class A2lLexer {
public:
    A2lLexer(std::string_view text, std::string fileName)
        : text_(text), fileName_(std::move(fileName)) {}

    A2lToken next();
    const std::string& fileName() const noexcept { return fileName_; }
    int line() const noexcept { return line_; }
    [[noreturn]] void fail(int line, const std::string& reason) const;

private:
    void skipBlanksAndComments();
    void advance(std::size_t count);

    std::string_view text_;
    std::string fileName_;
    std::size_t position_ = 0;
    int line_ = 1;
};

// A number as descriptions write them: decimal, with a fraction and an
// exponent, or hexadecimal after 0x; nullopt for any other text.
std::optional<double> a2lNumber(std::string_view text);
// A whole number, decimal or hexadecimal, with an optional sign.
std::optional<long long> a2lInteger(std::string_view text);

} // namespace vistrel
