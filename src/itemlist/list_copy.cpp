// SPDX-License-Identifier: MIT
#include "itemlist/vistrel_items.h"

namespace vistrel {

std::unique_ptr<VistrelItems> VistrelItems::copy() const {
    auto list = std::make_unique<VistrelItems>(*numberFormat_);
    // The copy's items share the copy's number format, as a loaded list's do.
    for (const auto& item : items_) {
        auto duplicate = std::make_shared<VistrelItem>(*item);
        duplicate->numberFormat_ = list->numberFormat_;
        list->appendWithKey(duplicate, duplicate->name());
    }
    list->method_ = method_;
    list->lengthSize_ = lengthSize_;
    list->mergeWindow_ = mergeWindow_;
    list->startSession_ = startSession_;
    return list;
}

} // namespace vistrel
