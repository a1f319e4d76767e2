// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <optional>
#include <ostream>
#include <string>

namespace vistrel::cli {

struct ExportOptions {
    std::string recordingFile;
    // "csv" or "msl".
    std::string format;
    std::string outFile;
    // Which recording of a continued file, from 1.
    std::size_t run = 1;
    // The item list the recording was made with, as item lines or as a
    // configuration file: it says which columns hold hexadecimal or binary
    // digits, which the values alone cannot always tell.
    std::optional<std::string> itemsFile;
    std::optional<std::string> configFile;
};

// Writes a recording file as a log viewer's file. Columns whose radix was
// guessed as hexadecimal or binary, or could be either, are named on err.
// Returns the exit code; throws UsageError for files that cannot be read or
// written.
int runExport(const ExportOptions& options, std::ostream& err);

} // namespace vistrel::cli
