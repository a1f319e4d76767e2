// SPDX-License-Identifier: MIT
#include "itemlist/vistrel_items.h"

#include "itemlist/case_insensitive_key.h"
#include "itemlist/vistrel_items_impl.h"

namespace vistrel {

VistrelItems::VistrelItems(NumberFormat numberFormat)
    : numberFormat_(std::make_shared<const NumberFormat>(std::move(numberFormat))),
      impl_(std::make_unique<Impl>()) {}

VistrelItems::~VistrelItems() = default;

void VistrelItems::setLengthSize(std::int32_t size) noexcept {
    lengthSize_ = size == 2 ? 2 : 1;
}

std::string VistrelItems::MethodeLabel(std::int32_t i) {
    switch (i) {
    case 0:
        return "ReadMemoryByAddress";
    case 1:
        return "DynamicallyDefined";
    case 2:
        return "DynamicallyDefinedPacked";
    case 3:
        return "ReadMemoryByAddressMerged";
    case 4:
        return "ReadDataByPeriodicIdentifier";
    default:
        return "";
    }
}

Method VistrelItems::methodOfLabel(std::string_view label) {
    for (std::int32_t i = 0;; ++i) {
        const std::string known = MethodeLabel(i);
        if (known.empty()) {
            return Method::ReadMemoryByAddress;
        }
        if (known == label) {
            return static_cast<Method>(i);
        }
    }
}

void VistrelItems::setMergeWindow(std::int32_t bytes) noexcept {
    mergeWindow_ = bytes >= 1 && bytes <= 255 ? bytes : kDefaultMergeWindow;
}

void VistrelItems::setProtocol(std::shared_ptr<Protocol> protocol) {
    protocol_ = std::move(protocol);
    impl_->readers.newLink();
    impl_->knownSilent.clear();
}

void VistrelItems::releaseReading() noexcept {
    if (protocol_) {
        impl_->readers.release(*protocol_);
    }
}

void VistrelItems::setClock(SteadyClock clock) {
    impl_->clock = std::move(clock);
}

VistrelItems::ItemPtr VistrelItems::newItem() const {
    return std::make_shared<VistrelItem>(numberFormat_);
}

VistrelItem& VistrelItems::add(std::string_view address) {
    ItemPtr created = newItem();
    created->setAddress(address);
    items_.push_back(created);
    return *created;
}

bool VistrelItems::appendWithKey(const ItemPtr& item, std::string_view key) {
    // Items without a name stay reachable by position only: refusing every
    // unnamed item after the first would silently drop rows of a paste.
    if (!key.empty() && !impl_->keys.try_emplace(foldKey(key), item.get()).second) {
        return false;
    }
    items_.push_back(item);
    return true;
}

void VistrelItems::clear() {
    impl_->keys.clear();
    items_.clear();
}

VistrelItem* VistrelItems::item(std::string_view name) const {
    const auto found = impl_->keys.find(foldKey(name));
    return found == impl_->keys.end() ? nullptr : found->second;
}

} // namespace vistrel
