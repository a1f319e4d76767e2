// SPDX-License-Identifier: MIT
#include "itemlist/a2l_lexer.h"

#include "components/error.h"
#include "components/error_numbers.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace vistrel {
namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

// Splits off a sign and a 0x prefix: the digits, their base and whether the
// number is negative.
struct NumberParts {
    std::string_view digits;
    int base = 10;
    bool negative = false;
};

NumberParts numberParts(std::string_view text) {
    NumberParts parts;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        parts.negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        parts.base = 16;
        text.remove_prefix(2);
    }
    parts.digits = text;
    return parts;
}

} // namespace

std::string A2lToken::value() const {
    if (kind != Kind::String || text.find('\\') == std::string_view::npos) {
        return std::string(text);
    }
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && (text[i + 1] == '"' || text[i + 1] == '\\')) {
            ++i;
        }
        out += text[i];
    }
    return out;
}

void A2lLexer::fail(int line, const std::string& reason) const {
    throw Error(kMeasurementFileError, fileName_ + ":" + std::to_string(line) + ": " + reason,
                "A2L");
}

void A2lLexer::advance(std::size_t count) {
    const std::size_t end = std::min(text_.size(), position_ + count);
    line_ += static_cast<int>(std::count(text_.begin() + static_cast<std::ptrdiff_t>(position_),
                                         text_.begin() + static_cast<std::ptrdiff_t>(end), '\n'));
    position_ = end;
}

void A2lLexer::skipBlanksAndComments() {
    while (position_ < text_.size()) {
        const char c = text_[position_];
        if (isBlank(c)) {
            if (c == '\n') {
                ++line_;
            }
            ++position_;
            continue;
        }
        const std::string_view rest = text_.substr(position_);
        if (rest.starts_with("/*")) {
            const std::size_t close = rest.find("*/", 2);
            if (close == std::string_view::npos) {
                fail(line_, "a /* comment is never closed");
            }
            advance(close + 2);
        } else if (rest.starts_with("//")) {
            const std::size_t end = rest.find('\n');
            advance(end == std::string_view::npos ? rest.size() : end);
        } else {
            return;
        }
    }
}

A2lToken A2lLexer::next() {
    skipBlanksAndComments();
    A2lToken token;
    token.line = line_;
    if (position_ >= text_.size()) {
        return token;
    }
    if (text_[position_] == '"') {
        const std::size_t start = position_ + 1;
        std::size_t i = start;
        while (i < text_.size() && text_[i] != '"') {
            i += text_[i] == '\\' && i + 1 < text_.size() ? 2 : 1;
        }
        if (i >= text_.size()) {
            fail(token.line, "a string is never closed");
        }
        token.kind = A2lToken::Kind::String;
        token.text = text_.substr(start, i - start);
        advance(i + 1 - position_);
        return token;
    }
    // A word runs to a blank, a quote or a comment.
    std::size_t i = position_;
    while (i < text_.size() && !isBlank(text_[i]) && text_[i] != '"' &&
           !(i > position_ && text_[i] == '/' && i + 1 < text_.size() &&
             (text_[i + 1] == '*' || text_[i + 1] == '/'))) {
        ++i;
    }
    token.kind = A2lToken::Kind::Word;
    token.text = text_.substr(position_, i - position_);
    position_ = i;
    return token;
}

std::optional<double> a2lNumber(std::string_view text) {
    const NumberParts parts = numberParts(text);
    if (parts.digits.empty() || parts.digits.front() == '-' || parts.digits.front() == '+') {
        return std::nullopt;
    }
    double value = 0;
    const char* const end = parts.digits.data() + parts.digits.size();
    const auto [stop, failed] =
        parts.base == 16 ? std::from_chars(parts.digits.data(), end, value, std::chars_format::hex)
                         : std::from_chars(parts.digits.data(), end, value);
    if (failed != std::errc{} || stop != end || !std::isfinite(value)) {
        return std::nullopt;
    }
    return parts.negative ? -value : value;
}

std::optional<long long> a2lInteger(std::string_view text) {
    const NumberParts parts = numberParts(text);
    unsigned long long magnitude = 0;
    const char* const end = parts.digits.data() + parts.digits.size();
    const auto [stop, failed] = std::from_chars(parts.digits.data(), end, magnitude, parts.base);
    if (parts.digits.empty() || failed != std::errc{} || stop != end ||
        magnitude > static_cast<unsigned long long>(INT64_MAX)) {
        return std::nullopt;
    }
    const auto value = static_cast<long long>(magnitude);
    return parts.negative ? -value : value;
}

} // namespace vistrel
