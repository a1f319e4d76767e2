// SPDX-License-Identifier: MIT
#include "cli/export_command.h"

#include "cli/exit_status.h"
#include "cli/file_text.h"
#include "components/error.h"
#include "control/clipboard_lines.h"
#include "control/text_decoding.h"
#include "itemlist/vistrel_items.h"
#include "recording/recording_export.h"

#include <filesystem>
#include <fstream>

namespace vistrel::cli {
namespace {

// The list from item lines, as Paste builds it; a line that makes no item
// is named and skipped, since the other lines still tell their columns.
void addItemLines(VistrelItems& items, const std::string& path, std::ostream& err) {
    const std::string text = decodeUserText(readTextFile(path));
    const auto lines = pastedLines(text);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        try {
            items.addLine(lines[i]);
        } catch (const Error& e) {
            err << path << ":" << i + 1 << ": " << e.description() << "; line skipped\n";
        }
    }
}

std::optional<ListRadixes> listRadixes(const ExportOptions& options, std::ostream& err) {
    VistrelItems items;
    if (options.itemsFile) {
        addItemLines(items, *options.itemsFile, err);
    } else if (options.configFile) {
        if (!std::filesystem::is_regular_file(*options.configFile)) {
            throw UsageError(*options.configFile + ": no such configuration file");
        }
        try {
            items.loadConfigXML(*options.configFile);
        } catch (const Error& e) {
            throw UsageError(*options.configFile + ": " + e.description());
        }
    } else {
        return std::nullopt;
    }
    return ListRadixes(items);
}

// Names every column whose radix is a guess that matters: read as
// hexadecimal or binary digits, or read as decimal where hexadecimal digits
// would look the same.
void noteGuesses(const RecordingRun& run, const std::vector<ColumnRadix>& radixes, bool withList,
                 std::ostream& err) {
    const std::string why = withList ? "not in the list" : "give --items to be sure";
    for (std::size_t c = 0; c < radixes.size(); ++c) {
        const ColumnRadix& r = radixes[c];
        const std::string column = "column \"" + run.columns[c].name + "\" read as ";
        if (r.fromList) {
            continue;
        }
        if (r.radix == ValueRadix::Hexadecimal || r.radix == ValueRadix::Binary) {
            err << column << (r.radix == ValueRadix::Binary ? "binary" : "hexadecimal")
                << " (guessed; " << why << ")\n";
        } else if (r.ambiguous) {
            err << column << "decimal, though its digits could be hexadecimal (ambiguous; " << why
                << ")\n";
        }
    }
}

} // namespace

int runExport(const ExportOptions& options, std::ostream& err) {
    const auto format = exportFormatNamed(options.format);
    if (!format) {
        throw UsageError("--to takes csv or msl, not " + options.format);
    }
    try {
        const auto list = listRadixes(options, err);
        const auto runs = readRecordingFile(options.recordingFile);
        const RecordingRun& run = recordingRun(runs, options.run);
        const std::vector<ColumnRadix> radixes = columnRadixes(run, list ? &*list : nullptr);
        noteGuesses(run, radixes, list.has_value(), err);
        std::ofstream out(options.outFile, std::ios::binary | std::ios::trunc);
        writeExport(run, radixes, *format, out);
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
