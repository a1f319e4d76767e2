// SPDX-License-Identifier: MIT
#include "components/error.h"
#include "components/error_numbers.h"
#include "components/protocol.h"
#include "itemlist/vistrel_items.h"
#include "itemlist/vistrel_items_impl.h"
#include "reading/merge_window.h"
#include "reading/pass_link.h"
#include "reading/read_tally.h"

#include <algorithm>

namespace vistrel {

void VistrelItems::read(pugi::xml_node snapShot, const SilenceBegan& silenceBegan) {
    // The host may call back into the control while an item waits for the
    // ECU; holding the protocol and the items here keeps them alive even if
    // such a call replaces or empties them.
    const std::shared_ptr<Protocol> protocol = protocol_;
    if (!protocol) {
        throw Error(ErrorKind::Usage, kListReadError, "VistrelItems.read  : Protocol not defined",
                    "VistrelItems.read");
    }
    const std::vector<ItemPtr> items = items_;
    // Each item keeps its own failure; the list fails only when none of its
    // items could be read, which is how a silent ECU shows itself.
    ReadTally tally;
    tally.abortRequest = &abortRequest_;
    const ReadSettings settings{lengthSize_,
                                mergeWindow_ == kAutoMergeWindow
                                    ? automaticMergeWindow(*protocol)
                                    : static_cast<std::uint32_t>(mergeWindow_),
                                impl_->clock(), impl_->clock};
    PassLink pass(*protocol, impl_->knownSilent, silenceBegan);
    const ListReadEnd end =
        impl_->readers.readerFor(method_, pass).read(items, pass, settings, snapShot, tally);
    pass.finish();
    if (end != ListReadEnd::ItemsCounted) {
        return;
    }
    // A device that went away fails the whole read, whatever the method made
    // of it item by item: the cycle must open the communication again at
    // once (which tells that the device is gone), not show a read.
    const auto gone = std::find_if(items.begin(), items.end(), [](const ItemPtr& item) {
        return link_error::isDeviceGone(item->errorCode());
    });
    if (gone == items.end() && tally.failures < items.size()) {
        return;
    }
    // The cycle opens the communication again, and the ECU may forget what
    // was defined in the session that failed.
    impl_->readers.forget();
    const std::string& last = gone != items.end() ? (*gone)->errorText() : tally.lastFailure;
    throw Error(kListReadError, "Error global : (" + last + ")", "VistrelItems.read");
}

} // namespace vistrel
