// SPDX-License-Identifier: MIT
// What the watch shows can be trusted against a slow or a silent ECU: the
// real binaries on a pseudo-terminal (K-line) and on loopback TCP
// (socketcand), timed by the ECU's own log of the requests.

#include "cli_test_support.h"
#include "fakes/ecu_process.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace vistrel::testing {
namespace {

const std::vector<std::string> kValues = {"11", "22", "33", "44", "55", "66"};

// Six one-byte items, 11 to 66 in the ECU's memory.
void writeBench(const ScratchDirectory& dir) {
    writeFile(dir.path() / "ecu.xml",
              "<ecu><memory address=\"010000\">11 22 33 44 55 66</memory></ecu>");
    std::string lines;
    for (int i = 0; i < 6; ++i) {
        lines += "01000" + std::to_string(i) + "\t1\tBE\tItem " + std::to_string(i) +
                 "\t\t1\t0\t1\tH\t1\r\n";
    }
    writeFile(dir.path() / "items.tsv", lines);
}

struct Wire {
    const char* mode;
    std::vector<std::string> ecuArgs;
    std::string link;
};

std::vector<Wire> wires() {
    return {{"--kline", {"--p2", "5"}, "kline:DEVICE,p3min=5,p4min=0,p2max=150"},
            {"--socketcand", {}, "socketcand:DEVICE,p2max=150"}};
}

std::string linkTo(const Wire& wire, const EcuProcess& ecu) {
    std::string link = wire.link;
    return link.replace(link.find("DEVICE"), 6, ecu.device());
}

std::vector<std::string> ecuArgs(const Wire& wire, const ScratchDirectory& dir,
                                 const std::string& fault) {
    std::vector<std::string> args = wire.ecuArgs;
    args.insert(args.end(),
                {"--ecu", (dir.path() / "ecu.xml").string(), "--fault", fault, "--log"});
    return args;
}

// Every third read is answered 200 ms late, past P2max: no value shown is
// ever another item's, and the line is brought back in step.
TEST(CliTrust, ALateAnswerNeverShowsAsTheNextItemsValue) {
    ScratchDirectory dir;
    writeBench(dir);
    for (const Wire& wire : wires()) {
        EcuProcess ecu(ecuArgs(wire, dir, "late:3"), wire.mode);
        ASSERT_FALSE(ecu.device().empty()) << wire.mode;
        const CliRun run =
            runCli({"watch", "--link", linkTo(wire, ecu), "--items", "items.tsv", "--cycles", "4"},
                   dir.path());
        ASSERT_EQ(run.exitCode, 0) << wire.mode << run.err;
        const auto lines = splitText(run.out, "\n");
        ASSERT_EQ(lines.size(), 5U) << wire.mode << run.out;
        std::size_t late = 0;
        for (std::size_t l = 1; l < lines.size(); ++l) {
            const auto fields = splitText(lines[l], "\t");
            ASSERT_EQ(fields.size(), 7U) << lines[l];
            for (std::size_t i = 0; i < kValues.size(); ++i) {
                const std::string& shown = fields[i + 1];
                const bool someValue =
                    std::find(kValues.begin(), kValues.end(), shown) != kValues.end();
                EXPECT_TRUE(shown == kValues[i] || !someValue)
                    << wire.mode << ": item " << i << " shows " << shown;
                late += someValue ? 0 : 1;
            }
        }
        EXPECT_GT(late, 0U) << wire.mode << ": no answer came late";
        const auto requests = ecu.linesSoFar();
        EXPECT_TRUE(std::any_of(requests.begin(), requests.end(),
                                [](const std::string& r) { return r.ends_with("request 3E01"); }))
            << wire.mode << ": the line was never brought back in step";
    }
}

// An ECU that stops answering costs a pass two unanswered reads, not one
// per item: the ECU's log shows no further read of that pass, nor of the
// passes after it.
TEST(CliTrust, ASilentEcuEndsThePassAfterTwoUnansweredReads) {
    ScratchDirectory dir;
    writeBench(dir);
    for (const Wire& wire : wires()) {
        // The K-line counts its StartCommunication and the session; CAN
        // the session: the ECU stops in the middle of the second pass.
        const bool kline = std::string_view(wire.mode) == "--kline";
        EcuProcess ecu(ecuArgs(wire, dir, kline ? "silent-after:10" : "silent-after:9"), wire.mode);
        ASSERT_FALSE(ecu.device().empty()) << wire.mode;
        const CliRun run =
            runCli({"watch", "--link", linkTo(wire, ecu), "--items", "items.tsv", "--seconds", "2"},
                   dir.path());
        EXPECT_EQ(run.exitCode, 0) << wire.mode << run.err;
        const auto requests = ecu.linesSoFar();
        const auto reads = std::count_if(requests.begin(), requests.end(), [](const auto& r) {
            return r.find("request 23") != std::string::npos;
        });
        // A pass of six, then two answered and one silent read: from then
        // on the line is out of step, and each read waits for a
        // TesterPresent that gets no answer either, so no read goes out.
        EXPECT_EQ(reads, 6 + 3) << wire.mode << "\n" << ::testing::PrintToString(requests);
    }
}

} // namespace
} // namespace vistrel::testing
