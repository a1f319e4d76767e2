// SPDX-License-Identifier: MIT
// discover against the real vistrel-ecu --doip: the entity's line with the
// link string that reaches it, and exit status 1 when nobody answers.

#include "cli_test_support.h"
#include "fakes/ecu_process.h"

#include <gtest/gtest.h>

namespace vistrel::testing {
namespace {

TEST(CliDiscover, FindsTheEntityAndSaysWhenNoneAnswers) {
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

} // namespace
} // namespace vistrel::testing
