// SPDX-License-Identifier: MIT
#include "components/byte_string.h"

#include "components/error.h"
#include "components/error_numbers.h"

#include <algorithm>

namespace vistrel {
namespace {

[[noreturn]] void rejectHex(std::string_view hex, const char* why) {
    std::string shown(hex.substr(0, 64));
    if (hex.size() > 64) {
        shown += "...";
    }
    throw Error(kHexTextError, "Invalid hexadecimal text (" + shown + "): " + why,
                "ByteString.text");
}

} // namespace

int hexDigitValue(char c) noexcept {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

ByteString ByteString::fromText(std::string_view hex) {
    if (hex.size() % 2 != 0) {
        rejectHex(hex, "odd digit count");
    }
    std::vector<std::uint8_t> bytes;
    bytes.reserve(hex.size() / 2);
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        const int high = hexDigitValue(hex[i]);
        const int low = hexDigitValue(hex[i + 1]);
        if (high < 0 || low < 0) {
            rejectHex(hex, "not a hexadecimal digit");
        }
        bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
    }
    return ByteString(std::move(bytes));
}

void ByteString::append(const ByteString& other) {
    bytes_.insert(bytes_.end(), other.bytes_.begin(), other.bytes_.end());
}

ByteString ByteString::mid(std::size_t start, std::size_t count) const {
    if (start >= bytes_.size()) {
        return {};
    }
    const std::size_t end = start + std::min(count, bytes_.size() - start);
    return ByteString(std::vector<std::uint8_t>(bytes_.begin() + static_cast<std::ptrdiff_t>(start),
                                                bytes_.begin() + static_cast<std::ptrdiff_t>(end)));
}

std::string ByteString::text() const {
    std::string out;
    appendHex(out, bytes_);
    return out;
}

void appendHex(std::string& out, std::span<const std::uint8_t> bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    out.reserve(out.size() + bytes.size() * 2);
    for (const std::uint8_t b : bytes) {
        out.push_back(kDigits[b >> 4]);
        out.push_back(kDigits[b & 0x0F]);
    }
}

std::string hexPadded(std::uint32_t value, std::size_t digits) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out;
    for (; value != 0 || out.size() < digits; value >>= 4) {
        out.insert(out.begin(), kDigits[value & 0x0F]);
    }
    return out;
}

} // namespace vistrel
