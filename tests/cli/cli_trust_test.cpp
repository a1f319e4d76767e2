// SPDX-License-Identifier: MIT
// What the watch shows can be trusted against a slow or a silent ECU, on a
// K-line pseudo-terminal and on socketcand, timed by the ECU's own log.

#include "cli_test_support.h"
#include "fakes/ecu_process.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace vistrel::testing {
namespace {

const std::vector<std::string> kValues = {"11", "22", "33", "44", "55", "66"};

// The watch of six one-byte items (11 to 66) against vistrel-ecu with the
// fault, on each wire: its output lines and the ECU's requests.
template <typename Check> void watchEachWire(const std::string& fault, const Check& check) {
    ScratchDirectory dir;
    writeFile(dir.path() / "ecu.xml",
              "<ecu><memory address=\"010000\">11 22 33 44 55 66</memory></ecu>");
    std::string items;
    for (char i = '0'; i < '6'; ++i) {
        items += std::string("01000") + i + "\t1\tBE\tItem " + i + "\t\t1\t0\t1\tH\t1\r\n";
    }
    writeFile(dir.path() / "items.tsv", items);
    for (const bool kline : {true, false}) {
        std::vector<std::string> args = {"--ecu", (dir.path() / "ecu.xml").string(), "--fault",
                                         fault, "--log"};
        if (kline) {
            args.insert(args.end(), {"--p2", "5"});
        }
        EcuProcess ecu(args, kline ? "--kline" : "--socketcand");
        const std::string link = kline ? "kline:" + ecu.device() + ",p3min=5,p4min=0,p2max=150"
                                       : "socketcand:" + ecu.device() + ",p2max=150";
        const CliRun run = runCli(
            {"watch", "--link", link, "--items", "items.tsv", "--seconds", "3", "--cycles", "4"},
            dir.path());
        SCOPED_TRACE(link + "\n" + run.err);
        check(splitText(run.out, "\n"), ecu.linesSoFar(), kline);
    }
}

// Every third read is answered 200 ms late, past P2max: no value shown is
// ever another item's, and the line is brought back in step.
TEST(CliTrust, ALateAnswerNeverShowsAsTheNextItemsValue) {
    watchEachWire("late:3", [](const auto& lines, const auto& requests, bool) {
        ASSERT_GE(lines.size(), 3U);
        std::size_t late = 0;
        for (std::size_t l = 1; l < lines.size(); ++l) {
            const auto fields = splitText(lines[l], "\t");
            for (std::size_t i = 0; i < kValues.size(); ++i) {
                const bool value = std::ranges::count(kValues, fields.at(i + 1)) != 0;
                EXPECT_TRUE(!value || fields[i + 1] == kValues[i]) << lines[l];
                late += value ? 0 : 1;
            }
        }
        EXPECT_GT(late, 0U);
        EXPECT_NE(std::ranges::count(requests, true,
                                     [](const auto& r) { return r.ends_with("request 3E01"); }),
                  0);
    });
}

// The ECU stops after nine requests (the K-line counts its wake-up): one
// pass, then one or two reads; the next read goes unanswered, the one after
// it waits in vain for TesterPresent, the pass ends, and no further read
// goes out while the ECU stays silent.
TEST(CliTrust, ASilentEcuEndsThePassAfterTwoUnansweredReads) {
    watchEachWire("silent-after:9", [](const auto&, const auto& requests, bool kline) {
        EXPECT_EQ(std::ranges::count(
                      requests, true,
                      [](const auto& r) { return r.find("request 23") != std::string::npos; }),
                  kline ? 6 + 2 : 6 + 3);
    });
}

} // namespace
} // namespace vistrel::testing
