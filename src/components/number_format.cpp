#include "components/number_format.h"

#include <array>
#include <charconv>
#include <locale>

namespace vistrel {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

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

} // namespace

NumberFormat NumberFormat::fromProcessLocale() {
    NumberFormat format;
    try {
        const std::locale user("");
        const auto& punct = std::use_facet<std::numpunct<char>>(user);
        format.decimalSeparator = std::string(1, punct.decimal_point());
        const char group = punct.thousands_sep();
        format.groupingSeparator = group == punct.decimal_point() ? "" : std::string(1, group);
    } catch (const std::runtime_error&) {
        // Unknown locale name in the environment: keep the invariant format.
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
        if (!seenDecimal && startsWith(text, i, format.decimalSeparator)) {
            plain += '.';
            seenDecimal = true;
            i += format.decimalSeparator.size();
        } else if (!seenDecimal && seenDigit && startsWith(text, i, format.groupingSeparator)) {
            i += format.groupingSeparator.size();
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
    std::array<char, 64> buf{};
    const auto res = std::to_chars(buf.data(), buf.data() + buf.size(), value,
                                   std::chars_format::general, 15);
    std::string text = normaliseExponent(std::string_view(buf.data(), res.ptr));
    const auto point = text.find('.');
    if (point != std::string::npos) {
        text.replace(point, 1, format.decimalSeparator);
    }
    return text;
}

std::string formatRoundTrip(double value) {
    std::array<char, 64> buf{};
    const auto res = std::to_chars(buf.data(), buf.data() + buf.size(), value);
    return normaliseExponent(std::string_view(buf.data(), res.ptr));
}

} // namespace vistrel
