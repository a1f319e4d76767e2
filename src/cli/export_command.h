// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string>

namespace vistrel::cli {

struct ExportOptions {
    std::string recordingFile;
    // "csv" or "msl".
    std::string format;
    std::string outFile;
    // Which recording of a continued file, from 1.
    std::size_t run = 1;
};

// Writes a recording file as a log viewer's file. Returns the exit code;
// throws UsageError for files that cannot be read or written.
int runExport(const ExportOptions& options);

} // namespace vistrel::cli
