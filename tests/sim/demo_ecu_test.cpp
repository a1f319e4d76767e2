// SPDX-License-Identifier: MIT
#include "sim/demo_ecu.h"
#include "sim_test_support.h"

#include <gtest/gtest.h>
#include <map>
#include <vector>

namespace vistrel {
namespace {

using testing::sendReceive;

TEST(SimDemo, BuiltInDescriptionIsTheShippedExample) {
    EXPECT_EQ(demoEcuDescription(), testing::exampleText("demo-ecu.xml"));
    EXPECT_EQ(demoUdsEcuDescription(), testing::exampleText("demo-ecu-uds.xml"));
}

// The UDS twin answers the same values in the extended session, its
// calibration only after security access, and keeps its session while the
// tester is idle as long as the engine keeps the link alive.
TEST(SimDemo, UdsTwinKeepsItsSessionAndLocksItsCalibration) {
    const auto ecu = SimulatedEcu::demoUds();
    auto now = std::chrono::steady_clock::time_point(std::chrono::hours(1));
    ecu->setClock([&now] { return now; });
    EXPECT_EQ(ecu->family(), DiagnosticFamily::Uds);
    EXPECT_TRUE(sendReceive(*ecu, "231301000008")
                    .text.starts_with("Service 23 Negative response 7F "
                                      "(serviceNotSupportedInActiveSession"));
    EXPECT_EQ(sendReceive(*ecu, "1003").reply, "5003003201F4");
    EXPECT_EQ(sendReceive(*ecu, "231301000008").reply, "635649532D44454D4F");
    EXPECT_EQ(sendReceive(*ecu, "231301B00001").reply, "7F2333");
    for (int i = 0; i < 20; ++i) {
        now += std::chrono::milliseconds(500);
        ecu->keepAlive();
    }
    EXPECT_EQ(sendReceive(*ecu, "3E80"), testing::positive(""));
    EXPECT_EQ(sendReceive(*ecu, "22F186").reply, "62F18603");
}

// Every line of the demo item file reads from the demo ECU as the file
// promises: a value of the item's length, or the refusal or the silence that
// the demo stages.
TEST(SimDemo, EveryDemoItemReadsAsIntended) {
    const auto ecu = SimulatedEcu::demo();
    // A batch run would fail as a whole on the silent sensor.
    EXPECT_NE(ecu->protocolName(), kBatchProtocolName);
    const std::string text = testing::exampleText("demo-items.tsv");
    EXPECT_TRUE(text.ends_with("\r\n")) << "the file ends with CR LF";
    std::vector<std::string> lines = testing::splitText(text, "\r\n");
    ASSERT_GE(lines.size(), 3u);
    lines.erase(lines.begin(), lines.begin() + 2); // the header and the method line
    std::map<std::int32_t, std::size_t> errors;    // how many items gave each error number
    for (const std::string& line : lines) {
        const std::vector<std::string> fields = testing::splitText(line, "\t");
        ASSERT_GE(fields.size(), 10u) << line;
        EXPECT_EQ(fields[9], "1") << line;
        const int length = std::stoi(fields[1]);
        const testing::Outcome outcome = sendReceive(
            *ecu, "23" + fields[0] + ByteString{static_cast<std::uint8_t>(length)}.text());
        ++errors[outcome.error];
        if (outcome.error == 0) {
            EXPECT_EQ(outcome.reply.size(), 2u + 2u * static_cast<std::size_t>(length)) << line;
        }
    }
    // One refused (2033) and one silent (2000) sensor; every other item reads.
    EXPECT_EQ(errors,
              (std::map<std::int32_t, std::size_t>{{0, lines.size() - 2}, {2000, 1}, {2033, 1}}));
}

} // namespace
} // namespace vistrel
