// SPDX-License-Identifier: MIT
// The command line against the real vistrel-ecu --doip: discover finds the
// entity and gives the link string that reaches it (exit status 1 when
// nobody answers), and over that link every reading method that DoIP allows
// reads what UDS on CAN reads from the same description.

#include "cli_test_support.h"
#include "fakes/ecu_process.h"

#include <gtest/gtest.h>

namespace vistrel::testing {
namespace {

TEST(CliDoip, DiscoverFindsTheEntityAndSaysWhenNoneAnswers) {
    ScratchDirectory dir;
    EcuProcess entity({"--address", "0042"}, "--doip");
    const std::string port = entity.device().substr(entity.device().find(':') + 1);
    const CliRun found = runCli({"discover", "--to", "127.0.0.1", "--port", port}, dir.path());
    EXPECT_EQ(found.exitCode, 0) << found.err;
    EXPECT_EQ(found.out, "127.0.0.1  logical address 0042  VIN VISTRELSIM0000001  EID "
                         "020000000001  doip:" +
                             entity.device() + "\n");
    const CliRun none = runCli({"discover", "--to", "127.0.0.1", "--port",
                                std::to_string(std::stoi(port) + 1), "--wait", "200"},
                               dir.path());
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_EQ(none.out, "");
    EXPECT_NE(none.err.find("no DoIP entity answered at 127.0.0.1"), std::string::npos) << none.err;
}

TEST(CliDoip, EveryMethodReadsAsUdsOnCan) {
    ScratchDirectory dir;
    std::string description = ecuDescription();
    description.insert(description.find('>'), " diag=\"uds\"");
    writeFile(dir.file("ecu.xml"), description);
    writeFile(dir.path() / "items.tsv", kIdentLine + kRefusedLine);
    EcuProcess entity({dir.file("ecu.xml")}, "--doip");
    EcuProcess server({"--ecu", dir.file("ecu.xml")}, "--socketcand");
    for (const char* method : {"ReadMemoryByAddress", "DynamicallyDefined",
                               "DynamicallyDefinedPacked", "ReadMemoryByAddressMerged"}) {
        const auto read = [&](const std::string& link) {
            return runCli({"read", "--link", link, "--items", "items.tsv", "--method", method,
                           "--session", "1003"},
                          dir.path());
        };
        const CliRun run = read("doip:" + entity.device());
        EXPECT_EQ(run.exitCode, 0) << method << ": " << run.err;
        EXPECT_EQ(run.out, read("socketcand:" + server.device() + ",diag=uds").out) << method;
        EXPECT_NE(run.out.find("Ident\t564953"), std::string::npos) << run.out;
    }
}

} // namespace
} // namespace vistrel::testing
