// SPDX-License-Identifier: MIT
#include "components/number_decoding.h"

#include <algorithm>

namespace vistrel {

std::uint64_t decodeUnsigned(std::span<const std::uint8_t> bytes, ByteOrder order) noexcept {
    const std::size_t n = std::min<std::size_t>(bytes.size(), 8);
    std::uint64_t v = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t k = order == ByteOrder::BigEndian ? i : n - 1 - i;
        v = (v << 8) | bytes[k];
    }
    return v;
}

std::int64_t decodeSigned(std::span<const std::uint8_t> bytes, ByteOrder order) noexcept {
    const std::size_t n = std::min<std::size_t>(bytes.size(), 8);
    const std::uint64_t u = decodeUnsigned(bytes, order);
    if (n == 0 || n == 8) {
        return static_cast<std::int64_t>(u);
    }
    const unsigned bits = static_cast<unsigned>(n * 8);
    const std::uint64_t sign = std::uint64_t{1} << (bits - 1);
    // Sign-extend without relying on implementation-defined shifts.
    return static_cast<std::int64_t>((u ^ sign)) - static_cast<std::int64_t>(sign);
}

} // namespace vistrel
