// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vistrel {

class VistrelItem;
enum class Format : std::int32_t;

// How the digits of a value text are read: the grid and the recording show
// decimal and physical values in decimal (with the user's decimal
// separator), formats H and B as hexadecimal and binary digits.
enum class ValueRadix { Decimal, Hexadecimal, Binary };

// How the display format writes an item's value.
ValueRadix radixOfFormat(Format format);

// The number a value text stands for; nullopt for an error text (or any
// other text that is no value of the radix). A decimal value takes a full
// stop or a comma as its separator, since the user's locale wrote it.
std::optional<double> valueOfText(std::string_view text, ValueRadix radix);

// The item's value as a number: its physical value, its decimal value, or
// the number its hexadecimal or binary digits stand for; nullopt after a
// failed read.
std::optional<double> valueOfItem(const VistrelItem& item);

struct RadixGuess {
    ValueRadix radix = ValueRadix::Decimal;
    // Read as decimal, but every value is digits only in whole bytes
    // without a leading zero ("1234", "8000"): hexadecimal bytes that
    // happen to hold no letter look just the same.
    bool ambiguous = false;
};

// A recording does not say how its columns were shown: binary digits in
// whole bytes, or hexadecimal bytes with a letter or a leading zero
// somewhere, tell those formats apart from decimal numbers. Error texts are
// left out of the judgement.
RadixGuess guessRadix(const std::vector<std::string_view>& cells);

// A value text as a locale-proof number for other programs: a full stop as
// separator, hexadecimal and binary values in decimal; "" for an error text.
std::string portableValueText(std::string_view text, ValueRadix radix);

} // namespace vistrel
