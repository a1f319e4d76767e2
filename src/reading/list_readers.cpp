// SPDX-License-Identifier: MIT
#include "reading/list_readers.h"

#include "components/protocol.h"

namespace vistrel {

ListReader& ListReaders::readerFor(Method method, Protocol& protocol) {
    switch (method) {
    case Method::DynamicallyDefined:
        return dynamicallyDefined_;
    case Method::DynamicallyDefinedPacked:
        return packed_;
    case Method::ReadMemoryByAddressMerged:
        return merged_;
    case Method::ReadMemoryByAddress:
        break;
    }
    if (protocol.batch() != nullptr) {
        return batch_;
    }
    return byAddress_;
}

void ListReaders::forget() noexcept {
    packed_.forget();
    batch_.forget();
}

} // namespace vistrel
