// SPDX-License-Identifier: MIT
// The real vistrel-cli against the real vistrel-ecu on its socketcand
// server, each family read as the other: the message names the key to
// change. (Every method, extended addressing and security access are the
// UDS wire test's.)
#include "cli_test_support.h"
#include "fakes/ecu_process.h"

#include <gtest/gtest.h>

namespace vistrel::testing {
namespace {

TEST(CliUds, TheWrongFamilyIsNamed) {
    const struct {
        const char* diag;
        const char* keys;
        const char* named;
    } cases[] = {
        {"uds", "", "diag=uds"},
        {"kwp", ",diag=uds", "diag=kwp"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.diag);
        ScratchDirectory dir;
        writeFile(dir.path() / "ecu.xml", std::string("<ecu diag=\"") + c.diag +
                                              "\"><memory address=\"01A000\">12 34</memory></ecu>");
        writeFile(dir.path() / "items.tsv", "01A000\t2\tBE\tSpeed\t\t1\t0\t1\tH\t1\r\n");
        EcuProcess ecu({"--ecu", (dir.path() / "ecu.xml").string()}, "--socketcand");
        ASSERT_FALSE(ecu.device().empty());
        const CliRun run =
            runCli({"read", "--link", "socketcand:" + ecu.device() + ",p2max=2000" + c.keys,
                    "--items", "items.tsv", "--session", "1003"},
                   dir.path());
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_NE(run.err.find(c.named), std::string::npos) << run.err;
    }
}

} // namespace
} // namespace vistrel::testing
