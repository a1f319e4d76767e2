// SPDX-License-Identifier: MIT
// UDS on CAN against the real vistrel-ecu's UDS twin on its socketcand
// server, for what its faults show: a busy refusal repeated until the
// answer, and a security delay that leaves the calibration locked. Reads
// with every method and security access are shown through vistrel-cli.

#include "components/uds_negative_response.h"
#include "connect/link_factory.h"
#include "fakes/ecu_process.h"
#include "fakes/error_of.h"

#include <gtest/gtest.h>

namespace vistrel {
namespace {

// The reply as hex, or the error's number.
std::string outcome(Protocol& link, const std::string& request) {
    ByteString reply;
    const auto error =
        testing::errorOf([&] { link.SendReceive(ByteString::fromText(request), reply); });
    return error ? std::to_string(error->number()) : reply.text();
}

TEST(UdsWire, BusyAndDelayRefusalsOfTheSimulator) {
    const std::string denied = std::to_string(udsNegativeResponseError(0x23, 0x33).number());
    const std::string delay = std::to_string(udsNegativeResponseError(0x27, 0x37).number());
    // The fault, the outcomes of 1003 and of a read of the locked
    // calibration (their start).
    const std::tuple<const char*, std::string, std::string> cases[] = {
        {"nrc:21:2", "5003", "63"},
        {"nrc:37:1", delay, denied},
    };
    for (const auto& [fault, session, read] : cases) {
        testing::EcuProcess ecu({"--ecu", "uds", "--fault", fault}, "--socketcand");
        const auto link = makeLink("socketcand:" + ecu.device() +
                                   ",diag=uds,p2max=2000,security=01,key=" VISTREL_SEEDKEY_BINARY);
        link->InitCommunication();
        EXPECT_EQ(outcome(*link, "1003").rfind(session, 0), 0U) << fault;
        EXPECT_EQ(outcome(*link, "231301B00002").rfind(read, 0), 0U) << fault;
    }
}

} // namespace
} // namespace vistrel
