// SPDX-License-Identifier: MIT
// UDS end to end: the real vistrel-cli reads the real vistrel-ecu serving a
// UDS description on its socketcand server, with every reading method,
// security access through the real key program, and the messages that name
// a family mismatch.
#include "cli_test_support.h"
#include "fakes/ecu_process.h"

#include <gtest/gtest.h>

namespace vistrel::testing {
namespace {

constexpr const char* kUdsEcu = R"(<ecu diag="uds">
  <memory address="01A000">12 34 56 78 9A</memory>
  <memory address="01B000">CA FE</memory>
  <lock address="01B000" length="2" level="01"/>
</ecu>)";
constexpr const char* kOpenItems = "01A000\t2\tBE\tSpeed\t\t1\t0\t1\tH\t1\r\n"
                                   "01A003\t1\tBE\tFlag\t\t1\t0\t1\tH\t1\r\n";
constexpr const char* kLockedItem = "01B000\t2\tBE\tCalibration\t\t1\t0\t1\tH\t1\r\n";
constexpr const char* kTestKeys = ",p2max=2000,timeout=300";

class CliUds : public ::testing::Test {
protected:
    void SetUp() override {
        writeFile(dir.path() / "ecu.xml", kUdsEcu);
        writeFile(dir.path() / "open.tsv", kOpenItems);
        writeFile(dir.path() / "all.tsv", std::string(kOpenItems) + kLockedItem);
        ecu.emplace(std::vector<std::string>{"--ecu", (dir.path() / "ecu.xml").string()},
                    "--socketcand");
        ASSERT_FALSE(ecu->device().empty());
    }
    CliRun read(const std::string& keys, const std::string& items, const std::string& method) {
        return runCli({"read", "--link", "socketcand:" + ecu->device() + kTestKeys + keys,
                       "--items", items, "--session", "1003", "--method", method},
                      dir.path());
    }

    ScratchDirectory dir;
    std::optional<EcuProcess> ecu;
};

TEST_F(CliUds, EveryMethodReadsTheEcusMemory) {
    for (const char* method :
         {"ReadMemoryByAddress", "DynamicallyDefined", "DynamicallyDefinedPacked",
          "ReadMemoryByAddressMerged", "ReadDataByPeriodicIdentifier"}) {
        SCOPED_TRACE(method);
        const CliRun run = read(",diag=uds", "open.tsv", method);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(run.out, "Speed\t1234\r\nFlag\t78\r\n");
    }
}

TEST_F(CliUds, TheLockedRangeOpensOnlyWithTheKey) {
    const struct {
        std::string keys;
        const char* calibration;
    } cases[] = {
        {",diag=uds", "securityAccessDenied"},
        {",diag=uds,security=01,key=" VISTREL_SEEDKEY_BINARY, "Calibration\tCAFE\r\n"},
    };
    for (const auto& c : cases) {
        for (const char* method : {"ReadMemoryByAddress", "DynamicallyDefinedPacked"}) {
            SCOPED_TRACE(c.keys + " " + method);
            const CliRun run = read(c.keys, "all.tsv", method);
            EXPECT_EQ(run.exitCode, 0) << run.err;
            EXPECT_TRUE(run.out.starts_with("Speed\t1234\r\nFlag\t78\r\n")) << run.out;
            EXPECT_NE(run.out.find(c.calibration), std::string::npos) << run.out;
        }
    }
}

// A UDS ECU read as KWP2000 fails with a message that names the mismatch.
TEST_F(CliUds, TheWrongFamilyIsNamed) {
    const CliRun run = read("", "open.tsv", "ReadMemoryByAddress");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("diag=uds"), std::string::npos) << run.err;
}

} // namespace
} // namespace vistrel::testing
