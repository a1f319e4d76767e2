// SPDX-License-Identifier: MIT
// The read command, run as the real binary.

#include "cli_test_support.h"
#include "fakes/ecu_process.h"

#include <gtest/gtest.h>

namespace vistrel::testing {
namespace {

std::vector<std::string> demoItemNames() {
    std::vector<std::string> names;
    const auto lines = splitText(readFile(kExamples / "demo-items.tsv"), "\r\n");
    for (std::size_t i = 2; i < lines.size(); ++i) { // the header, the method line
        names.push_back(splitText(lines[i], "\t").at(3));
    }
    return names;
}

// Each list source gives the demo list, printed as Copy does: name, TAB,
// value, CR LF.
TEST(CliRead, PrintsTheCopyTextOfTheFirstGoodReadWhateverTheListSource) {
    const std::vector<std::vector<std::string>> sources = {
        {},
        {"--items", (kExamples / "demo-items.tsv").string()},
        {"--config", (kExamples / "demo-items.xml").string()},
    };
    for (const auto& source : sources) {
        ScratchDirectory dir;
        std::vector<std::string> args{"read"};
        args.insert(args.end(), source.begin(), source.end());
        const CliRun run = runCli(args, dir.path());
        SCOPED_TRACE(args.size() > 1 ? args[2] : "built-in demo");
        ASSERT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(run.err, "");
        ASSERT_TRUE(run.out.ends_with("\r\n"));
        std::vector<std::string> names;
        for (const auto& line : splitText(run.out, "\r\n")) {
            const auto fields = splitText(line, "\t");
            ASSERT_EQ(fields.size(), 2u) << line;
            names.push_back(fields[0]);
        }
        EXPECT_EQ(names, demoItemNames());
        EXPECT_TRUE(run.out.starts_with("Software id\t5649532D44454D4F\r\n")) << run.out;
    }
}

TEST(CliRead, TheUsersChoicesInTheBoxesReadTheSameMemory) {
    ScratchDirectory dir;
    writeFile(dir.path() / "ecu.xml", ecuDescription());
    writeFile(dir.path() / "items.tsv", std::string(kIdentLine));
    const std::vector<std::vector<std::string>> choices = {
        {"--method", "DynamicallyDefined"},
        {"--length-size", "2"},
        {"--session", "1081"},
    };
    for (const auto& choice : choices) {
        std::vector<std::string> args{"read", "--ecu", "ecu.xml", "--items", "items.tsv"};
        args.insert(args.end(), choice.begin(), choice.end());
        const CliRun run = runCli(args, dir.path());
        EXPECT_EQ(run.exitCode, 0) << choice[0] << ": " << run.err;
        EXPECT_EQ(run.out, "Ident\t564953\r\n") << choice[0];
    }
}

// Failed openings, session requests and reads all count as attempts; the
// last failure's text ends on standard error.
TEST(CliRead, GivesUpAfterTheFailedAttemptsWithTheStatusText) {
    struct Case {
        std::string faults;
        std::string items;
        std::string attempts;
        int exitCode;
        // Standard output on success, a part of standard error on failure.
        std::string expected;
    };
    const std::string ident(kIdentLine);
    const std::string refused(kRefusedLine);
    const std::string silent(kSilentLine);
    const std::string linkDown = "<init failures=\"2\" text=\"Link down\"/>";
    const std::vector<Case> cases = {
        {linkDown, ident, "3", 0, "Ident\t564953\r\n"},
        {linkDown, ident, "2", 1, "Link down\n"},
        {"<session failures=\"3\" nrc=\"12\"/>", ident, "3", 1, "Sub function not supported"},
        // A refusal is the item's value; a read fails when no item answers.
        {"", refused, "1", 0, "Locked\tExecution conditions not set\r\n"},
        {"", silent, "1", 1, "Error global"},
        {"", silent + ident, "1", 0, "Asleep\tNo answer at due time\r\nIdent\t564953\r\n"},
    };
    for (const auto& c : cases) {
        ScratchDirectory dir;
        writeFile(dir.path() / "ecu.xml", ecuDescription(c.faults));
        writeFile(dir.path() / "items.tsv", c.items);
        const CliRun run =
            runCli({"read", "--ecu", "ecu.xml", "--items", "items.tsv", "--attempts", c.attempts},
                   dir.path());
        SCOPED_TRACE(c.faults + c.items + " attempts " + c.attempts);
        EXPECT_EQ(run.exitCode, c.exitCode) << run.err;
        if (c.exitCode == 0) {
            EXPECT_EQ(run.out, c.expected);
        } else {
            EXPECT_EQ(run.out, "");
            EXPECT_NE(run.err.find(c.expected), std::string::npos) << run.err;
        }
    }
}

// The virtual ECU on a pseudo-terminal serves the same description: the
// K-line link reads what the simulator reads, refusals and silence included.
TEST(CliRead, OverAKLineTheValuesAreTheSimulators) {
    ScratchDirectory dir;
    writeFile(dir.path() / "ecu.xml", ecuDescription());
    writeFile(dir.path() / "items.tsv",
              std::string(kIdentLine) + std::string(kRefusedLine) + std::string(kSilentLine));
    EcuProcess ecu({"--ecu", (dir.path() / "ecu.xml").string(), "--p2", "5"});
    for (const char* method : {"ReadMemoryByAddress", "DynamicallyDefined",
                               "DynamicallyDefinedPacked", "ReadMemoryByAddressMerged"}) {
        const std::vector<std::string> list = {"--items", "items.tsv", "--method", method};
        std::vector<std::string> simulated = {"read", "--ecu", "ecu.xml"};
        std::vector<std::string> kline = {"read", "--link",
                                          "kline:" + ecu.device() + ",p3min=5,p4min=0,p2max=1000"};
        simulated.insert(simulated.end(), list.begin(), list.end());
        kline.insert(kline.end(), list.begin(), list.end());
        const CliRun expected = runCli(simulated, dir.path());
        const CliRun run = runCli(kline, dir.path());
        EXPECT_EQ(run.exitCode, 0) << method << run.err;
        EXPECT_EQ(run.out, expected.out) << method;
    }
}

// Behind the virtual adapter, genuine or clone, in K-line and CAN modes, the
// adapter link reads what the simulator reads, refusals and silence included.
TEST(CliRead, ThroughAnAdapterTheValuesAreTheSimulators) {
    ScratchDirectory dir;
    writeFile(dir.path() / "ecu.xml", ecuDescription());
    writeFile(dir.path() / "items.tsv",
              std::string(kIdentLine) + std::string(kRefusedLine) + std::string(kSilentLine));
    const CliRun expected =
        runCli({"read", "--ecu", "ecu.xml", "--items", "items.tsv"}, dir.path());
    for (const bool clone : {false, true}) {
        std::vector<std::string> args = {"--ecu", (dir.path() / "ecu.xml").string()};
        if (clone) {
            args.push_back("--clone");
        }
        EcuProcess adapter(args, "--elm");
        for (const char* protocol : {"kline-fast", "can11-500", "can29-250"}) {
            SCOPED_TRACE(std::string(protocol) + (clone ? " clone" : ""));
            const CliRun run = runCli(
                {"read", "--link", "elm:" + adapter.device() + ",timeout=100,protocol=" + protocol,
                 "--items", "items.tsv"},
                dir.path());
            EXPECT_EQ(run.exitCode, 0) << run.err;
            EXPECT_EQ(run.out, expected.out);
        }
    }
}

} // namespace
} // namespace vistrel::testing
