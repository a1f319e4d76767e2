// SPDX-License-Identifier: MIT
#pragma once

#include "reading/list_reader.h"

namespace vistrel {

// Reads each item with its own ReadMemoryByAddress.
class ReadMemoryReader : public ListReader {
public:
    ListReadEnd read(const ItemPointers& items, Protocol& protocol, const ReadSettings& settings,
                     pugi::xml_node snapShot, ReadTally& tally) override;
};

} // namespace vistrel
