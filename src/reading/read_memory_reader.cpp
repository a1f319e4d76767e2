// SPDX-License-Identifier: MIT
#include "reading/read_memory_reader.h"

#include "reading/read_tally.h"

namespace vistrel {

ListReadEnd ReadMemoryReader::read(const ItemPointers& items, Protocol& protocol,
                                   const ReadSettings& settings, pugi::xml_node snapShot,
                                   ReadTally& tally) {
    for (const auto& each : items) {
        if (tally.aborted()) {
            return ListReadEnd::Aborted;
        }
        tally.readByAddress(*each, protocol, settings.lengthSize, snapShot);
    }
    return ListReadEnd::ItemsCounted;
}

} // namespace vistrel
