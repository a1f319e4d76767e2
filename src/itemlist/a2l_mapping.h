// SPDX-License-Identifier: MIT
#pragma once

#include "itemlist/a2l_description.h"
#include "itemlist/item_line_text.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vistrel {

// Where a description's addresses land in the ECU's memory as the reads
// address it: ECU_ADDRESS plus the offset, written in addressBytes bytes.
struct A2lAddressing {
    long long offset = 0;
    int addressBytes = 3;
};

// An address offset as the user writes it: [-]HEX, at most 32 bits, "" for
// none; nullopt for any other text.
std::optional<long long> parseAddressOffset(std::string_view text);

// The item that one measurement becomes, or the reason it cannot become one.
struct A2lMapping {
    std::optional<ItemLineFields> item;
    std::string reason; // why no item
    std::string note;   // what the item does not show as the description means
};

A2lMapping mapMeasurement(const A2lMeasurement& measurement, const A2lDescription& description,
                          const A2lAddressing& addressing);

// The length and coding that a datatype gives ("UWORD" -> 2 bytes, unsigned),
// for display; nullopt for an unknown datatype.
struct A2lDatatype {
    int length;
    bool isSigned;
    bool isFloat;
};
std::optional<A2lDatatype> a2lDatatype(const std::string& name);

struct A2lRemark {
    std::string name;
    std::string text;
};

// The items of the chosen measurements in file order, each name once
// (letter case ignored), with what was left out and why.
struct A2lImport {
    std::vector<ItemLineFields> items;
    std::vector<A2lRemark> leftOut;
    std::vector<A2lRemark> notes;
    std::size_t measurementCount = 0; // every MEASUREMENT of the description
};

A2lImport importMeasurements(const A2lDescription& description, const A2lAddressing& addressing,
                             const std::function<bool(const A2lMeasurement&)>& chosen);

// "imported N of M measurements", then one line per measurement left out
// and one per note, each "NAME: text".
std::string importSummary(const A2lImport& import);

} // namespace vistrel
