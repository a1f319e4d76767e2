#pragma once

#include <optional>
#include <pugixml.hpp>
#include <string>

namespace vistrel {

// Why a configuration file did not load: the parser's error number, the line
// of the fault in the file (0 when the file could not be read at all) and the
// parser's reason.
struct ConfigLoadFault {
    int code = 0;
    int line = 0;
    std::string reason;
};

// Loads the configuration file at path into document, with white space and
// line ends kept as written (a lone CR stays a CR): the text content of any
// element the loader reads is exactly its text in the file. Only a
// well-formed XML 1.0 document loads; a directory is a file that cannot be
// read. nullopt when the document holds the file.
std::optional<ConfigLoadFault> parseConfigFile(pugi::xml_document& document,
                                               const std::string& path);

} // namespace vistrel
