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

// Item lines cannot hold everything a configuration file can: what would
// be lost stops the conversion, what only cannot be kept is said. Lines that
// make no item are reported with their number; when none makes one, nothing
// is written.
TEST(CliConvert, WhatCannotBeCarriedIsNeverLostSilently) {
    struct Case {
        std::string in;
        std::string text;
        int exitCode;
        std::string message;
    };
    const std::string badLines = "Address\tLength\tCoding\tName\tUnit\tA\tB\tC\tFormat\tSel\r\n"
                                 "010000\t2\tBE\tSpeed\t\t1\t0\t1\tD\t1\r\n"
                                 "010002\t2\tBE\tSPEED\t\t1\t0\t1\tD\t1\r\n";
    const std::vector<Case> cases = {
        {"in.xml", configFile("", {data("Speed"), data("speed")}), 2,
         "item 2 \"speed\": its name is already taken"},
        {"in.xml", configFile("", {data("Tab&#9;bed")}), 2, "holds a tab or a line break"},
        {"in.xml", configFile("", {data("Line&#10;break")}), 2, "holds a tab or a line break"},
        {"in.xml",
         configFile("<LengthSize>2</LengthSize><StartSession>1081</StartSession>", {data("Speed")}),
         0, "neither the length size (2) nor the session request (1081)"},
        {"in.tsv", badLines, 0, "in.tsv:1: VistrelItems.addLine : Syntax Address Error"},
        {"in.tsv", badLines, 0, "in.tsv:3: an item named \"SPEED\" is already in the list"},
        {"in.tsv", "Address\tLength\r\n", 2, "no line makes an item"},
    };
    for (const auto& c : cases) {
        ScratchDirectory dir;
        writeFile(dir.path() / c.in, c.text);
        const std::string out = c.in == "in.xml" ? "out.tsv" : "out.xml";
        const CliRun run = runCli({"convert", c.in, out}, dir.path());
        EXPECT_EQ(run.exitCode, c.exitCode) << c.message << "\n" << run.err;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_EQ(std::filesystem::exists(dir.path() / out), c.exitCode == 0) << c.message;
        if (c.text == badLines) { // the good line is kept
            EXPECT_NE(readFile(dir.path() / out).find("<name>Speed</name>"), std::string::npos);
        }
    }
}

} // namespace
} // namespace vistrel::testing
