// SPDX-License-Identifier: MIT
#include "itemlist/vistrel_items.h"
#include "itemlist/vistrel_items_impl.h"

#include <unordered_map>

namespace vistrel {

std::unique_ptr<VistrelItems> VistrelItems::copy() const {
    auto list = std::make_unique<VistrelItems>(*numberFormat_);
    // Every item is copied, whatever its name: a loaded file may hold two of
    // the same name, and each is read and shown. The names reach the same
    // items as in this list.
    std::unordered_map<const VistrelItem*, VistrelItem*> copied;
    for (const auto& item : items_) {
        auto duplicate = std::make_shared<VistrelItem>(*item);
        // The copy's items share the copy's number format, as a loaded
        // list's do.
        duplicate->numberFormat_ = list->numberFormat_;
        copied.emplace(item.get(), duplicate.get());
        list->items_.push_back(std::move(duplicate));
    }
    for (const auto& [key, item] : impl_->keys) {
        list->impl_->keys.emplace(key, copied.at(item));
    }
    list->method_ = method_;
    list->lengthSize_ = lengthSize_;
    list->mergeWindow_ = mergeWindow_;
    list->startSession_ = startSession_;
    return list;
}

} // namespace vistrel
