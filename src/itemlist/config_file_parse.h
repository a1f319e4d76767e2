// SPDX-License-Identifier: MIT
#pragma once

#include "itemlist/xml_well_formed.h"

#include <optional>
#include <pugixml.hpp>
#include <string>

namespace vistrel {

// Loads the configuration file at path into document, with white space and
// line ends kept as written (a lone CR stays a CR): the text content of any
// element the loader reads is exactly its text in the file. Only a
// well-formed XML 1.0 document loads; a directory is a file that cannot be
// read. nullopt when the document holds the file; otherwise why not, the line
// being 0 when the file could not be read at all.
std::optional<XmlFault> parseConfigFile(pugi::xml_document& document, const std::string& path);

} // namespace vistrel
