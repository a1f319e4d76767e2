// SPDX-License-Identifier: MIT
#pragma once

#include <ostream>
#include <string>

namespace vistrel::cli {

// Converts a file of item lines (.tsv, .txt) into a configuration file
// (.xml) or back, as the files' extensions say. Returns the exit code;
// throws UsageError for files that cannot be used.
int runConvert(const std::string& inPath, const std::string& outPath, std::ostream& err);

} // namespace vistrel::cli
