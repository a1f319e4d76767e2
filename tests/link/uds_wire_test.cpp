// SPDX-License-Identifier: MIT
// UDS on CAN against the real vistrel-ecu serving the demo car's UDS twin
// on its socketcand server: the session's timing, security access with the
// simulator's key program, busy and delay refusals, periodic frames, and
// the message for the wrong family.

#include "components/uds_negative_response.h"
#include "connect/link_factory.h"
#include "fakes/ecu_process.h"
#include "fakes/error_of.h"

#include <gtest/gtest.h>

namespace vistrel {
namespace {

using testing::EcuProcess;

// The locked calibration of the twin.
const ByteString kReadLocked = ByteString::fromText("231301B00002");

// The reply as hex, or the error's number.
std::string outcome(Protocol& link, const std::string& request) {
    ByteString reply;
    const auto error =
        testing::errorOf([&] { link.SendReceive(ByteString::fromText(request), reply); });
    return error ? std::to_string(error->number()) : reply.text();
}

std::string number(std::uint8_t sid, std::uint8_t nrc) {
    return std::to_string(udsNegativeResponseError(sid, nrc).number());
}

TEST(UdsWire, SessionSecurityAndRefusalsAgainstTheSimulator) {
    const struct {
        const char* fault;
        const char* keys;
        std::string session; // the outcome of 1003, or its start
        std::string read;    // of the locked calibration
    } cases[] = {
        {"noise", "", "5003", number(0x23, 0x33)},
        {"noise", ",security=01,key=" VISTREL_SEEDKEY_BINARY, "5003", "63"},
        {"nrc:21:2", ",security=01,key=" VISTREL_SEEDKEY_BINARY, "5003", "63"},
        {"nrc:37:1", ",security=01,key=" VISTREL_SEEDKEY_BINARY, number(0x27, 0x37),
         number(0x23, 0x33)},
    };
    for (const auto& c : cases) {
        EcuProcess ecu({"--ecu", "uds", "--fault", c.fault}, "--socketcand");
        const auto link = makeLink("socketcand:" + ecu.device() + ",diag=uds,p2max=2000" + c.keys);
        link->InitCommunication();
        EXPECT_EQ(outcome(*link, "1003").rfind(c.session, 0), 0U) << c.fault << c.keys;
        EXPECT_EQ(outcome(*link, kReadLocked.text()).rfind(c.read, 0), 0U) << c.fault << c.keys;
    }
}

TEST(UdsWire, PeriodicFramesAndTheWrongFamily) {
    EcuProcess ecu({"--ecu", "uds"}, "--socketcand");
    auto uds = makeLink("socketcand:" + ecu.device() + ",diag=uds,p2max=2000");
    uds->InitCommunication();
    EXPECT_EQ(outcome(*uds, "1003").substr(0, 4), "5003");
    EXPECT_EQ(outcome(*uds, "2C02F2401301A00002"), "6C02F240");
    EXPECT_EQ(outcome(*uds, "2A0340"), "6A");
    const auto frame = uds->periodicSource()->receivePeriodic(std::chrono::milliseconds(1000));
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->byte(0), 0x40);
    EXPECT_EQ(outcome(*uds, "2A04"), "6A");
    // The server takes one tester at a time.
    uds.reset();

    const auto kwp = makeLink("socketcand:" + ecu.device() + ",p2max=2000");
    kwp->InitCommunication();
    EXPECT_EQ(outcome(*kwp, "10A0"), std::to_string(uds_error::kFamilyMismatch));
}

} // namespace
} // namespace vistrel
