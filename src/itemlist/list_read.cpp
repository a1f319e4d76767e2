// SPDX-License-Identifier: MIT
#include "components/error.h"
#include "components/error_numbers.h"
#include "components/protocol.h"
#include "itemlist/merge_window.h"
#include "itemlist/merged_read.h"
#include "itemlist/read_tally.h"
#include "itemlist/vistrel_items.h"
#include "itemlist/vistrel_items_impl.h"

namespace vistrel {

void VistrelItems::read(pugi::xml_node snapShot) {
    // The host may call back into the control while an item waits for the
    // ECU; holding the protocol and the items here keeps them alive even if
    // such a call replaces or empties them.
    const std::shared_ptr<Protocol> protocol = protocol_;
    if (!protocol) {
        throw Error(kListReadError, "VistrelItems.read  : Protocol not defined",
                    "VistrelItems.read");
    }
    const std::vector<ItemPtr> items = items_;
    // Each item keeps its own failure; the list fails only when none of its
    // items could be read, which is how a silent ECU shows itself.
    ReadTally tally;
    tally.abortRequest = &abortRequest_;
    if (!readWith(items, *protocol, snapShot, tally)) {
        return;
    }
    if (tally.failures == items.size()) {
        // The cycle opens the communication again, and the ECU may forget
        // what was defined in the session that failed.
        impl_->packed.forget();
        throw Error(kListReadError, "Error global : (" + tally.lastFailure + ")",
                    "VistrelItems.read");
    }
}

bool VistrelItems::readWith(const std::vector<ItemPtr>& items, Protocol& protocol,
                            pugi::xml_node snapShot, ReadTally& tally) {
    switch (method_) {
    case Method::DynamicallyDefinedPacked:
        return impl_->packed.read(items, protocol, lengthSize_, snapShot, tally);
    case Method::ReadMemoryByAddressMerged:
        return readMerged(items, protocol, lengthSize_,
                          mergeWindow_ == kAutoMergeWindow
                              ? automaticMergeWindow(protocol)
                              : static_cast<std::uint32_t>(mergeWindow_),
                          snapShot, tally);
    default:
        break;
    }
    for (const ItemPtr& each : items) {
        if (tally.aborted()) {
            return false;
        }
        if (method_ == Method::DynamicallyDefined) {
            try {
                each->ReadDynamicallyDefined(protocol, snapShot);
            } catch (const Error& failure) {
                tally.count(failure);
            }
        } else {
            tally.readByAddress(*each, protocol, lengthSize_, snapShot);
        }
    }
    return true;
}

} // namespace vistrel
