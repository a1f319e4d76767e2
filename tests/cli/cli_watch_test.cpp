// SPDX-License-Identifier: MIT
// The watch command, run as the real binary, and the export of what it
// recorded.

#include "cli_test_support.h"
#include "fakes/ecu_process.h"
#include "recording/recording_reader.h"

#include <chrono>
#include <csignal>
#include <gtest/gtest.h>
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

// Ctrl+C presses Stop: the recording is closed after whole lines only, and
// every good read shown is also in the file.
TEST(CliWatch, InterruptStopsCleanlyAndClosesTheRecording) {
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

    EXPECT_NO_THROW(parseRecording(file));
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

// At 80 columns the demo list keeps every name and every value whole: the
// error texts of the items that fail give way first.
TEST(CliWatch, At80ColumnsNamesAndValuesStayWhole) {
    ScratchDirectory dir;
    const auto terminal = runCliOnTerminal({"watch", "--cycles", "2"}, dir.path(), 80);
    if (!terminal) {
        GTEST_SKIP() << "no pseudo-terminal to run the command on";
    }
    ASSERT_EQ(terminal->exitCode, 0) << terminal->out;
    const std::string screen = terminal->out.substr(terminal->out.rfind("\x1b[H"));
    for (const auto& line : splitText(readFile(kExamples / "demo-items.tsv"), "\n")) {
        const auto fields = splitText(line, "\t");
        if (fields.size() > 3 && fields[0] != "Address" && fields[0] != "Method") {
            EXPECT_NE(screen.find(fields[3] + " "), std::string::npos) << fields[3] << screen;
        }
    }
    EXPECT_TRUE(std::regex_search(screen, std::regex(R"(\| [0-9A-F]{16} \|)"))) << screen;
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
