// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <span>

namespace vistrel {

enum class ByteOrder { LittleEndian, BigEndian };

// The bytes (at most 8) as an unsigned number.
std::uint64_t decodeUnsigned(std::span<const std::uint8_t> bytes, ByteOrder order) noexcept;

// The bytes (at most 8) as a two's complement number over bytes.size() * 8 bits.
std::int64_t decodeSigned(std::span<const std::uint8_t> bytes, ByteOrder order) noexcept;

} // namespace vistrel
