// SPDX-License-Identifier: MIT
#include "components/number_format.h"

#include "components/utf8.h"

#include <array>
#include <charconv>
#include <langinfo.h>
#include <locale.h>

namespace vistrel {
namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && isBlank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

bool startsWith(std::string_view s, std::size_t at, std::string_view part) {
    return !part.empty() && s.substr(at, part.size()) == part;
}

constexpr std::string_view kNoBreakSpace = "\u00A0";
constexpr std::string_view kNarrowNoBreakSpace = "\u202F";
constexpr std::string_view kRightSingleQuote = "\u2019";
// What spreadsheets write in exported text instead of the hyphen-minus.
constexpr std::string_view kMinusSign = "\u2212";

bool isSpaceLike(std::string_view s) {
    return s == " " || s == kNoBreakSpace || s == kNarrowNoBreakSpace;
}

// The length of the grouping sign at text[at], 0 when there is none. Besides
// the locale's own sign, the no-break spaces that spreadsheets put into the
// numbers they copy are grouping everywhere (they are nothing else inside a
// number), and so are the plain forms that people type for the locale's
// sign: a space for a no-break space, an apostrophe for U+2019.
std::size_t groupingAt(std::string_view text, std::size_t at, const NumberFormat& format) {
    const std::string_view own = format.groupingSeparator;
    for (const std::string_view sign : {own, kNoBreakSpace, kNarrowNoBreakSpace}) {
        if (startsWith(text, at, sign)) {
            return sign.size();
        }
    }
    const bool typedSpace = isSpaceLike(own) && text[at] == ' ';
    const bool typedApostrophe = (own == kRightSingleQuote || own == "'") && text[at] == '\'';
    return typedSpace || typedApostrophe ? 1 : 0;
}

// Upper-case exponent with at least two digits, the way users of
// spreadsheets know it: 1e+20 -> 1E+20, 1e-5 -> 1E-05.
std::string normaliseExponent(std::string_view text) {
    const auto e = text.find('e');
    std::string out(text.substr(0, e));
    if (e == std::string_view::npos) {
        return out;
    }
    std::string_view rest = text.substr(e + 1);
    out += 'E';
    char sign = '+';
    if (!rest.empty() && (rest.front() == '+' || rest.front() == '-')) {
        sign = rest.front();
        rest.remove_prefix(1);
    }
    out += sign;
    if (rest.size() < 2) {
        out += '0';
    }
    out += rest;
    return out;
}

// Number text with a full stop, shown in the user's decimal separator.
std::string withSeparator(std::string text, const NumberFormat& format) {
    const auto point = text.find('.');
    if (point != std::string::npos) {
        text.replace(point, 1, format.decimalSeparator);
    }
    return text;
}

} // namespace

NumberFormat NumberFormat::fromProcessLocale() {
    // The empty name is the locale that the environment names.
    return fromLocale("").value_or(invariant());
}

std::optional<NumberFormat> NumberFormat::fromLocale(const std::string& name) {
    NumberFormat format;
    // The C library's own strings, not the iostream facets: those hold one
    // byte per sign, and the grouping of many locales (U+202F, U+2019) is a
    // character of several bytes.
    const locale_t user = ::newlocale(LC_NUMERIC_MASK, name.c_str(), nullptr);
    if (user == nullptr) {
        return std::nullopt;
    }
    const std::string decimal = ::nl_langinfo_l(RADIXCHAR, user);
    const std::string grouping = ::nl_langinfo_l(THOUSEP, user);
    ::freelocale(user);
    if (!decimal.empty() && isValidUtf8(decimal)) {
        format.decimalSeparator = decimal;
    }
    // A locale without grouping (C, POSIX) keeps the invariant comma unless
    // the comma is its decimal sign. A locale in a single-byte code page
    // gives its no-break space as a byte that is no UTF-8; the no-break
    // spaces are read as grouping anyway.
    if (!grouping.empty()) {
        format.groupingSeparator = isValidUtf8(grouping) ? grouping : "";
    }
    if (format.groupingSeparator == format.decimalSeparator) {
        format.groupingSeparator.clear();
    }
    return format;
}

std::optional<double> parseUserNumber(std::string_view text, const NumberFormat& format) {
    text = trimBlanks(text);
    std::string plain;
    plain.reserve(text.size());
    bool seenDecimal = false;
    bool seenDigit = false;
    for (std::size_t i = 0; i < text.size();) {
        const char c = text[i];
        std::size_t grouping = 0;
        if (!seenDecimal && startsWith(text, i, format.decimalSeparator)) {
            plain += '.';
            seenDecimal = true;
            i += format.decimalSeparator.size();
        } else if (!seenDecimal && seenDigit && (grouping = groupingAt(text, i, format)) > 0) {
            i += grouping;
        } else if (startsWith(text, i, kMinusSign)) {
            plain += '-';
            i += kMinusSign.size();
        } else {
            seenDigit = seenDigit || (c >= '0' && c <= '9');
            plain += c;
            ++i;
        }
    }
    std::string_view digits = plain;
    if (!digits.empty() && digits.front() == '+') {
        digits.remove_prefix(1);
        if (!digits.empty() && digits.front() == '-') {
            return std::nullopt;
        }
    }
    if (!seenDigit) {
        return std::nullopt; // also refuses "inf" and "nan"
    }
    double value = 0.0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (ec != std::errc{} || end != digits.data() + digits.size()) {
        return std::nullopt;
    }
    return value;
}

std::string formatGeneral(double value, const NumberFormat& format) {
    if (value == 0.0) {
        value = 0.0; // a zero is shown without the sign that a negative zero has
    }
    std::array<char, 64> buf{};
    const auto res =
        std::to_chars(buf.data(), buf.data() + buf.size(), value, std::chars_format::general, 15);
    return withSeparator(normaliseExponent(std::string_view(buf.data(), res.ptr)), format);
}

std::string formatRoundTrip(double value) {
    std::array<char, 64> buf{};
    const auto res = std::to_chars(buf.data(), buf.data() + buf.size(), value);
    return normaliseExponent(std::string_view(buf.data(), res.ptr));
}

namespace {

template <typename Number> std::string shortestText(Number value, const NumberFormat& format) {
    std::array<char, 64> buf{};
    const auto res = std::to_chars(buf.data(), buf.data() + buf.size(), value);
    return withSeparator(normaliseExponent(std::string_view(buf.data(), res.ptr)), format);
}

} // namespace

std::string formatShortest(float value, const NumberFormat& format) {
    return shortestText(value, format);
}

std::string formatShortest(double value, const NumberFormat& format) {
    return shortestText(value, format);
}

} // namespace vistrel
