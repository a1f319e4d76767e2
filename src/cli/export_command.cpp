// SPDX-License-Identifier: MIT
#include "cli/export_command.h"

#include "cli/exit_status.h"
#include "components/error.h"
#include "recording/recording_export.h"

#include <fstream>

namespace vistrel::cli {

int runExport(const ExportOptions& options) {
    const auto format = exportFormatNamed(options.format);
    if (!format) {
        throw UsageError("--to takes csv or msl, not " + options.format);
    }
    try {
        const auto runs = readRecordingFile(options.recordingFile);
        const RecordingRun& run = recordingRun(runs, options.run);
        std::ofstream out(options.outFile, std::ios::binary | std::ios::trunc);
        writeExport(run, *format, out);
        out.close();
        if (!out) {
            throw UsageError("cannot write " + options.outFile);
        }
    } catch (const Error& e) {
        throw UsageError(options.recordingFile + ": " + e.description());
    }
    return kExitSuccess;
}

} // namespace vistrel::cli
