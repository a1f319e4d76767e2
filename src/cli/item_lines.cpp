// SPDX-License-Identifier: MIT
#include "cli/item_lines.h"

#include "itemlist/vistrel_items.h"

#include <bit>
#include <cstdint>

namespace vistrel::cli {
namespace {

// Coefficients compare bit for bit: the line must give back this very
// double, and a negative zero is not a zero here.
bool sameNumber(double a, double b) {
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

} // namespace

std::string methodLine(const VistrelItems& items) {
    // A method line needs a third field; it is left empty.
    return "Methode\t" + items.Methode() + "\t";
}

std::optional<std::string_view> firstDifference(const VistrelItem& a, const VistrelItem& b) {
    if (a.address() != b.address()) {
        return "address";
    }
    if (a.length() != b.length()) {
        return "length";
    }
    if (a.coding() != b.coding()) {
        return "coding";
    }
    if (a.name() != b.name()) {
        return "name";
    }
    if (a.unit() != b.unit()) {
        return "unit";
    }
    if (!sameNumber(a.coefA(), b.coefA())) {
        return "A";
    }
    if (!sameNumber(a.coefB(), b.coefB())) {
        return "B";
    }
    if (!sameNumber(a.coefC(), b.coefC())) {
        return "C";
    }
    if (a.format() != b.format()) {
        return "format";
    }
    if (a.mask() != b.mask()) {
        return "mask";
    }
    return std::nullopt;
}

} // namespace vistrel::cli
