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

void fillReadResult(ReadResult& result, const VistrelItems& list, std::uint32_t time) {
    result.time = time;
    result.items.resize(static_cast<std::size_t>(list.count()));
    auto reading = result.items.begin();
    for (const auto& item : list) {
        reading->bytes = item->valueByte();
        reading->number = item->number();
        reading->text = item->text();
        reading->errorCode = item->errorCode();
        reading->errorText = item->errorText();
        ++reading;
    }
}

} // namespace vistrel
