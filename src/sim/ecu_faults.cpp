// SPDX-License-Identifier: MIT
#include "sim/ecu_faults.h"

namespace vistrel {

const RefusedRange* EcuFaults::refusal(std::uint8_t service,
                                       const AddressRange& request) const noexcept {
    for (const RefusedRange& entry : refused) {
        if (entry.service == service && entry.range.touches(request.address, request.length)) {
            return &entry;
        }
    }
    return nullptr;
}

bool EcuFaults::silences(const AddressRange& request) const noexcept {
    for (const AddressRange& range : silent) {
        if (range.touches(request.address, request.length)) {
            return true;
        }
    }
    return false;
}

} // namespace vistrel
