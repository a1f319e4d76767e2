// SPDX-License-Identifier: MIT
#pragma once

#include "itemlist/packed_identifiers.h"
#include "itemlist/vistrel_items.h"

#include <string>
#include <unordered_map>

namespace vistrel {

// State of the list that its header need not show.
struct VistrelItems::Impl {
    // Folded key (see foldKey) -> the item appended under it.
    std::unordered_map<std::string, VistrelItem*> keys;
    // The identifiers of the packed method, defined once per communication.
    PackedIdentifiers packed;
};

} // namespace vistrel
