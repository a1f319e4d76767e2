// SPDX-License-Identifier: MIT
// A recording made by watch --record, exported for log viewers.

#include "cli_test_support.h"
#include "recording/recording_reader.h"

#include <gtest/gtest.h>
#include <map>

namespace vistrel::testing {
namespace {

namespace fs = std::filesystem;

// The demo items shown in hexadecimal or binary; the rest are decimal.
const std::map<std::string, int> kDemoRadix = {
    {"Software id", 16}, {"Warning lamps", 16}, {"Locked calibration", 16}, {"Status bits", 2}};

// The number a recorded value text stands for, or "" for an error text.
std::string expectedValue(const std::string& name, const std::string& cell) {
    const auto radix = kDemoRadix.find(name);
    if (cell.empty() || cell.find_first_not_of("0123456789ABCDEF.-") != std::string::npos) {
        return "";
    }
    return radix == kDemoRadix.end() ? cell
                                     : std::to_string(std::stoull(cell, nullptr, radix->second));
}

TEST(CliExport, EveryValueOfTheRecordingReachesTheCsvAndTheMsl) {
    ScratchDirectory dir;
    ASSERT_EQ(runCli({"watch", "--cycles", "5", "--record"}, dir.path()).exitCode, 0);
    const auto recordings = recordingFiles(dir.path());
    ASSERT_EQ(recordings.size(), 1U);
    const fs::path& recording = recordings.front();
    const RecordingRun run = parseRecording(readFile(recording)).front();
    ASSERT_EQ(run.lineCount(), 5U);

    struct Case {
        std::string format;
        std::string separator;
        std::string lineEnd;
        std::size_t headerRows;
    };
    for (const Case& c : {Case{"csv", ",", "\r\n", 1}, Case{"msl", "\t", "\n", 2}}) {
        const fs::path out = dir.path() / ("out." + c.format);
        const CliRun exported = runCli(
            {"export", recording.string(), "--to", c.format, "-o", out.string()}, dir.path());
        ASSERT_EQ(exported.exitCode, 0) << exported.err;
        const auto lines = splitText(readFile(out), c.lineEnd);
        ASSERT_EQ(lines.size(), c.headerRows + run.lineCount()) << c.format;
        for (std::size_t line = 0; line < run.lineCount(); ++line) {
            const auto fields = splitText(lines[c.headerRows + line] + c.separator, c.separator);
            ASSERT_EQ(fields.size(), run.columns.size() + 1) << lines[c.headerRows + line];
            EXPECT_DOUBLE_EQ(std::stod(fields[0]), run.times[line]);
            for (std::size_t column = 0; column < run.columns.size(); ++column) {
                const std::string cell(run.cell(line, column));
                EXPECT_EQ(fields[column + 1], expectedValue(run.columns[column].name, cell))
                    << c.format << " " << run.columns[column].name << " " << cell;
            }
        }
    }
}

} // namespace
} // namespace vistrel::testing
