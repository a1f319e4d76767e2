// SPDX-License-Identifier: MIT
#pragma once

#include "components/error.h"
#include "fakes/error_of.h"
#include "item/vistrel_item.h"

#include <optional>
#include <pugixml.hpp>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vistrel::testing {

inline VistrelItem makeItem(std::string_view address, std::int32_t length,
                            std::string_view coding = "LE+", std::string_view format = "D") {
    VistrelItem item;
    item.setAddress(address);
    item.setLength(length);
    item.setCodingText(coding);
    item.setFormatText(format);
    return item;
}

// Gives the item value bytes the way a good batch reply does.
inline void giveValue(VistrelItem& item, std::string_view hex) {
    item.CanXmlDecode("63" + std::string(hex));
}

using Attributes = std::vector<std::pair<std::string, std::string>>;

// The attributes of an element, in document order.
inline Attributes attributesOf(pugi::xml_node element) {
    Attributes out;
    for (const pugi::xml_attribute a : element.attributes()) {
        out.emplace_back(a.name(), a.value());
    }
    return out;
}

} // namespace vistrel::testing
