#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vistrel {

// Error number of a file that cannot be written.
inline constexpr std::int32_t kFileWriteError = 75;

// Makes the file at path hold exactly contents, all or nothing: the bytes go
// to a temporary file beside it, which replaces the target only once it is
// complete and on disk. The target keeps its permissions. Throws Error
// kFileWriteError when that fails; the earlier file is then untouched and no
// temporary file is left.
void replaceFileContents(const std::string& path, std::string_view contents);

} // namespace vistrel
