// SPDX-License-Identifier: MIT
#include "recording/column_radix.h"

#include "itemlist/case_insensitive_key.h"
#include "itemlist/vistrel_items.h"

#include <algorithm>

namespace vistrel {

ListRadixes::ListRadixes(const VistrelItems& items) {
    for (const auto& item : items) {
        byName_.emplace(foldKey(item->name()), radixOfFormat(item->format()));
    }
}

std::optional<ValueRadix> ListRadixes::find(std::string_view name) const {
    const auto found = byName_.find(foldKey(name));
    return found == byName_.end() ? std::nullopt : std::optional(found->second);
}

bool ListRadixes::covers(const RecordingRun& run) const {
    return std::all_of(run.columns.begin(), run.columns.end(),
                       [this](const RecordingColumn& c) { return find(c.name).has_value(); });
}

std::vector<ColumnRadix> columnRadixes(const RecordingRun& run, const ListRadixes* list) {
    std::vector<ColumnRadix> radixes;
    for (std::size_t c = 0; c < run.columns.size(); ++c) {
        if (const auto known = list ? list->find(run.columns[c].name) : std::nullopt) {
            radixes.push_back({*known, true, false});
        } else {
            const RadixGuess guess = guessRadix(run.columnCells(c));
            radixes.push_back({guess.radix, false, guess.ambiguous});
        }
    }
    return radixes;
}

} // namespace vistrel
