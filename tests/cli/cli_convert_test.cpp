// SPDX-License-Identifier: MIT
// The convert command, run as the real binary.

#include "cli_test_support.h"

#include <gtest/gtest.h>

namespace vistrel::testing {
namespace {

std::string configFile(const std::string& settings, const std::vector<std::string>& datas) {
    std::string xml = "<?xml version=\"1.0\" encoding=\"utf-8\"?><Vistrel Version=\"1,0\">" +
                      settings + "<Datas>";
    for (const auto& data : datas) {
        xml += "<Data>" + data + "</Data>";
    }
    return xml + "</Datas></Vistrel>";
}

std::string data(const std::string& name, const std::string& extra = "") {
    return "<address>010000</address><length>2</length><name>" + name + "</name>" + extra;
}

// Configuration to item lines and back, twice: the second round gives the
// same lines, and the lines are those that addLine reads.
TEST(CliConvert, RoundTripReachesAFixedPoint) {
    ScratchDirectory dir;
    const auto run = [&](const std::string& in, const std::string& out) {
        const CliRun r = runCli({"convert", in, out}, dir.path());
        EXPECT_EQ(r.exitCode, 0) << in << " -> " << out << ": " << r.err;
    };
    run((kExamples / "demo-items.xml").string(), "first.tsv");
    run("first.tsv", "back.xml");
    run("back.xml", "second.txt");
    const std::string first = readFile(dir.path() / "first.tsv");
    EXPECT_EQ(readFile(dir.path() / "second.txt"), first);
    const auto lines = splitText(first, "\n");
    ASSERT_EQ(lines.size(), 16u) << first;
    EXPECT_EQ(lines[0], "Methode\tDynamicallyDefinedPacked\t");
    EXPECT_EQ(lines[2], "01A000\t2\tBE\tEngine speed\trpm\t1\t0\t4\tP\t1\tFFFF");
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const auto fields = splitText(lines[i] + "\t", "\t");
        EXPECT_EQ(fields.size(), 11u) << lines[i];
        EXPECT_EQ(fields.at(9), "1") << lines[i];
    }
}

TEST(CliConvert, LinesThatMakeNoItemAreReportedWithTheirNumber) {
    ScratchDirectory dir;
    writeFile(dir.path() / "in.tsv", "Address\tLength\tCoding\tName\tUnit\tA\tB\tC\tFormat\tSel\r\n"
                                     "010000\t2\tBE\tSpeed\t\t1\t0\t1\tD\t1\r\n"
                                     "010002\t2\tBE\tSPEED\t\t1\t0\t1\tD\t1\r\n");
    const CliRun run = runCli({"convert", "in.tsv", "out.xml"}, dir.path());
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.err.find("in.tsv:1: VistrelItems.addLine : Syntax Address Error"),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("in.tsv:3: an item named \"SPEED\" is already in the list"),
              std::string::npos)
        << run.err;
    EXPECT_NE(readFile(dir.path() / "out.xml").find("<name>Speed</name>"), std::string::npos);

    // Lines that make no item at all write nothing.
    writeFile(dir.path() / "none.tsv", "Address\tLength\r\n");
    const CliRun none = runCli({"convert", "none.tsv", "none.xml"}, dir.path());
    EXPECT_EQ(none.exitCode, 2);
    EXPECT_NE(none.err.find("no line makes an item"), std::string::npos) << none.err;
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "none.xml"));
}

// Item lines cannot hold everything a configuration file can: what would
// be lost stops the conversion, what only cannot be kept is said.
TEST(CliConvert, WhatItemLinesCannotCarryIsNeverLostSilently) {
    struct Case {
        std::string xml;
        int exitCode;
        std::string message;
    };
    const std::vector<Case> cases = {
        {configFile("", {data("Speed"), data("speed")}), 2,
         "item 2 \"speed\": its name is already taken"},
        {configFile("", {data("Tab&#9;bed")}), 2, "holds a tab or a line break"},
        {configFile("", {data("Line&#10;break")}), 2, "holds a tab or a line break"},
        {configFile("<LengthSize>2</LengthSize><StartSession>1081</StartSession>", {data("Speed")}),
         0, "neither the length size (2) nor the session request (1081)"},
    };
    for (const auto& c : cases) {
        ScratchDirectory dir;
        writeFile(dir.path() / "in.xml", c.xml);
        const CliRun run = runCli({"convert", "in.xml", "out.tsv"}, dir.path());
        EXPECT_EQ(run.exitCode, c.exitCode) << c.message << "\n" << run.err;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_EQ(std::filesystem::exists(dir.path() / "out.tsv"), c.exitCode == 0) << c.message;
    }
}

} // namespace
} // namespace vistrel::testing
