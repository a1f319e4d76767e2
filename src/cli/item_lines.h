// SPDX-License-Identifier: MIT
#pragma once

#include "components/number_format.h"

#include <optional>
#include <string>
#include <string_view>

namespace vistrel {
class VistrelItem;
class VistrelItems;
} // namespace vistrel

namespace vistrel::cli {

// A number in the user's format that parseUserNumber reads back as the very
// same double: the shortest exact digits, the user's decimal separator, no
// grouping.
std::string exactNumberText(double value, const NumberFormat& format);

// The item line that addLine turns back into this item: the 11 fields with
// the selection flag "1" and the mask.
std::string itemLine(const VistrelItem& item, const NumberFormat& format);
// The method line that sets the list's reading method.
std::string methodLine(const VistrelItems& items);

// The name of the first property in which the two items' definitions
// differ; nullopt when they are the same item.
std::optional<std::string_view> firstDifference(const VistrelItem& a, const VistrelItem& b);

} // namespace vistrel::cli
