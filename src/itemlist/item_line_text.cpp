// SPDX-License-Identifier: MIT
#include "itemlist/item_line_text.h"

#include "item/vistrel_item.h"

#include <iterator>

namespace vistrel {

ItemLineFields lineFieldsOf(const VistrelItem& item) {
    return {item.address(), item.length(), item.codingText(), item.name(),       item.unit(),
            item.coefA(),   item.coefB(),  item.coefC(),      item.formatText(), item.mask()};
}

std::string itemLine(const ItemLineFields& item, const NumberFormat& format) {
    const std::string fields[] = {item.address,
                                  std::to_string(item.length),
                                  item.coding,
                                  item.name,
                                  item.unit,
                                  formatShortest(item.coefA, format),
                                  formatShortest(item.coefB, format),
                                  formatShortest(item.coefC, format),
                                  item.format,
                                  "1",
                                  item.mask};
    std::string line = fields[0];
    for (std::size_t i = 1; i < std::size(fields); ++i) {
        line += '\t';
        line += fields[i];
    }
    return line;
}

std::string itemLine(const VistrelItem& item, const NumberFormat& format) {
    return itemLine(lineFieldsOf(item), format);
}

} // namespace vistrel
