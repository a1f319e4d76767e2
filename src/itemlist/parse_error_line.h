#pragma once

#include <cstddef>
#include <pugixml.hpp>
#include <string_view>

namespace vistrel {

// The line (from 1) of the file that holds the place where the parser
// stopped. The parser reports that place as an offset into its own UTF-8
// copy of the file; for a file in another encoding the offset is walked back
// through the file's own characters. A CR LF pair or a lone CR or LF ends a
// line.
std::size_t lineOfParseError(std::string_view file, pugi::xml_encoding encoding,
                             std::ptrdiff_t offset);

} // namespace vistrel
