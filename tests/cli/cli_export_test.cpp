// SPDX-License-Identifier: MIT
// The export command, run as the real binary: how each column's values are
// read, from the item list or guessed, and which guesses it names.

#include "cli_test_support.h"

#include <gtest/gtest.h>

namespace vistrel::testing {
namespace {

// "Raw word" is a hexadecimal word whose values hold no letter; "Id" shows
// its letters, "Flags" whole bytes of binary digits, "Speed" odd lengths;
// "Ratio" is a float item.
constexpr const char* kRecording =
    "time\t\"Raw word\"\t\"Flags\"\t\"Speed(km/h)\"\t\"Id\"\t\"Ratio\"\r\n"
    " 0\t1234\t00000011\t12\t0A1F\t0,5\r\n"
    " 0.5\t8000\t00000100\t100\tNo reply\t-1.5E+20\r\n";

constexpr const char* kItemLines = "Address\tLength\tCoding\tName\tUnit\tA\tB\tC\tFormat\n"
                                   "010000\t2\tBE\traw WORD\t\t1\t0\t1\tH\t1\n"
                                   "010002\t1\tBE\tFlags\t\t1\t0\t1\tB\t1\n"
                                   "010003\t1\tBE\tSpeed\tkm/h\t1\t0\t1\tD\t1\n"
                                   "010004\t2\tBE\tId\t\t1\t0\t1\tH\t1\n"
                                   "010006\t4\tBEF\tRatio\t\t1\t0\t1\tD\t1\n";

TEST(CliExport, ColumnsReadAsTheirItemsShowThemOrGuessedAndNamed) {
    ScratchDirectory dir;
    writeFile(dir.path() / "rec.txt", kRecording);
    writeFile(dir.path() / "list.tsv", kItemLines);
    ASSERT_EQ(runCli({"convert", "list.tsv", "list.xml"}, dir.path()).exitCode, 0);

    const std::string guessedNotes =
        "column \"Raw word\" read as decimal, though its digits could be hexadecimal "
        "(ambiguous; give --items to be sure)\n"
        "column \"Flags\" read as binary (guessed; give --items to be sure)\n"
        "column \"Id\" read as hexadecimal (guessed; give --items to be sure)\n";
    struct Case {
        std::vector<std::string> list;
        std::string rows;
        std::string err;
    };
    const Case cases[] = {
        {{}, "0,1234,3,12,2591,0.5\r\n0.5,8000,4,100,,-1.5E+20\r\n", guessedNotes},
        {{"--items", "list.tsv"}, "0,4660,3,12,2591,0.5\r\n0.5,32768,4,100,,-1.5E+20\r\n", ""},
        {{"--config", "list.xml"}, "0,4660,3,12,2591,0.5\r\n0.5,32768,4,100,,-1.5E+20\r\n", ""},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args{"export", "rec.txt", "--to", "csv", "-o", "out.csv"};
        args.insert(args.end(), c.list.begin(), c.list.end());
        const CliRun run = runCli(args, dir.path());
        ASSERT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(readFile(dir.path() / "out.csv"),
                  "Time (s),Raw word,Flags,Speed (km/h),Id,Ratio\r\n" + c.rows)
            << c.err;
        EXPECT_EQ(run.err, c.err);
    }
    // The other format, for log viewers that read tab-separated columns.
    ASSERT_EQ(runCli({"export", "rec.txt", "--to", "msl", "-o", "out.msl", "--items", "list.tsv"},
                     dir.path())
                  .exitCode,
              0);
    EXPECT_EQ(readFile(dir.path() / "out.msl"),
              "Time\tRaw word\tFlags\tSpeed\tId\tRatio\ns\t\t\tkm/h\t\t\n"
              "0\t4660\t3\t12\t2591\t0.5\n0.5\t32768\t4\t100\t\t-1.5E+20\n");
}

} // namespace
} // namespace vistrel::testing
