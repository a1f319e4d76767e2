// SPDX-License-Identifier: MIT
#include "recording/value_text.h"

#include "item/vistrel_item.h"

#include <algorithm>
#include <charconv>
#include <cstdint>

namespace vistrel {
namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isHexDigit(char c) {
    return isDigit(c) || (c >= 'A' && c <= 'F');
}

// Number text as the general format writes it: "-12", "0,5", "1.5E+20".
// from_chars alone would also take "inf", "nan" and hexadecimal floats.
bool isDecimalNumber(std::string_view text) {
    std::size_t i = 0;
    const auto digits = [&] {
        const std::size_t start = i;
        while (i < text.size() && isDigit(text[i])) {
            ++i;
        }
        return i - start;
    };
    if (i < text.size() && text[i] == '-') {
        ++i;
    }
    std::size_t count = digits();
    if (i < text.size() && (text[i] == '.' || text[i] == ',')) {
        ++i;
        count += digits();
    }
    if (count == 0) {
        return false;
    }
    if (i < text.size() && (text[i] == 'E' || text[i] == 'e')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
            ++i;
        }
        if (digits() == 0) {
            return false;
        }
    }
    return i == text.size();
}

bool isBinaryBytes(std::string_view text) {
    return !text.empty() && text.size() % 8 == 0 &&
           std::all_of(text.begin(), text.end(), [](char c) { return c == '0' || c == '1'; });
}

bool isHexBytes(std::string_view text) {
    return !text.empty() && text.size() % 2 == 0 &&
           std::all_of(text.begin(), text.end(), isHexDigit);
}

std::optional<std::uint64_t> wholeValue(std::string_view text, int base) {
    std::uint64_t value = 0;
    const auto [end, failed] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (failed != std::errc{} || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

std::optional<double> decimalValue(std::string_view text) {
    if (!isDecimalNumber(text)) {
        return std::nullopt;
    }
    std::string dotted(text);
    std::replace(dotted.begin(), dotted.end(), ',', '.');
    double value = 0;
    const auto [end, failed] = std::from_chars(dotted.data(), dotted.data() + dotted.size(), value);
    if (failed != std::errc{} || end != dotted.data() + dotted.size()) {
        return std::nullopt;
    }
    return value;
}

} // namespace

ValueRadix radixOfFormat(Format format) {
    switch (format) {
    case Format::Hexadecimal:
        return ValueRadix::Hexadecimal;
    case Format::Binary:
        return ValueRadix::Binary;
    default:
        return ValueRadix::Decimal;
    }
}

std::optional<double> valueOfText(std::string_view text, ValueRadix radix) {
    switch (radix) {
    case ValueRadix::Hexadecimal:
        if (isHexBytes(text)) {
            // Eight bytes and more still plot, rounded to a double.
            double value = 0;
            for (const char c : text) {
                value = value * 16 + (isDigit(c) ? c - '0' : c - 'A' + 10);
            }
            return value;
        }
        return std::nullopt;
    case ValueRadix::Binary:
        if (!isBinaryBytes(text) || text.size() > 64) {
            return std::nullopt;
        }
        return static_cast<double>(*wholeValue(text, 2));
    case ValueRadix::Decimal:
        break;
    }
    return decimalValue(text);
}

std::optional<double> valueOfItem(const VistrelItem& item) {
    if (item.errorCode() != 0) {
        return std::nullopt;
    }
    return valueOfText(item.text(), radixOfFormat(item.format()));
}

RadixGuess guessRadix(const std::vector<std::string_view>& cells) {
    bool anyValue = false;
    bool allBinary = true;
    bool allHex = true;
    bool hexSign = false;
    for (const std::string_view cell : cells) {
        const bool hex = isHexBytes(cell);
        if (!hex && !isDecimalNumber(cell)) {
            continue; // an error text
        }
        anyValue = true;
        allBinary = allBinary && isBinaryBytes(cell);
        allHex = allHex && hex;
        hexSign = hexSign ||
                  (hex && (cell.front() == '0' ||
                           std::any_of(cell.begin(), cell.end(), [](char c) { return c >= 'A'; })));
    }
    if (anyValue && allBinary) {
        return {ValueRadix::Binary};
    }
    if (anyValue && allHex) {
        return hexSign ? RadixGuess{ValueRadix::Hexadecimal}
                       : RadixGuess{ValueRadix::Decimal, true};
    }
    return {};
}

std::string portableValueText(std::string_view text, ValueRadix radix) {
    if (radix == ValueRadix::Decimal) {
        if (!isDecimalNumber(text)) {
            return {};
        }
        std::string dotted(text);
        std::replace(dotted.begin(), dotted.end(), ',', '.');
        return dotted;
    }
    // Whole numbers of up to eight bytes keep every digit.
    const bool valid = radix == ValueRadix::Binary ? isBinaryBytes(text) : isHexBytes(text);
    const auto whole =
        valid ? wholeValue(text, radix == ValueRadix::Binary ? 2 : 16) : std::nullopt;
    if (!whole) {
        return {};
    }
    char digits[24];
    return {digits, std::to_chars(std::begin(digits), std::end(digits), *whole).ptr};
}

} // namespace vistrel
