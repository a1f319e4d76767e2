// SPDX-License-Identifier: MIT
#include "reading/list_readers.h"

#include "components/protocol.h"

namespace vistrel {

ListReader& ListReaders::readerFor(Method method, Protocol& protocol) {
    const bool uds = protocol.family() == DiagnosticFamily::Uds;
    switch (method) {
    case Method::DynamicallyDefined:
        return uds ? static_cast<ListReader&>(udsDynamicallyDefined_) : dynamicallyDefined_;
    case Method::DynamicallyDefinedPacked:
        return uds ? static_cast<ListReader&>(udsPacked_) : packed_;
    case Method::ReadDataByPeriodicIdentifier:
        // Refuses, with the reason, a link that cannot carry it.
        return periodic_;
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
    udsPacked_.forget();
    periodic_.forget();
}

void ListReaders::newLink() noexcept {
    forget();
    udsPacked_.newLink();
}

void ListReaders::release(Protocol& protocol) noexcept {
    periodic_.release(protocol);
}

} // namespace vistrel
