// SPDX-License-Identifier: MIT
#include "item/snapshot_record.h"

#include <string>

namespace vistrel {

SnapshotRecord::SnapshotRecord(pugi::xml_node snapShot)
    : element_(snapShot ? snapShot.append_child("data") : pugi::xml_node()) {}

void SnapshotRecord::set(const char* attribute, std::string_view text) {
    if (element_) {
        element_.append_attribute(attribute).set_value(std::string(text).c_str());
    }
}

void SnapshotRecord::setHex(const char* attribute, const ByteString& bytes) {
    if (element_) {
        element_.append_attribute(attribute).set_value(bytes.text().c_str());
    }
}

} // namespace vistrel
