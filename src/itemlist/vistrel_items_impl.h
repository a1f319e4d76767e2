// SPDX-License-Identifier: MIT
#pragma once

#include "itemlist/vistrel_items.h"
#include "reading/list_readers.h"

#include <set>
#include <string>
#include <unordered_map>

namespace vistrel {

// State of the list that its header need not show.
struct VistrelItems::Impl {
    // Folded key (see foldKey) -> the item appended under it.
    std::unordered_map<std::string, VistrelItem*> keys;
    // One reader per method; what they told the ECU lasts one communication.
    ListReaders readers;
    SteadyClock clock = std::chrono::steady_clock::now;
    // The requests that went unanswered in the last pass while the ECU
    // answered others.
    std::set<std::string> knownSilent;
};

} // namespace vistrel
