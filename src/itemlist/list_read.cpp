#include "components/error.h"
#include "components/error_numbers.h"
#include "components/protocol.h"
#include "itemlist/abort_request.h"
#include "itemlist/vistrel_items.h"

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
    std::size_t failures = 0;
    std::string lastFailure;
    for (const ItemPtr& each : items) {
        if (AbortRequest.load()) {
            return;
        }
        try {
            if (method_ == Method::DynamicallyDefined) {
                each->ReadDynamicallyDefined(*protocol, snapShot);
            } else {
                each->ReadMemory(*protocol, lengthSize_, snapShot);
            }
        } catch (const Error& failure) {
            lastFailure = failure.description();
            ++failures;
        }
    }
    if (failures == items.size()) {
        throw Error(kListReadError, "Error global : (" + lastFailure + ")", "VistrelItems.read");
    }
}

} // namespace vistrel
