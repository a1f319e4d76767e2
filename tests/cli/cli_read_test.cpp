// SPDX-License-Identifier: MIT
// The read command, run as the real binary.

#include "cli_test_support.h"
#include "fakes/ecu_process.h"

#include <gtest/gtest.h>

namespace vistrel::testing {
namespace {

// Each list source gives the demo list, printed as Copy does: name, TAB,
// value, CR LF.
TEST(CliRead, PrintsTheCopyTextOfTheFirstGoodReadWhateverTheListSource) {
    const std::vector<std::vector<std::string>> sources = {
        {},
        {"--items", (kExamples / "demo-items.tsv").string()},
        {"--config", (kExamples / "demo-items.xml").string()},
    };
    // The demo item lines after the header and the method line.
    const auto items = splitText(readFile(kExamples / "demo-items.tsv"), "\r\n");
    for (const auto& source : sources) {
        ScratchDirectory dir;
        std::vector<std::string> args{"read"};
        args.insert(args.end(), source.begin(), source.end());
        const CliRun run = runCli(args, dir.path());
        SCOPED_TRACE(args.size() > 1 ? args[2] : "built-in demo");
        ASSERT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(run.err, "");
        ASSERT_TRUE(run.out.ends_with("\r\n"));
        const auto lines = splitText(run.out, "\r\n");
        ASSERT_EQ(lines.size() + 2, items.size()) << run.out;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const auto fields = splitText(lines[i], "\t");
            ASSERT_EQ(fields.size(), 2u) << lines[i];
            EXPECT_EQ(fields[0], splitText(items[i + 2], "\t").at(3));
        }
        EXPECT_TRUE(run.out.starts_with("Software id\t5649532D44454D4F\r\n")) << run.out;
    }
}

// Failed openings, session requests and reads all count as attempts; the
// last failure's text ends on standard error. The user's choices in the
// boxes read the same memory.
TEST(CliRead, GivesUpAfterTheFailedAttemptsWithTheStatusText) {
    struct Case {
        std::string faults;
        std::string items;
        std::string options;
        int exitCode;
        // Standard output on success, a part of standard error on failure.
        std::string expected;
    };
    const std::string linkDown = "<init failures=\"2\" text=\"Link down\"/>";
    const std::string refusedSession = "<session failures=\"3\" nrc=\"12\"/>";
    const std::string ident = kIdentLine;
    const std::string read = "Ident\t564953\r\n";
    const std::vector<Case> cases = {
        {linkDown, ident, "--attempts 3", 0, read},
        {linkDown, ident, "--attempts 2", 1, "Link down\n"},
        {refusedSession, ident, "--attempts 3", 1, "Sub function not supported"},
        // A refusal is the item's value; a read fails when no item answers.
        {"", kRefusedLine, "--attempts 1", 0, "Locked\tExecution conditions not set\r\n"},
        {"", kSilentLine, "--attempts 1", 1, "Error global"},
        {"", kSilentLine + ident, "--attempts 1", 0, "Asleep\tNo answer at due time\r\n" + read},
        {"", ident, "--length-size 2", 0, read},
        {"", ident, "--session 1081", 0, read},
    };
    for (const auto& c : cases) {
        ScratchDirectory dir;
        writeFile(dir.path() / "ecu.xml", ecuDescription(c.faults));
        writeFile(dir.path() / "items.tsv", c.items);
        std::vector<std::string> args{"read", "--ecu", "ecu.xml", "--items", "items.tsv"};
        for (const auto& option : splitText(c.options, " ")) {
            args.push_back(option);
        }
        const CliRun run = runCli(args, dir.path());
        SCOPED_TRACE(c.faults + c.items + " " + c.options);
        EXPECT_EQ(run.exitCode, c.exitCode) << run.err;
        if (c.exitCode == 0) {
            EXPECT_EQ(run.out, c.expected);
        } else {
            EXPECT_EQ(run.out, "");
            EXPECT_NE(run.err.find(c.expected), std::string::npos) << run.err;
        }
    }
}

// The virtual ECU on a pseudo-terminal, and the virtual adapter (genuine or
// clone, in K-line and CAN modes) in front of it, serve the same
// description: each real link reads what the simulator reads, refusals and
// silence included.
TEST(CliRead, OverEachLinkTheValuesAreTheSimulators) {
    ScratchDirectory dir;
    const std::string ecuFile = dir.file("ecu.xml");
    writeFile(ecuFile, ecuDescription());
    writeFile(dir.path() / "items.tsv", kIdentLine + kRefusedLine + kSilentLine);
    EcuProcess kline({"--ecu", ecuFile, "--p2", "5"});
    EcuProcess adapter({"--ecu", ecuFile}, "--elm");
    EcuProcess clone({"--ecu", ecuFile, "--clone"}, "--elm");
    const auto read = [&](std::vector<std::string> args, const std::string& method) {
        args.insert(args.end(), {"--items", "items.tsv", "--method", method});
        return runCli(args, dir.path());
    };
    std::vector<std::pair<std::string, std::string>> cases;
    for (const char* method : {"ReadMemoryByAddress", "DynamicallyDefined",
                               "DynamicallyDefinedPacked", "ReadMemoryByAddressMerged"}) {
        cases.emplace_back("kline:" + kline.device() + ",p3min=5,p4min=0,p2max=1000", method);
    }
    for (const EcuProcess* elm : {&adapter, &clone}) {
        for (const char* protocol : {"kline-fast", "can11-500", "can29-250"}) {
            cases.emplace_back("elm:" + elm->device() + ",timeout=100,protocol=" + protocol,
                               "ReadMemoryByAddress");
        }
    }
    for (const auto& [link, method] : cases) {
        SCOPED_TRACE(link + " " + method);
        const CliRun run = read({"read", "--link", link}, method);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(run.out, read({"read", "--ecu", "ecu.xml"}, method).out);
    }
}

} // namespace
} // namespace vistrel::testing
