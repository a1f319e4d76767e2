// SPDX-License-Identifier: MIT
#include "components/error.h"
#include "fakes/error_of.h"
#include "recording/recording_export.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sstream>

namespace vistrel {
namespace {

using ::testing::HasSubstr;

// Two recordings in one file, as when the second started in the same
// second; a title with a windows-1252 degree sign.
constexpr std::string_view kFile = "time\t\"Engine speed(rpm)\"\t\"T\xB0(\xB0"
                                   "C)\"\t\"Bits\"\r\n"
                                   " 0\t812,5\tNo reply\t00010010\r\n"
                                   " .25\t900\t-4\t11111111\r\n"
                                   "time\t\"Id\"\r\n"
                                   "-0.5\t0A1F\r\n";

TEST(RecordingFile, ReadsRunsColumnsTimesAndCells) {
    const auto runs = parseRecording(kFile);
    ASSERT_EQ(runs.size(), 2U);
    const RecordingRun& first = runs[0];
    ASSERT_EQ(first.columns.size(), 3U);
    EXPECT_EQ(first.columns[0].name, "Engine speed");
    EXPECT_EQ(first.columns[0].unit, "rpm");
    EXPECT_EQ(first.columns[1].name, "T°");
    EXPECT_EQ(first.columns[1].unit, "°C");
    EXPECT_EQ(first.columns[2].unit, "");
    EXPECT_EQ(first.times, (std::vector<double>{0, 0.25}));
    EXPECT_EQ(first.cell(1, 1), "-4");
    EXPECT_EQ(runs[1].times, (std::vector<double>{-0.5}));
    EXPECT_EQ(recordingRun(runs, 2).cell(0, 0), "0A1F");
    EXPECT_THROW(recordingRun(runs, 3), Error);
}

TEST(RecordingFile, NamesTheLineOfAnythingElse) {
    struct Case {
        std::string_view bytes;
        std::string_view message;
    };
    const Case cases[] = {
        {"", "the file is empty"},
        {"Address\tLength\r\n", "line 1: a recording starts with a header"},
        {"time\t\"A\"\n 0\t1\n", "line 1: the line does not end with CR LF"},
        {"time\t\"A\"\r\n 0\t1", "line 2: the line does not end with CR LF"},
        {"time\tA\r\n", "line 1: a column title is a name between double quotes"},
        {"time\t\"A\"\r\n 0\t1\t2\r\n",
         "line 2: a data line holds the time and 2 values, not the 1 of its header"},
        {"time\t\"A\"\r\n 0\r\n", "the time and 0 values"},
        {"time\t\"A\"\r\n0.5\t1\r\n", "line 2: the time column"},
        {"time\t\"A\"\r\n 1e3\t1\r\n", "line 2: the time column"},
        {"time\t\"A\"\r\n  1\t1\r\n", "line 2: the time column"},
    };
    for (const Case& c : cases) {
        const auto error = testing::errorOf([&] { parseRecording(c.bytes); });
        ASSERT_TRUE(error) << "accepted: " << c.bytes;
        EXPECT_THAT(error->description(), HasSubstr(c.message)) << c.bytes;
    }
}

TEST(RecordingFile, ExportsForLogViewers) {
    const auto runs =
        parseRecording("time\t\"Speed, front(km/h)\"\t\"Say \"\"hi\"\"\"\t\"Bits\"\r\n"
                       " 0\t12,5\tTimeout\t00000011\r\n"
                       " 63.04\t-3\t7\t00000100\r\n");
    const auto radixes = columnRadixes(runs[0], nullptr);
    std::ostringstream csv;
    writeExport(runs[0], radixes, ExportFormat::Csv, csv);
    EXPECT_EQ(csv.str(), "Time (s),\"Speed, front (km/h)\",\"Say \"\"\"\"hi\"\"\"\"\",Bits\r\n"
                         "0,12.5,,3\r\n"
                         "63.04,-3,7,4\r\n");
    std::ostringstream msl;
    writeExport(runs[0], radixes, ExportFormat::Msl, msl);
    EXPECT_EQ(msl.str(), "Time\tSpeed, front\tSay \"\"hi\"\"\tBits\n"
                         "s\tkm/h\t\t\n"
                         "0\t12.5\t\t3\n"
                         "63.04\t-3\t7\t4\n");
}

} // namespace
} // namespace vistrel
