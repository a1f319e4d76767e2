// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace vistrel::cli {

// The whole content of a file as bytes. Throws UsageError naming the file and
// the system's reason.
std::string readTextFile(const std::string& path);
// Replaces the file's content. Throws UsageError naming the file and the
// system's reason.
void writeTextFile(const std::string& path, std::string_view text);

} // namespace vistrel::cli
