// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vistrel {

// A sequence of bytes with its hexadecimal text: the form in which addresses,
// masks, requests and replies are built, shown and stored. Positions are
// 0-based.
class ByteString {
public:
    ByteString() = default;
    ByteString(std::initializer_list<std::uint8_t> bytes) : bytes_(bytes) {}
    explicit ByteString(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}

    // Parses two hexadecimal digits a byte, either letter case, no separators.
    // Throws Error for a text that is not hexadecimal or has an odd digit count.
    static ByteString fromText(std::string_view hex);

    std::size_t length() const noexcept { return bytes_.size(); }
    // Keeps the first bytes up to n; new bytes are 0. 0 empties.
    void setLength(std::size_t n) { bytes_.resize(n); }
    bool empty() const noexcept { return bytes_.empty(); }
    void clear() noexcept { bytes_.clear(); }

    std::uint8_t byte(std::size_t i) const { return bytes_.at(i); }
    void setByte(std::size_t i, std::uint8_t value) { bytes_.at(i) = value; }

    void append(std::uint8_t value) { bytes_.push_back(value); }
    void append(const ByteString& other);

    // The stretch of count bytes from start on, cut short at the end.
    ByteString mid(std::size_t start, std::size_t count) const;
    ByteString clone() const { return *this; }

    // Two upper-case hexadecimal digits a byte ("" when empty).
    std::string text() const;
    // Replaces the bytes by those of a hexadecimal text; throws Error as
    // fromText and then leaves the bytes unchanged.
    void setText(std::string_view hex) { *this = fromText(hex); }

    std::span<const std::uint8_t> bytes() const noexcept { return bytes_; }
    const std::uint8_t* data() const noexcept { return bytes_.data(); }

    friend bool operator==(const ByteString&, const ByteString&) = default;

private:
    std::vector<std::uint8_t> bytes_;
};

// The value 0 to 15 of one hexadecimal digit, either letter case; -1 for any
// other character.
int hexDigitValue(char c) noexcept;

// Appends the two upper-case hexadecimal digits of each byte to out.
void appendHex(std::string& out, std::span<const std::uint8_t> bytes);

// Upper-case hexadecimal of value with at least digits digits (leading
// zeros): hexPadded(0x7E0, 3) is "7E0", hexPadded(0x5, 2) is "05".
std::string hexPadded(std::uint32_t value, std::size_t digits);

} // namespace vistrel
