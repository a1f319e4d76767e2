// SPDX-License-Identifier: MIT
#include "sim/demo_ecu.h"
#include "sim_test_support.h"

#include <gtest/gtest.h>
#include <vector>

namespace vistrel {
namespace {

using testing::sendReceive;

TEST(SimDemo, BuiltInDescriptionIsTheShippedExample) {
    EXPECT_EQ(demoEcuDescription(), testing::exampleText("demo-ecu.xml"));
}

// Every line of the demo item file reads from the demo ECU as the file
// promises: a value of the item's length, or the refusal or the silence that
// the demo stages.
TEST(SimDemo, EveryDemoItemReadsAsIntended) {
    const auto ecu = SimulatedEcu::demo();
    // A batch run would fail as a whole on the silent sensor.
    EXPECT_NE(ecu->protocolName(), kBatchProtocolName);
    std::vector<std::string> lines = testing::split(testing::exampleText("demo-items.tsv"), "\r\n");
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines.back(), "") << "the file ends with CR LF";
    lines.pop_back();
    lines.erase(lines.begin(), lines.begin() + 2); // the header and the method line
    int refused = 0;
    int silent = 0;
    for (const std::string& line : lines) {
        const std::vector<std::string> fields = testing::split(line, "\t");
        ASSERT_GE(fields.size(), 10u) << line;
        EXPECT_EQ(fields[9], "1") << line;
        const int length = std::stoi(fields[1]);
        const testing::Outcome outcome = sendReceive(
            *ecu, "23" + fields[0] + ByteString{static_cast<std::uint8_t>(length)}.text());
        if (outcome.error == 2033) {
            ++refused;
        } else if (outcome.error == 2000) {
            ++silent;
        } else {
            EXPECT_EQ(outcome.error, 0) << line << ": " << outcome.text;
            EXPECT_EQ(outcome.reply.size(), 2u + 2u * static_cast<std::size_t>(length)) << line;
        }
    }
    EXPECT_EQ(refused, 1);
    EXPECT_EQ(silent, 1);
}

} // namespace
} // namespace vistrel
