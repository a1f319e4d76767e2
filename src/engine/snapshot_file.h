// SPDX-License-Identifier: MIT
#pragma once

#include <memory>
#include <pugixml.hpp>
#include <string>

namespace vistrel {

// Name of the snapshot file in the current directory.
inline constexpr const char* kSnapshotFileName = "snapshotvistrel.xml";

// A new snapshot document: the declaration (windows-1252) and the empty root
// element "snapshot", under which the items append the records of one read.
std::unique_ptr<pugi::xml_document> makeSnapshotDocument();

// Writes the document to path in windows-1252, replacing any file there.
// Characters that the code page lacks are written as character references.
// Throws Error when the file cannot be written.
void saveSnapshot(const pugi::xml_document& document, const std::string& path);

} // namespace vistrel
