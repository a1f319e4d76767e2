// SPDX-License-Identifier: MIT
#pragma once

#include "components/number_format.h"

#include <cstdint>
#include <string>

namespace vistrel {

class VistrelItem;

// The definition of one item as an item line carries it.
struct ItemLineFields {
    std::string address;
    std::int32_t length = 0;
    std::string coding;
    std::string name;
    std::string unit;
    double coefA = 1.0;
    double coefB = 0.0;
    double coefC = 1.0;
    std::string format;
    std::string mask; // "" keeps the mask that the length gives
};

ItemLineFields lineFieldsOf(const VistrelItem& item);

// The item line that addLine turns back into this definition: the 11 fields
// with the selection flag "1" and the mask; numbers in the user's format as
// the shortest text that reads back as the very same double.
std::string itemLine(const ItemLineFields& fields, const NumberFormat& format);
std::string itemLine(const VistrelItem& item, const NumberFormat& format);

} // namespace vistrel
