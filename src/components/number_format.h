// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vistrel {

// The user's regional number format: how numbers that the user types or
// pastes are read, and how physical values are shown. Files that must read
// the same everywhere (configuration, recording time column) never use it.
struct NumberFormat {
    std::string decimalSeparator = ".";
    std::string groupingSeparator = ",";

    // Read once from the process locale (LC_NUMERIC of the environment);
    // falls back to the invariant format when the locale is unknown.
    static NumberFormat fromProcessLocale();
    // The format of a named locale ("fr_FR.UTF-8"); nullopt when the system
    // does not have it.
    static std::optional<NumberFormat> fromLocale(const std::string& name);
    static NumberFormat invariant() { return {}; }
};

// A number as a user types it: blanks around it, an optional sign, digits
// with optional grouping separators, the decimal separator, an optional
// exponent. nullopt when the whole text is not such a number.
std::optional<double> parseUserNumber(std::string_view text, const NumberFormat& format);

// The general format of a double: at most 15 significant digits, no
// trailing zeros, no grouping, the user's decimal separator, exponent form
// ("1E+20", "1E-05") for very large or small magnitudes. A zero is "0",
// whatever its sign bit.
std::string formatGeneral(double value, const NumberFormat& format);

// The shortest text that reads back as the same double, with a full stop and
// an upper-case exponent: the locale-proof form stored in files.
std::string formatRoundTrip(double value);

// The shortest text that reads back as the same number, in the user's
// decimal separator: how a float that the ECU keeps is shown, single
// precision giving fewer digits than double.
std::string formatShortest(float value, const NumberFormat& format);
std::string formatShortest(double value, const NumberFormat& format);

} // namespace vistrel
