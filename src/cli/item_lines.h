// SPDX-License-Identifier: MIT
#pragma once

#include "itemlist/item_line_text.h"

#include <optional>
#include <string>
#include <string_view>

namespace vistrel {
class VistrelItem;
class VistrelItems;
} // namespace vistrel

namespace vistrel::cli {

// The method line that sets the list's reading method.
std::string methodLine(const VistrelItems& items);

// The name of the first property in which the two items' definitions
// differ; nullopt when they are the same item.
std::optional<std::string_view> firstDifference(const VistrelItem& a, const VistrelItem& b);

} // namespace vistrel::cli
