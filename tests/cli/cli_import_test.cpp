// SPDX-License-Identifier: MIT
// The import command, run as the real binary.

#include "cli_test_support.h"

#include <gtest/gtest.h>

namespace vistrel::testing {
namespace {

const std::string kEngine = (kExamples / "a2l" / "engine.a2l").string();

TEST(CliImport, SaysWhatItImportedAndLeftOut) {
    struct Case {
        std::string args; // "a2l/" names a file of the examples folder
        int exitCode;
        std::string err;     // the start of standard error
        std::string written; // the start of the file written, "" for none
    };
    const std::vector<Case> cases = {
        {"a2l/engine.a2l -o all.xml", 0,
         "imported 14 of 19 measurements\n"
         "nmot_sum: VIRTUAL: it has no memory to read\n"
         "knock: an array of 4 values; an item holds one\n"
         "map: an array of 6 values; an item holds one\n"
         "half: unknown datatype FLOAT16_IEEE\n"
         "NMOT: the name is already taken by an earlier measurement (letter case ignored)\n"
         "gear: its conversion CM_GEAR (TAB_VERB) cannot be shown as (A*v+B)/C; imported as "
         "the raw value (D)\n"
         "pboost: its conversion CM_QUADRATIC (RAT_FUNC) cannot be shown as (A*v+B)/C; "
         "imported as the raw value (D)\n",
         "<?xml"},
        {"a2l/engine.a2l --measurement tmot --measurement nmot -o two.tsv", 0,
         "imported 2 of 19 measurements\n",
         "01A000\t2\tBE\tnmot\trpm\t0.25\t0\t1\tP\t1\t\n"
         "01A002\t1\tBE\ttmot\tdegC\t1\t-40\t1\tP\t1\t\n"},
        {"a2l/gearbox.a2l --address-offset -80000000 --match ^(oil|level) -o near.tsv", 0,
         "imported 2 of 9 measurements\n",
         "004000\t4\tLEF\toil_temp\tdegC\t1\t0\t1\tD\t1\t\n"
         "00401C\t2\tLE\tlevel\tkm/h\t0.5\t-40\t4\tP\t1\t000C\n"},
        {"a2l/gearbox.a2l --measurement oil_temp --address-bytes 4 -o far.txt", 0,
         "imported 1 of 9 measurements\n", "80004000\t4\tLEF\toil_temp\tdegC\t1\t0\t1\tD\t1\t\n"},
        {"a2l/engine.a2l --measurement tmot --measurement nmott -o typo.tsv", 1,
         kEngine + ": no MEASUREMENT named \"nmott\"\nnothing written\n", ""},
        {"a2l/engine.a2l --match ^zz -o none.tsv", 1,
         "imported 0 of 19 measurements\nnothing written\n", ""},
        {"a2l/gearbox.a2l --measurement flash_id -o none.tsv", 1,
         "imported 0 of 9 measurements\nflash_id: ECU_ADDRESS 0x90000000 plus the offset does "
         "not fit in 3 bytes\nnothing written\n",
         ""},
        {"a2l/engine.a2l -o out.csv", 2,
         "vistrel-cli: import: -o names a configuration file (.xml) or item lines (.tsv, .txt)",
         ""},
        {"a2l/engine.a2l --address-offset -0xG -o o.tsv", 2,
         "vistrel-cli: --address-offset: \"-0xG\" is not a hexadecimal number", ""},
        {"missing.a2l -o o.tsv", 2, "vistrel-cli: missing.a2l: cannot read the file", ""},
        {"broken.a2l -o o.tsv", 2, "vistrel-cli: part.a2l:2: /begin MEASUREMENT is never ended",
         ""},
    };
    for (const Case& c : cases) {
        ScratchDirectory dir;
        writeFile(dir.path() / "broken.a2l", "/include \"part.a2l\"\n");
        writeFile(dir.path() / "part.a2l", "\n/begin MEASUREMENT m \"\" UBYTE X 0 0 0 1\n");
        std::vector<std::string> args = {"import"};
        for (const std::string& arg : splitText(c.args, " ")) {
            args.push_back(arg.starts_with("a2l/") ? (kExamples / arg).string() : arg);
        }
        const CliRun r = runCli(args, dir.path());
        SCOPED_TRACE(c.args);
        EXPECT_EQ(r.exitCode, c.exitCode);
        EXPECT_EQ(r.err.substr(0, c.err.size()), c.err) << r.err;
        const std::string out = args.at(args.size() - 1);
        if (c.written.empty()) {
            EXPECT_FALSE(std::filesystem::exists(dir.path() / out));
        } else {
            EXPECT_EQ(readFile(dir.path() / out).substr(0, c.written.size()), c.written);
        }
    }
}

} // namespace
} // namespace vistrel::testing
