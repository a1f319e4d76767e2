// SPDX-License-Identifier: MIT
// KWP2000 on CAN against the real vistrel-ecu: through its slcan adapter on
// a real pseudo-terminal and its socketcand server on loopback TCP. Every
// fault the ECU can show on CAN is one failed exchange, and the next one
// works again. The ISO-TP rules themselves are shown on the fake bus.

#include "components/error.h"
#include "components/error_numbers.h"
#include "connect/link_factory.h"
#include "fakes/ecu_process.h"
#include "fakes/error_of.h"
#include "link/socketcan_link.h"

#include <gtest/gtest.h>
#include <tuple>

namespace vistrel {
namespace {

using testing::EcuProcess;

// A long P2max so that a busy machine does not turn a slow answer into a
// fault; faults that time out wait only the short N_Bs and N_Cr.
constexpr const char* kTestKeys = ",p2max=2000,timeout=300";
// Defines identifier E0 as the 32 bytes of live data at 01A000 (a request
// of two frames), then reads it (a reply of six frames).
const ByteString kDefine = {0x2C, 0xE0, 0xD0, 0x01, 0x20, 0x00, 0x01, 0xA0, 0x00};
const ByteString kReadDefined = {0x21, 0xE0};

// 0 when the exchange works, else the number of its error.
std::int32_t outcome(Protocol& link, const ByteString& request) {
    const auto error = testing::errorOf([&] {
        ByteString reply;
        link.SendReceive(request, reply);
        EXPECT_EQ(reply.byte(0), request.byte(0) + 0x40);
        EXPECT_GE(reply.length(), request == kDefine ? 2U : 34U);
    });
    return error ? error->number() : 0;
}

std::string linkTo(const char* mode, const EcuProcess& ecu, const std::string& keys = "") {
    return (std::string_view(mode) == "--slcan" ? "slcan:" : "socketcand:") + ecu.device() +
           kTestKeys + keys;
}

TEST(CanWire, EachFaultFailsOneExchangeAndTheNextWorks) {
    // The fault hits the second request, the read (or the definition, for
    // a fault of long requests); the third is the same again and works.
    const std::tuple<const char*, const ByteString*, std::int32_t> cases[] = {
        {"no-answer:2", &kReadDefined, kNoAnswerError},
        {"negative:2", &kReadDefined, nrc_error::kConditionsNotCorrect},
        {"pending:2", &kReadDefined, 0},
        {"fc-overflow:2", &kDefine, can_error::kFlowControlRefused},
        {"lost-cf:2", &kReadDefined, can_error::kSequence},
        {"bad-sn:2", &kReadDefined, can_error::kSequence},
    };
    for (const char* mode : {"--slcan", "--socketcand"}) {
        for (const auto& [fault, request, error] : cases) {
            EcuProcess ecu({"--fault", fault}, mode);
            ASSERT_FALSE(ecu.device().empty()) << mode;
            const auto link = makeLink(linkTo(mode, ecu));
            link->InitCommunication();
            EXPECT_EQ(outcome(*link, kDefine), 0) << mode << " " << fault;
            EXPECT_EQ(outcome(*link, *request), error) << mode << " " << fault;
            EXPECT_EQ(outcome(*link, *request), 0) << mode << " " << fault;
        }
    }
}

// What a busy bus and a slow ECU look like, and ids, paddings and flow
// controls other than the defaults: all of it still reads.
TEST(CanWire, QuirksThatStillRead) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"--fault", "noise"}, ""},
        {{"--fault", "no-padding"}, ",pad=off"},
        {{"--fault", "fc-wait:3", "--fc", "1/2"}, ",bs=1,stmin=1"},
        {{"--ids", "18DA10F1/18DAF110"}, ",tx=18DA10F1"},
        {{"--ids", "6F1/612"}, ",tx=6F1,rx=612,pad=55"},
    };
    for (const char* mode : {"--slcan", "--socketcand"}) {
        for (const auto& [args, keys] : cases) {
            EcuProcess ecu(args, mode);
            const auto link = makeLink(linkTo(mode, ecu, keys));
            link->InitCommunication();
            EXPECT_EQ(outcome(*link, kDefine), 0) << mode << " " << args[1] << keys;
            EXPECT_EQ(outcome(*link, kReadDefined), 0) << mode << " " << args[1] << keys;
        }
    }
}

TEST(CanWire, ServerAndAdapterRefusalsAreShownWithTheirText) {
    EcuProcess server({}, "--socketcand");
    const auto wrongBus = makeLink("socketcand:" + server.device() + ",bus=can1");
    const auto refused = testing::errorOf([&] { wrongBus->InitCommunication(); });
    ASSERT_TRUE(refused) << "bus can1 was opened";
    EXPECT_EQ(refused->number(), can_error::kCarrierRefused);
    EXPECT_NE(refused->description().find("could not open bus 'can1'"), std::string::npos)
        << refused->description();
    const auto nobody = makeLink("socketcand:127.0.0.1:1");
    EXPECT_THROW(nobody->InitCommunication(), Error);
}

// SocketCAN needs the kernel's CAN sockets, which build machines often lack.
TEST(CanWire, SocketCanNeedsCanSockets) {
    const auto link = makeLink("socketcan:vcan0");
    if (const auto why = missingCanSockets()) {
        const auto error = testing::errorOf([&] { link->InitCommunication(); });
        ASSERT_TRUE(error) << "opened without CAN sockets";
        EXPECT_EQ(error->description(),
                  "socketcan:vcan0: this system has no CAN sockets (AF_CAN: " + *why +
                      "); use slcan: or socketcand: instead");
        GTEST_SKIP() << "no CAN sockets on this system (" << *why << ")";
    }
    // With CAN sockets, a vcan0 interface stands in for a bus only if
    // someone made one; reading needs an ECU on it, which nothing here plays.
    GTEST_SKIP() << "no ECU on a SocketCAN bus to test against";
}

} // namespace
} // namespace vistrel
