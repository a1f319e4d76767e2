// SPDX-License-Identifier: MIT
#pragma once

#include "reading/list_reader.h"

namespace vistrel {

// Reads each item through a dynamically defined identifier of its own,
// defined again before every read.
class DynamicallyDefinedReader : public ListReader {
public:
    ListReadEnd read(const ItemPointers& items, Protocol& protocol, const ReadSettings& settings,
                     pugi::xml_node snapShot, ReadTally& tally) override;
};

} // namespace vistrel
