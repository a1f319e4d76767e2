// SPDX-License-Identifier: MIT
#include "components/number_decoding.h"
#include "item/vistrel_item.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <span>

namespace vistrel {
namespace {

constexpr std::size_t kMaxDecodedBytes = 8;

constexpr const char* kOutOfRangeText = "Hors limites (Out of range)";
constexpr const char* kFloatLengthText =
    "VistrelItem error : un flottant a 4 ou 8 octets (a float has 4 or 8 bytes)";

// The raw number behind the decimal and physical displays: signed codings
// give an int64, unsigned ones a uint64, so no 8-byte value loses its range.
struct RawNumber {
    bool isSigned;
    std::int64_t signedValue;
    std::uint64_t unsignedValue;

    double toDouble() const noexcept {
        return isSigned ? static_cast<double>(signedValue) : static_cast<double>(unsignedValue);
    }
};

std::uint8_t maskAt(std::span<const std::uint8_t> mask, std::size_t i) noexcept {
    return i < mask.size() ? mask[i] : std::uint8_t{0xFF};
}

// Hexadecimal and binary show the bytes in the order of the reply, so the
// mask goes with them in its written order. Only bytes that exist are masked.
std::string maskedHex(std::span<const std::uint8_t> value, std::span<const std::uint8_t> mask) {
    std::string out;
    out.reserve(value.size() * 2);
    for (std::size_t i = 0; i < value.size(); ++i) {
        const std::uint8_t b = value[i] & maskAt(mask, i);
        appendHex(out, {&b, 1});
    }
    return out;
}

std::string maskedBinary(std::span<const std::uint8_t> value, std::span<const std::uint8_t> mask) {
    std::string out;
    out.reserve(value.size() * 8);
    for (std::size_t i = 0; i < value.size(); ++i) {
        const std::uint8_t b = value[i] & maskAt(mask, i);
        for (int bit = 7; bit >= 0; --bit) {
            out.push_back(((b >> bit) & 1) != 0 ? '1' : '0');
        }
    }
    return out;
}

// The mask is written most significant byte first. Little-endian value bytes
// come least significant first, so there the mask's last byte goes with the
// first value byte.
RawNumber decode(std::span<const std::uint8_t> value, std::span<const std::uint8_t> mask,
                 Coding coding) {
    const bool bigEndian = isBigEndian(coding);
    std::array<std::uint8_t, kMaxDecodedBytes> bytes{};
    const std::size_t n = std::min(value.size(), bytes.size());
    const std::size_t m = mask.size();
    for (std::size_t i = 0; i < n; ++i) {
        bytes[i] = value[i];
        if (i < m) {
            bytes[i] &= bigEndian ? mask[i] : mask[m - 1 - i];
        }
    }
    const std::span<const std::uint8_t> used(bytes.data(), n);
    const ByteOrder order = bigEndian ? ByteOrder::BigEndian : ByteOrder::LittleEndian;
    if (isSigned(coding)) {
        return {true, decodeSigned(used, order), 0};
    }
    return {false, 0, decodeUnsigned(used, order)};
}

std::string decimalText(const RawNumber& number) {
    std::array<char, 24> buf{};
    const auto res = number.isSigned
                         ? std::to_chars(buf.data(), buf.data() + buf.size(), number.signedValue)
                         : std::to_chars(buf.data(), buf.data() + buf.size(), number.unsignedValue);
    return std::string(buf.data(), res.ptr);
}

// An IEEE-754 float of 4 or 8 bytes; the mask does not apply, since masked
// bytes of a float make no number.
double decodeFloat(std::span<const std::uint8_t> value, Coding coding) {
    const std::uint64_t bits =
        decodeUnsigned(value, isBigEndian(coding) ? ByteOrder::BigEndian : ByteOrder::LittleEndian);
    if (value.size() == 4) {
        return std::bit_cast<float>(static_cast<std::uint32_t>(bits));
    }
    return std::bit_cast<double>(bits);
}

const NumberFormat& invariantFormat() {
    static const NumberFormat invariant = NumberFormat::invariant();
    return invariant;
}

} // namespace

std::string VistrelItem::text() const {
    if (errorCode_ != 0) {
        return errorText_;
    }
    if (isFloat(coding_) && length_ != 4 && length_ != 8) {
        return kFloatLengthText;
    }
    if (value_.empty()) {
        return "Not supported";
    }
    const std::span<const std::uint8_t> mask =
        mask_ ? mask_->bytes() : std::span<const std::uint8_t>();
    switch (format_) {
    case Format::Hexadecimal:
        return maskedHex(value_.bytes(), mask);
    case Format::Binary:
        return maskedBinary(value_.bytes(), mask);
    default:
        break;
    }
    // The number spans the item's length; value bytes longer than that (a
    // length changed after the read) do not count.
    const std::size_t length = static_cast<std::size_t>(std::max(length_, 1));
    if (isFloat(coding_)) {
        return floatText(value_.bytes().first(std::min(length, value_.length())));
    }
    const RawNumber number =
        decode(value_.bytes().first(std::min(length, value_.length())), mask, coding_);
    if (format_ == Format::Physical) {
        const double physical = (number.toDouble() * coefA_ + coefB_) / coefC_;
        // Huge coefficients can carry the value past a double's range.
        return std::isfinite(physical) ? formatGeneral(physical, numberFormat()) : kOutOfRangeText;
    }
    return decimalText(number);
}

std::string VistrelItem::floatText(std::span<const std::uint8_t> bytes) const {
    if (bytes.size() != static_cast<std::size_t>(length_)) {
        return kFloatLengthText; // a length changed since the read
    }
    const double value = decodeFloat(bytes, coding_);
    const double shown = format_ == Format::Physical ? (value * coefA_ + coefB_) / coefC_ : value;
    if (!std::isfinite(shown)) {
        return kOutOfRangeText;
    }
    if (format_ == Format::Physical) {
        return formatGeneral(shown, numberFormat());
    }
    return bytes.size() == 4 ? formatShortest(static_cast<float>(value), numberFormat())
                             : formatShortest(value, numberFormat());
}

std::string VistrelItem::formatLabel() const {
    switch (format_) {
    case Format::Decimal:
        return "Decimal";
    case Format::Hexadecimal:
        return "Hexadecimal";
    case Format::Binary:
        return "Binaire";
    case Format::Physical: {
        const NumberFormat& format = numberFormat();
        std::string label = "(";
        label += formatGeneral(coefA_, format);
        label += " * v + ";
        label += formatGeneral(coefB_, format);
        label += ") / ";
        label += formatGeneral(coefC_, format);
        return label;
    }
    }
    return {};
}

const NumberFormat& VistrelItem::numberFormat() const {
    return numberFormat_ ? *numberFormat_ : invariantFormat();
}

} // namespace vistrel
