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
