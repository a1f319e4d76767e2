// SPDX-License-Identifier: MIT
// The K-line link against the real vistrel-ecu over a real pseudo-terminal:
// every fault the ECU can show is one failed exchange, and the next one
// works again. How the link meets each kind of bad reply is shown on the
// fake line; here the faults go through a real device and real timing.

#include "components/error.h"
#include "components/error_numbers.h"
#include "connect/link_factory.h"
#include "fakes/ecu_process.h"
#include "fakes/error_of.h"
#include "fakes/scratch_directory.h"

#include <fstream>
#include <gtest/gtest.h>

namespace vistrel {
namespace {

using testing::EcuProcess;

// Short pauses so that the tests run fast, and a long P2max so that a busy
// machine does not turn a slow answer into a fault.
constexpr const char* kTestKeys = ",p3min=5,p4min=0,p2max=1000";
const ByteString kRead = {0x23, 0x01, 0x00, 0x00, 0x04};

std::int32_t outcome(Protocol& link) {
    const auto error = testing::errorOf([&] {
        ByteString reply;
        link.SendReceive(kRead, reply);
        EXPECT_EQ(reply.text(), "6356495344");
    });
    return error ? error->number() : 0;
}

// A scratch ECU description with four bytes at 010000 and the given extra
// elements.
std::string ecuFile(const testing::ScratchDirectory& dir, const std::string& extra = "") {
    std::ofstream(dir.file("ecu.xml"))
        << "<ecu><memory address=\"010000\">56 49 53 44</memory>" + extra + "</ecu>";
    return dir.file("ecu.xml");
}

TEST(KLineWire, EachFaultFailsOneStepAndTheNextWorks) {
    const std::pair<const char*, std::int32_t> cases[] = {
        {"no-answer", kNoAnswerError},
        {"negative", nrc_error::kConditionsNotCorrect},
        {"pending", 0},
        {"wrong-echo", link_error::kWrongEcho},
    };
    testing::ScratchDirectory dir;
    for (const auto& [fault, error] : cases) {
        // Frame 1 is StartCommunication; the fault hits frames 2 and 4.
        EcuProcess ecu({"--ecu", ecuFile(dir), "--p2", "5", "--fault", std::string(fault) + ":2"});
        ASSERT_FALSE(ecu.device().empty());
        const auto link = makeLink("kline:" + ecu.device() + kTestKeys);
        link->InitCommunication();
        EXPECT_EQ(outcome(*link), error) << fault;
        EXPECT_EQ(outcome(*link), 0) << fault;
    }
    // A silent StartCommunication fails the opening only.
    EcuProcess ecu({"--ecu", ecuFile(dir, "<init failures=\"1\"/>"), "--p2", "5"});
    const auto link = makeLink("kline:" + ecu.device() + kTestKeys);
    const auto silent = testing::errorOf([&] { link->InitCommunication(); });
    ASSERT_TRUE(silent) << "the first StartCommunication was answered";
    EXPECT_EQ(silent->description(), "K-line init: no answer to StartCommunication");
    link->InitCommunication();
    EXPECT_EQ(outcome(*link), 0);
}

TEST(KLineWire, PulledCableIsReportedAndTheLinkComesBackWithIt) {
    testing::ScratchDirectory dir;
    const std::string cable = dir.file("cable");
    EcuProcess ecu({"--p2", "5", "--fault", "hang-up:3", "--pty-link", cable, "--ecu",
                    VISTREL_EXAMPLES_DIR "/demo-ecu.xml"});
    const auto link = makeLink("kline:" + cable + kTestKeys);
    link->InitCommunication();
    ByteString reply;
    link->SendReceive(ByteString{0x10, 0xA0}, reply);
    const auto lost = testing::errorOf([&] { link->SendReceive(ByteString{0x10, 0xA0}, reply); });
    ASSERT_TRUE(lost) << "no error when the line went away";
    EXPECT_EQ(lost->number(), link_error::kDeviceLost) << lost->description();
    // Back under the same name, the line is still not opened by an exchange:
    // only the opening of the communication does that, so that a read of
    // many items after a loss fails at once instead of trying each in turn.
    ASSERT_FALSE(ecu.nextLine().empty());
    const auto closed = testing::errorOf([&] { link->SendReceive(ByteString{0x10, 0xA0}, reply); });
    ASSERT_TRUE(closed) << "an exchange opened the lost line again";
    EXPECT_EQ(closed->number(), link_error::kDeviceUnavailable) << closed->description();
    // The cycle retries the opening; each failed attempt waits before the
    // next instead of spinning.
    int attempts = 0;
    while (attempts++ < 20 && testing::errorOf([&] { link->InitCommunication(); })) {
    }
    EXPECT_LT(attempts, 20);
    link->SendReceive(ByteString{0x10, 0xA0}, reply);
    EXPECT_EQ(reply.text(), "50A0");
}

} // namespace
} // namespace vistrel
