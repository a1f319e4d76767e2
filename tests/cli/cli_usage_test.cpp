// SPDX-License-Identifier: MIT
// Help, usage errors and unusable files: exit code 2 with a clear message.

#include "cli_test_support.h"

#include <gtest/gtest.h>

namespace vistrel::testing {
namespace {

TEST(CliUsage, HelpAndBadOptionsAndFiles) {
    ScratchDirectory dir;
    writeFile(dir.path() / "foreign.xml", "<?xml version=\"1.0\"?><Other Version=\"1\"/>");
    writeFile(dir.path() / "notes.xml", "Call the garage\nOrder brake pads\n");
    writeFile(dir.path() / "header-only.tsv",
              "Address\tLength\tCoding\tName\tUnit\tA\tB\tC\tFormat\tSelected\r\n");
    writeFile(dir.path() / "bad-ecu.xml", "<ecu><memory address=\"zz\">00</memory></ecu>");
    writeFile(dir.path() / "items.txt", kIdentLine);
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"frobnicate"}, "unknown command \"frobnicate\""},
        {{"read", "--session", "1G"}, "--session: 1G"},
        {{"read", "--attempts", "0"}, "--attempts"},
        {{"read", "--items", "missing.tsv"}, "cannot read missing.tsv: No such file or directory"},
        {{"read", "--config", "missing.xml"}, "missing.xml: no such configuration file"},
        {{"read", "--config", "foreign.xml"}, "foreign.xml: not a configuration file"},
        {{"read", "--config", "notes.xml"},
         "notes.xml is not a vistrel configuration file (not XML); erreur load 4 1 "},
        {{"read", "--items", "header-only.tsv"}, "header-only.tsv: no item to read"},
        {{"read", "--ecu", "missing-ecu.xml"}, "missing-ecu.xml"},
        {{"read", "--link", "kline:/dev/ttyUSB9,p2max=soon"}, "--link: kline: p2max=soon"},
        {{"watch", "--ecu", "bad-ecu.xml"}, "bad-ecu.xml:1"},
        {{"convert", "a.tsv", "b.txt"}, "one file of item lines"},
        {{"watch", "--record", "--record-when", "Rpm > 1"}, "no item is named \"Rpm\""},
        {{"watch", "--record", "--record-until", "Rpm >"}, "\"\" is not a number"},
        {{"export", "items.txt", "--to", "csv", "-o", "o.csv"}, "Not a recording file: line 1"},
        {{"export", "none.txt", "--to", "csv", "-o", "o.csv"}, "Cannot read none.txt"},
        {{"export", "items.txt", "--to", "csv", "-o", "o.csv", "--config", "missing.xml"},
         "missing.xml: no such configuration file"},
    };
    for (const auto& [args, message] : cases) {
        const CliRun run = runCli(args, dir.path());
        EXPECT_EQ(run.exitCode, 2) << message << "\n" << run.err;
        EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
        EXPECT_EQ(run.out, "") << message;
    }
    // Help goes to standard output.
    const CliRun help = runCli({"--help"}, dir.path());
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("convert"), std::string::npos) << help.out;
}

} // namespace
} // namespace vistrel::testing
