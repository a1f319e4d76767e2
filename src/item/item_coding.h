// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace vistrel {

// How an item's value bytes form a number: byte order and sign, or an
// IEEE-754 float of the item's length. The numbers are those a configuration
// file and an item line name by their texts.
enum class Coding : std::int32_t {
    LittleEndianSigned = 0,   // "LE+"
    LittleEndianUnsigned = 1, // "LE"
    BigEndianSigned = 2,      // "BE+"
    BigEndianUnsigned = 3,    // "BE"
    BigEndianFloat = 4,       // "BEF": 4 bytes single, 8 bytes double precision
    LittleEndianFloat = 5,    // "LEF"
};
inline constexpr std::array<std::string_view, 6> kCodingNames{"LE+", "LE",  "BE+",
                                                              "BE",  "BEF", "LEF"};

constexpr bool isBigEndian(Coding coding) noexcept {
    return coding == Coding::BigEndianSigned || coding == Coding::BigEndianUnsigned ||
           coding == Coding::BigEndianFloat;
}
constexpr bool isFloat(Coding coding) noexcept {
    return coding == Coding::BigEndianFloat || coding == Coding::LittleEndianFloat;
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
