// SPDX-License-Identifier: MIT
// The watch command, run as the real binary, and the export of what it
// recorded.

#include "cli_test_support.h"
#include "fakes/ecu_process.h"
#include "recording/recording_reader.h"

#include <chrono>
#include <csignal>
#include <gtest/gtest.h>
#include <map>
#include <regex>
#include <thread>

namespace vistrel::testing {
namespace {

// Piped, the output is the recording's header and one line per good read:
// the time column, then one value per item. The snapshot is saved after the
// first good read.
TEST(CliWatch, PipedOutputIsTheRecordingHeaderAndOneLinePerGoodRead) {
    ScratchDirectory dir;
    const CliRun run = runCli({"watch", "--cycles", "5", "--snapshot"}, dir.path());
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out.find('\r'), std::string::npos);
    const auto lines = splitText(run.out, "\n");
    ASSERT_EQ(lines.size(), 6u) << run.out;
    EXPECT_TRUE(lines[0].starts_with("time\t\"Software id\"\t\"Engine speed(rpm)\"\t")) << lines[0];
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const auto fields = splitText(lines[i], "\t");
        ASSERT_EQ(fields.size(), 16u) << lines[i];
        EXPECT_TRUE(std::regex_match(fields[0], std::regex(R"( \d+(\.\d\d?)?)"))) << lines[i];
    }
    EXPECT_TRUE(recordingFiles(dir.path()).empty());
    const std::string snapshot = readFile(dir.path() / "snapshotvistrel.xml");
    EXPECT_NE(snapshot.find("encoding=\"windows-1252\""), std::string::npos) << snapshot;
    EXPECT_NE(snapshot.find("<snapshot>"), std::string::npos) << snapshot;
}

// The demo items shown in hexadecimal or binary; the rest are decimal.
const std::map<std::string, int> kDemoRadix = {
    {"Software id", 16}, {"Warning lamps", 16}, {"Locked calibration", 16}, {"Status bits", 2}};

// The number a recorded value text stands for, or "" for an error text.
std::string exportedValue(const std::string& name, const std::string& cell) {
    const auto radix = kDemoRadix.find(name);
    if (cell.empty() || cell.find_first_not_of("0123456789ABCDEF.-") != std::string::npos) {
        return "";
    }
    return radix == kDemoRadix.end() ? cell
                                     : std::to_string(std::stoull(cell, nullptr, radix->second));
}

// Ctrl+C presses Stop: the recording is closed after whole lines only, and
// every good read shown is also in the file. Every value of the recording
// reaches the exports for log viewers.
TEST(CliWatch, InterruptStopsCleanlyAndTheRecordingExports) {
    ScratchDirectory dir;
    CliProcess watch({"watch", "--record"}, dir.path());
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    std::size_t lines = 0;
    while (lines < 4 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        const auto files = recordingFiles(dir.path());
        lines = files.empty() ? 0 : splitText(readFile(files[0]), "\r\n").size();
    }
    watch.sendSignal(SIGINT);
    const CliRun run = watch.wait();
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const auto files = recordingFiles(dir.path());
    ASSERT_EQ(files.size(), 1u);
    const std::string file = readFile(files[0]);
    EXPECT_TRUE(file.ends_with("\r\n"));
    EXPECT_GE(splitText(file, "\r\n").size(), 4u);
    EXPECT_EQ(splitText(file, "\r\n").size(), splitText(run.out, "\n").size());

    const RecordingRun recording = parseRecording(file).front();
    struct Case {
        std::string format;
        std::string separator;
        std::string lineEnd;
        std::size_t headerRows;
    };
    for (const Case& c : {Case{"csv", ",", "\r\n", 1}, Case{"msl", "\t", "\n", 2}}) {
        const auto out = dir.path() / ("out." + c.format);
        const CliRun exported =
            runCli({"export", files[0].string(), "--to", c.format, "-o", out.string()}, dir.path());
        ASSERT_EQ(exported.exitCode, 0) << exported.err;
        const auto rows = splitText(readFile(out), c.lineEnd);
        ASSERT_EQ(rows.size(), c.headerRows + recording.lineCount()) << c.format;
        for (std::size_t line = 0; line < recording.lineCount(); ++line) {
            const auto fields = splitText(rows[c.headerRows + line] + c.separator, c.separator);
            ASSERT_EQ(fields.size(), recording.columns.size() + 1) << rows[c.headerRows + line];
            EXPECT_DOUBLE_EQ(std::stod(fields[0]), recording.times[line]);
            for (std::size_t column = 0; column < recording.columns.size(); ++column) {
                const auto& name = recording.columns[column].name;
                const std::string cell(recording.cell(line, column));
                EXPECT_EQ(fields[column + 1], exportedValue(name, cell))
                    << c.format << " " << name << " " << cell;
            }
        }
    }
}

TEST(CliWatch, ARepeatedFailureIsReportedOnceAndNoGoodReadExitsOne) {
    ScratchDirectory dir;
    writeFile(dir.path() / "ecu.xml", ecuDescription());
    writeFile(dir.path() / "items.tsv", kSilentLine);
    const CliRun run = runCli(
        {"watch", "--ecu", "ecu.xml", "--items", "items.tsv", "--seconds", "0.3"}, dir.path());
    EXPECT_EQ(run.exitCode, 1);
    const auto lines = splitText(run.err, "\n");
    ASSERT_EQ(lines.size(), 2u) << run.err;
    EXPECT_TRUE(lines[0].starts_with("Error global")) << run.err;
    EXPECT_EQ(lines[1], "no good read: " + lines[0]);
}

TEST(CliWatch, OnATerminalTheGridIsRedrawnInPlace) {
    ScratchDirectory dir;
    const auto terminal = runCliOnTerminal({"watch", "--cycles", "2"}, dir.path(), 200);
    if (!terminal) {
        GTEST_SKIP() << "no pseudo-terminal to run the command on";
    }
    const CliRun& run = *terminal;
    ASSERT_EQ(run.exitCode, 0) << run.out;
    for (const char* text : {"\x1b[H", "Nom (Name)", "Demo car", "Status:", " — ECU answering"}) {
        EXPECT_NE(run.out.find(text), std::string::npos) << text;
    }
    // The first screen shows the list and the link being connected to.
    const auto firstScreen = run.out.substr(0, run.out.find("\x1b[J"));
    EXPECT_NE(firstScreen.find("connecting to "), std::string::npos) << firstScreen;
    EXPECT_NE(firstScreen.find("Engine speed"), std::string::npos) << firstScreen;
    EXPECT_EQ(run.out.find("time\t"), std::string::npos);
}

// Faults on the K-line show as failed attempts; the cycle opens the
// communication again and goes on reading.
TEST(CliWatch, KLineFaultsAreShownAndTheCycleRecovers) {
    ScratchDirectory dir;
    writeFile(dir.path() / "ecu.xml", ecuDescription());
    writeFile(dir.path() / "items.tsv", kIdentLine);
    EcuProcess ecu({"--ecu", (dir.path() / "ecu.xml").string(), "--p2", "5", "--fault",
                    "bad-checksum:4", "--fault", "garbage:6"});
    const CliRun run =
        runCli({"watch", "--link", "kline:" + ecu.device() + ",p3min=5,p4min=0,p2max=1000",
                "--items", "items.tsv", "--cycles", "3"},
               dir.path());
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.err.find("bad checksum"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("garbled reply"), std::string::npos) << run.err;
    const auto lines = splitText(run.out, "\n");
    ASSERT_EQ(lines.size(), 4u) << run.out;
    EXPECT_TRUE(lines.back().ends_with("\t564953")) << lines.back();
}

// The stable name of the pseudo-terminal goes with the virtual ECU: a name
// left behind would point the next program at a terminal nobody serves.
TEST(EcuProcess, ThePtyLinkNameGoesWhenTheEcuEnds) {
    ScratchDirectory dir;
    const std::filesystem::path link = dir.path() / "ecu-link";
    {
        const EcuProcess ecu({"--pty-link", link.string()});
        ASSERT_FALSE(ecu.device().empty());
        EXPECT_TRUE(std::filesystem::is_symlink(link));
    }
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link)));
}

} // namespace
} // namespace vistrel::testing
