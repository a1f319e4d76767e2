// SPDX-License-Identifier: MIT
#pragma once

#include "reading/list_reader.h"

namespace vistrel {

// Reads the items in groups of neighbours: the items whose bytes lie within
// one merge window (and within one reply of the link) share one
// ReadMemoryByAddress, and each takes its own bytes of the reply. A group
// whose read fails is read again item by item, so that each item shows its
// own outcome.
class MergedReader : public ListReader {
public:
    ListReadEnd read(const ItemPointers& items, Protocol& protocol, const ReadSettings& settings,
                     pugi::xml_node snapShot, ReadTally& tally) override;
};

} // namespace vistrel
