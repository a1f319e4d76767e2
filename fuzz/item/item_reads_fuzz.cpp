// SPDX-License-Identifier: MIT
// Both reading methods fed replies of any form, or errors of any number,
// with and without a snapshot.
#include "fuzzed_item.h"
#include "fuzzed_protocol.h"

#include <pugixml.hpp>
#include <sstream>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    vistrel::VistrelItem item = vistrel::fuzzing::fuzzedItem(input);
    const bool byAddress = input.ConsumeBool();
    const std::int32_t lengthSize = input.ConsumeIntegralInRange<std::int32_t>(0, 3);
    pugi::xml_document document;
    pugi::xml_node snapShot;
    if (input.ConsumeBool()) {
        snapShot = document.append_child("snapshot");
    }

    vistrel::fuzzing::FuzzedProtocol protocol(input, 16);
    for (int read = 0; read < 2; ++read) {
        try {
            if (byAddress) {
                item.ReadMemory(protocol, lengthSize, snapShot);
            } else {
                item.ReadDynamicallyDefined(protocol, snapShot);
            }
        } catch (const vistrel::Error& error) {
            // A reported failure is always the item's own error.
            if (error.number() != item.errorCode() || error.description() != item.errorText()) {
                __builtin_trap();
            }
        }
        vistrel::fuzzing::checkOutcome(item);
    }
    if (!snapShot && document.first_child()) {
        __builtin_trap();
    }
    std::ostringstream saved;
    document.save(saved);
    return 0;
}
