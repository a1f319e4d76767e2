// SPDX-License-Identifier: MIT
#include "reading/dynamically_defined_reader.h"

#include "components/error.h"
#include "item/vistrel_item.h"
#include "reading/read_tally.h"

namespace vistrel {

ListReadEnd DynamicallyDefinedReader::read(const ItemPointers& items, Protocol& protocol,
                                           const ReadSettings& /*settings*/,
                                           pugi::xml_node snapShot, ReadTally& tally) {
    for (const auto& each : items) {
        if (tally.aborted()) {
            return ListReadEnd::Aborted;
        }
        try {
            each->ReadDynamicallyDefined(protocol, snapShot);
        } catch (const Error& failure) {
            tally.count(failure);
        }
    }
    return ListReadEnd::ItemsCounted;
}

} // namespace vistrel
