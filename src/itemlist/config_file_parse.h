#pragma once

#include <pugixml.hpp>
#include <string>

namespace vistrel {

// Loads the configuration file at path into document, with white space and
// line ends kept as written (a lone CR stays a CR): the text content of any
// element the loader reads is exactly its text in the file. A directory is a
// file that cannot be read. The result, on failure too, is the one that
// pugixml gives for the whole file with those rules.
pugi::xml_parse_result parseConfigFile(pugi::xml_document& document, const std::string& path);

} // namespace vistrel
