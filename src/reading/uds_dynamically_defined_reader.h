// SPDX-License-Identifier: MIT
#pragma once

#include "reading/list_reader.h"

namespace vistrel {

// UDS: reads each item through a dynamically defined identifier of its own,
// F200 upward, cleared and defined again before every read (a definition
// appends to what the identifier holds), then read with 22. A refusal stays
// in its item; a failed exchange counts as the item's failure.
class UdsDynamicallyDefinedReader : public ListReader {
public:
    ListReadEnd read(const ItemPointers& items, Protocol& protocol, const ReadSettings& settings,
                     pugi::xml_node snapShot, ReadTally& tally) override;
};

} // namespace vistrel
