// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace vistrel {

// How an item's value bytes form a number: byte order and sign. The numbers
// are those a configuration file and an item line name by their texts.
enum class Coding : std::int32_t {
    LittleEndianSigned = 0,   // "LE+"
    LittleEndianUnsigned = 1, // "LE"
    BigEndianSigned = 2,      // "BE+"
    BigEndianUnsigned = 3,    // "BE"
};
inline constexpr std::array<std::string_view, 4> kCodingNames{"LE+", "LE", "BE+", "BE"};

constexpr bool isBigEndian(Coding coding) noexcept {
    return coding == Coding::BigEndianSigned || coding == Coding::BigEndianUnsigned;
}
constexpr bool isSigned(Coding coding) noexcept {
    return coding == Coding::LittleEndianSigned || coding == Coding::BigEndianSigned;
}

// How an item's number is shown.
enum class Format : std::int32_t {
    Decimal = 0,     // "D"
    Hexadecimal = 1, // "H"
    Binary = 2,      // "B"
    Physical = 3,    // "P": (A * v + B) / C with a unit
};
inline constexpr std::array<std::string_view, 4> kFormatLetters{"D", "H", "B", "P"};

} // namespace vistrel
