// SPDX-License-Identifier: MIT
#include "engine/read_result.h"

#include "itemlist/vistrel_items.h"

namespace vistrel {

std::vector<std::optional<double>> ReadResult::numbers() const {
    std::vector<std::optional<double>> all;
    all.reserve(items.size());
    for (const auto& item : items) {
        all.push_back(item.number);
    }
    return all;
}

ReadResult readResultOf(const VistrelItems& list, std::uint32_t time) {
    ReadResult result;
    result.time = time;
    result.items.reserve(static_cast<std::size_t>(list.count()));
    for (const auto& item : list) {
        result.items.push_back(ItemReading{item->valueByte(), item->number(), item->text(),
                                           item->errorCode(), item->errorText()});
    }
    return result;
}

} // namespace vistrel
