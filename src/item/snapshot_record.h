// SPDX-License-Identifier: MIT
#pragma once

#include "components/byte_string.h"

#include <pugixml.hpp>
#include <string_view>

namespace vistrel {

// The "data" record that one item read appends to a snapshot. Built on a
// null node it is inactive: every setter does nothing and no text is
// formatted, so a read without a snapshot pays nothing for it.
class SnapshotRecord {
public:
    explicit SnapshotRecord(pugi::xml_node snapShot);

    explicit operator bool() const noexcept { return static_cast<bool>(element_); }

    // Attributes appear in the order in which they are set.
    void set(const char* attribute, std::string_view text);
    void setHex(const char* attribute, const ByteString& bytes);

private:
    pugi::xml_node element_;
};

} // namespace vistrel
