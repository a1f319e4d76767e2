// SPDX-License-Identifier: MIT
// UDS on CAN against the real vistrel-ecu serving the demo car's UDS twin
// on its socketcand server: the session, security access with the
// simulator's key program, busy and delay refusals, and periodic frames.

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

TEST(UdsWire, SessionSecurityRefusalsAndPeriodicFrames) {
    const std::string denied = std::to_string(udsNegativeResponseError(0x23, 0x33).number());
    const std::string delay = std::to_string(udsNegativeResponseError(0x27, 0x37).number());
    const std::string key = ",security=01,key=" VISTREL_SEEDKEY_BINARY;
    // The fault, the keys, the outcomes of 1003 and of a read of the locked
    // calibration (their start).
    const std::tuple<const char*, std::string, std::string, std::string> cases[] = {
        {"noise", "", "5003", denied},
        {"nrc:21:2", key, "5003", "63"},
        {"nrc:37:1", key, delay, denied},
    };
    for (const auto& [fault, keys, session, read] : cases) {
        testing::EcuProcess ecu({"--ecu", "uds", "--fault", fault}, "--socketcand");
        const auto link = makeLink("socketcand:" + ecu.device() + ",diag=uds,p2max=2000" + keys);
        link->InitCommunication();
        EXPECT_EQ(outcome(*link, "1003").rfind(session, 0), 0U) << fault << keys;
        EXPECT_EQ(outcome(*link, "231301B00002").rfind(read, 0), 0U) << fault << keys;
        if (keys.empty()) {
            EXPECT_EQ(outcome(*link, "2C02F2401301A00002"), "6C02F240");
            EXPECT_EQ(outcome(*link, "2A0340"), "6A");
            const auto frame =
                link->periodicSource()->receivePeriodic(std::chrono::milliseconds(1000));
            EXPECT_EQ(frame.value_or(ByteString{0}).byte(0), 0x40);
        }
    }
}

} // namespace
} // namespace vistrel
