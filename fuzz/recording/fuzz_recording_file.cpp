// SPDX-License-Identifier: MIT
// Arbitrary bytes as a recording file. Either the reader names the line it
// refuses, or every run it returns is whole (one value per column on every
// line) and exports without fault.
#include "components/error.h"
#include "recording/recording_export.h"

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    try {
        for (const auto& run : vistrel::parseRecording(bytes)) {
            if (run.cells.size() != run.lineCount() * run.columns.size()) {
                __builtin_trap();
            }
            const auto radixes = vistrel::columnRadixes(run, nullptr);
            std::ostringstream csv;
            vistrel::writeExport(run, radixes, vistrel::ExportFormat::Csv, csv);
            std::ostringstream msl;
            vistrel::writeExport(run, radixes, vistrel::ExportFormat::Msl, msl);
        }
    } catch (const vistrel::Error& error) {
        if (error.description().find("Not a recording file") == std::string::npos) {
            __builtin_trap();
        }
    }
    return 0;
}
