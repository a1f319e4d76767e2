// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace vistrel::cli {

struct ImportOptions {
    std::string a2lFile;
    std::string outFile; // .xml: a configuration file; .tsv or .txt: item lines
    std::vector<std::string> measurements;
    std::optional<std::string> match; // ECMAScript regular expression on the name
    std::string addressOffset;        // [-]HEX, "" for none
    int addressBytes = 3;
};

// Writes one item per chosen measurement of a measurement description and
// tells on err what was imported and what was left out. Returns kExitSuccess
// when an item was written, kExitReadFailed when none could be; throws
// UsageError for bad options, a file that cannot be read or written, and a
// syntax error ("FILE:LINE: reason").
int runImport(const ImportOptions& options, std::ostream& err);

} // namespace vistrel::cli
