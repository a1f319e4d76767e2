// SPDX-License-Identifier: MIT
#include "cli/item_lines.h"

#include "itemlist/vistrel_items.h"

#include <bit>
#include <cstdint>
#include <iterator>

namespace vistrel::cli {
namespace {

// Coefficients compare bit for bit: the line must give back this very
// double, and a negative zero is not a zero here.
bool sameNumber(double a, double b) {
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

} // namespace

std::string exactNumberText(double value, const NumberFormat& format) {
    std::string text = formatRoundTrip(value);
    const auto point = text.find('.');
    if (point != std::string::npos) {
        text.replace(point, 1, format.decimalSeparator);
    }
    return text;
}

std::string itemLine(const VistrelItem& item, const NumberFormat& format) {
    const std::string fields[] = {item.address(),
                                  std::to_string(item.length()),
                                  item.codingText(),
                                  item.name(),
                                  item.unit(),
                                  exactNumberText(item.coefA(), format),
                                  exactNumberText(item.coefB(), format),
                                  exactNumberText(item.coefC(), format),
                                  item.formatText(),
                                  "1",
                                  item.mask()};
    std::string line = fields[0];
    for (std::size_t i = 1; i < std::size(fields); ++i) {
        line += '\t';
        line += fields[i];
    }
    return line;
}

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
